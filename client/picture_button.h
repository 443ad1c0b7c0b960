#pragma once

#include <QAbstractButton>

namespace lexiflip::client {

// A button drawn as a picture reading its caption (CLEAR, BUY, PASS, DONE,
// START GAME, the shuffle arrows).
class PictureButton : public QAbstractButton {
    Q_OBJECT

  public:
    PictureButton(const QString& objectName, const QString& caption, QRect where, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace lexiflip::client
