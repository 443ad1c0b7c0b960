#include "client/platform/app_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>
#include <filesystem>

#include "fileio/file_rules.h"

namespace lexiflip::client {

namespace {

std::filesystem::path fsPath(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// Creates the folder when missing: its parents as usual, the folder itself
// private to the user. Returns why it may not hold our files, or "".
QString prepareFolder(const QString& folder)
{
    const QString absolute = QDir(folder).absolutePath();
    QDir().mkpath(QFileInfo(absolute).path());
    return QString::fromStdString(fileio::makeFolder(fsPath(absolute), fileio::FolderUse::OwnFiles));
}

} // namespace

AppFolderChosen chooseAppFolder(const AppFolderChoice& choice)
{
    const auto refused = [&choice](const QString& what, const QString& folder, const QString& problem) {
        return AppFolderChosen{choice.configDir, QStringLiteral("Lexiflip: %1 %2 is not used for the settings and "
                                                                "tally files (%3); they go to %4")
                                                     .arg(what, folder, problem, choice.configDir)};
    };
    if (!choice.lexiflipHome.isEmpty()) {
        if (choice.lexiflipHomeProblem.isEmpty())
            return {choice.lexiflipHome, {}};
        return refused(QStringLiteral("LEXIFLIP_HOME"), choice.lexiflipHome, choice.lexiflipHomeProblem);
    }
    // An installed program's folder, or one we may not write to, is no
    // choice at all: no notice then.
    if (choice.executableDirWritable && !choice.executableDirIsSystem) {
        if (choice.executableDirProblem.isEmpty())
            return {choice.executableDir, {}};
        return refused(QStringLiteral("the program's folder"), choice.executableDir, choice.executableDirProblem);
    }
    return {choice.configDir, {}};
}

bool isSystemFolder(const QString& folder)
{
    const QString clean = QDir::cleanPath(folder);
    return clean == QLatin1String("/usr") || clean.startsWith(QLatin1String("/usr/"));
}

QString appFolder()
{
    AppFolderChoice choice;
    choice.lexiflipHome = qEnvironmentVariable("LEXIFLIP_HOME");
    if (!choice.lexiflipHome.isEmpty())
        choice.lexiflipHomeProblem = prepareFolder(choice.lexiflipHome);
    choice.executableDir = QCoreApplication::applicationDirPath();
    choice.executableDirWritable = QFileInfo(choice.executableDir).isWritable();
    choice.executableDirIsSystem = isSystemFolder(choice.executableDir);
    if (choice.executableDirWritable && !choice.executableDirIsSystem)
        choice.executableDirProblem = QString::fromStdString(
            fileio::folderProblem(fsPath(choice.executableDir), fileio::FolderUse::OwnFiles));
    choice.configDir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    const AppFolderChosen chosen = chooseAppFolder(choice);
    if (chosen.folder == choice.configDir)
        prepareFolder(chosen.folder); // the user's own: used even if odd, there is nowhere else
    // Both files ask for the folder; the player is told once.
    static QString told;
    if (!chosen.notice.isEmpty() && chosen.notice != told) {
        told = chosen.notice;
        std::fprintf(stderr, "%s\n", chosen.notice.toLocal8Bit().constData());
    }
    return chosen.folder;
}

QString gamesFolder()
{
    if (!qEnvironmentVariable("LEXIFLIP_HOME").isEmpty())
        return QDir(appFolder()).filePath(QStringLiteral("games"));
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("lexiflip/games"));
}

QString appFilePath(const QString& fileName)
{
    return QDir(appFolder()).filePath(fileName);
}

} // namespace lexiflip::client
