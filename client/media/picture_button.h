#pragma once

// A button that shows one of the painted pictures: the four word buttons, the
// start buttons and the shuffle button. It looks pressed while held down and
// grey while disabled, and is always exactly the picture's size at its zoom.

#include <QAbstractButton>

#include "client/media/pictures.h"

namespace lexiflip::client {

class PictureButton : public QAbstractButton {
    Q_OBJECT

public:
    // name becomes the objectName (button_done, ...); caption is what the
    // picture reads, for screen readers ("DONE").
    PictureButton(Picture picture, const QString& name, const QString& caption, QWidget* parent = nullptr);

    Picture picture() const { return m_picture; }
    QSize sizeHint() const override;

    // The zoom it is painted at (the game window's; 100 % elsewhere).
    void setZoom(Zoom zoom);
    Zoom zoom() const { return m_zoom; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Picture m_picture;
    Zoom m_zoom;
};

// How a painted button looks in its state: grey while disabled, pressed
// while held down.
Look lookOf(const QAbstractButton& button);

} // namespace lexiflip::client
