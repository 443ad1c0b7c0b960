#include "client/app_paths.h"

#include "client/settings/lexiflip_settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace lexiflip::client {

QString chooseSettingsDirectory(const QString& homeVariable, const QString& executableDirectory,
                                bool executableDirectoryWritable, const QString& configDirectory)
{
    if (!homeVariable.isEmpty())
        return homeVariable;
    if (executableDirectoryWritable && !executableDirectory.isEmpty())
        return executableDirectory;
    return configDirectory;
}

QString settingsDirectory()
{
    const QString executableDirectory = QCoreApplication::applicationDirPath();
    QString configDirectory = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (configDirectory.isEmpty())
        configDirectory = QDir::homePath() + QStringLiteral("/.config/Lexiflip");
    const QString directory =
        chooseSettingsDirectory(qEnvironmentVariable("LEXIFLIP_HOME"), executableDirectory,
                                QFileInfo(executableDirectory).isWritable(), configDirectory);
    QDir().mkpath(directory);
    return directory;
}

std::filesystem::path settingsFilePath()
{
    return std::filesystem::path(settingsDirectory().toStdString()) / settings::kFileName;
}

} // namespace lexiflip::client
