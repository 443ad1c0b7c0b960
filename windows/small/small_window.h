#pragma once

// The common frame of the phrase editor, the watcher list, the help window and
// the about window: the game's dark table colours in a header band that carries
// the window's heading and the painted logo, over the light panel of the seat
// rows, so that every side window looks like a piece of the main window.

#include <QWidget>

class QLabel;
class QVBoxLayout;

namespace lexiflip::windows {

class SmallWindow : public QWidget {
    Q_OBJECT

public:
    // The header band's height in device-independent pixels.
    static constexpr int kHeaderHeight = 44;

    SmallWindow(const QString& title, const QString& heading, QWidget* parent = nullptr,
                Qt::WindowFlags flags = Qt::Window);

    // The heading shown in the header band.
    QLabel* heading() const { return m_heading; }

protected:
    // The layout of the panel below the header band.
    QVBoxLayout* body() const { return m_body; }
    void paintEvent(QPaintEvent* event) override;
    // Escape closes the window as its title bar's button does; Enter presses
    // the focused button, as Space does, or else the default button.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* m_heading;
    QVBoxLayout* m_body;
};

// The style of the side windows' push buttons and entries: the game's amber
// buttons and dark ink on the light panel.
QString smallWindowStyleSheet();

} // namespace lexiflip::windows
