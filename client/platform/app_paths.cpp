#include "client/platform/app_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace lexiflip::client {

QString chooseAppFolder(const AppFolderChoice& choice)
{
    if (!choice.lexiflipHome.isEmpty())
        return choice.lexiflipHome;
    if (choice.executableDirWritable)
        return choice.executableDir;
    return choice.configDir;
}

QString appFolder()
{
    AppFolderChoice choice;
    choice.lexiflipHome = qEnvironmentVariable("LEXIFLIP_HOME");
    choice.executableDir = QCoreApplication::applicationDirPath();
    choice.executableDirWritable = QFileInfo(choice.executableDir).isWritable();
    choice.configDir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    const QString folder = chooseAppFolder(choice);
    QDir().mkpath(folder);
    return folder;
}

QString appFilePath(const QString& fileName)
{
    return QDir(appFolder()).filePath(fileName);
}

} // namespace lexiflip::client
