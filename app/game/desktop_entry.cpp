#include "app/game/desktop_entry.h"

#include <QApplication>
#include <QIcon>

#ifndef LEXIFLIP_APP_ID
#error "The build sets LEXIFLIP_APP_ID, the desktop entry's id"
#endif

namespace lexiflip::app {

QString desktopEntryId()
{
    return QStringLiteral(LEXIFLIP_APP_ID);
}

void tieToDesktopEntry()
{
    QGuiApplication::setDesktopFileName(desktopEntryId());
    const QIcon bundled(QStringLiteral(":/lexiflip/icons/%1.png").arg(desktopEntryId()));
    QApplication::setWindowIcon(QIcon::fromTheme(desktopEntryId(), bundled));
}

} // namespace lexiflip::app
