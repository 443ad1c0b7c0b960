#pragma once

// The about window: the version the game compares at login, the maker and
// the maker's web link. The main window's logo opens the same link.

#include <QUrl>

#include <functional>

#include "windows/small/small_window.h"

class QLabel;
class QPushButton;

namespace lexiflip::windows {

// The maker's web link, fixed when the program is built.
QUrl makerWebLink();

// Opens a link in the system's handler for its kind; false when none took it.
using LinkOpener = std::function<bool(const QUrl&)>;
bool openInSystem(const QUrl& link);

class Tabout : public SmallWindow {
    Q_OBJECT

public:
    explicit Tabout(QWidget* parent = nullptr, LinkOpener opener = openInSystem);

    // A click on the web link, and the main window's logo (Image6Click).
    void openWebLink();

private:
    LinkOpener m_opener;
};

} // namespace lexiflip::windows
