#pragma once

// The help window: six pages of the game's own documentation behind six page
// buttons, with the page's title in the header band.

#include <QString>

#include <array>

#include "windows/small/small_window.h"

class QButtonGroup;
class QLabel;
class QStackedWidget;
class QTextBrowser;

namespace lexiflip::windows {

struct HelpPage {
    QString caption; // the page button's caption and the page's title
    QString html;    // the page, written here and never taken from the network
};
inline constexpr int kHelpPageCount = 7;

// The pages in button order, tags 1..7.
const std::array<HelpPage, kHelpPageCount>& helpPages();

class Thelp : public SmallWindow {
    Q_OBJECT

public:
    explicit Thelp(QWidget* parent = nullptr);

    // A page button: brings memo<tag> to the front and titles it. Tags outside
    // 1..6 change nothing.
    void SelButton1Click(int tag);
    // The tag of the page in front.
    int currentPage() const;

signals:
    // "About": the main window shows the about window.
    void aboutRequested();

private:
    QLabel* m_caption;
    QStackedWidget* m_pages;
    QButtonGroup* m_buttons;
};

} // namespace lexiflip::windows
