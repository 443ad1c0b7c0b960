#pragma once

#include <QWidget>

namespace lexiflip::client {

// The painted pictures, declared here without their painter so that the seat
// rows and the word row can place still pictures without knowing how they are
// drawn. The timer, the tiles and the buttons blit the painter's pictures
// themselves.
enum class Picture;

// One still picture (the logo, the eyes, the x2 marker, NOT PLAYING, the
// background panel); the sneaker shows one frame of its animation.
class PictureView : public QWidget {
    Q_OBJECT

public:
    PictureView(const QString& objectName, Picture picture, QRect where, QWidget* parent);

    void setFrame(int frame);
    int frame() const { return m_frame; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Picture m_picture;
    int m_frame = 0;
};

} // namespace lexiflip::client
