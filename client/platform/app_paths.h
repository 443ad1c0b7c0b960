#pragma once

#include <QString>

namespace lexiflip::client {

// Where the program keeps the files that live beside it (the settings file,
// the tally file): LEXIFLIP_HOME when set, so that tests and several copies on
// one machine never share files; else the executable's folder when we may
// write there and it is no system folder; else the user's configuration
// folder for this application. An installed program (under /usr, which holds
// /usr/local) never writes beside itself, not even when run as root, who may
// write anywhere: its folder is shared by every user of the machine.
//
// A folder is used only when it belongs to the user and nobody else may write
// into it (fileio/file_rules.h): another user could otherwise put links or
// pipes under our files' names. A refused LEXIFLIP_HOME or executable folder
// gives way to the configuration folder, and the program says so.
struct AppFolderChoice {
    QString lexiflipHome;        // the variable's value, empty when unset
    QString lexiflipHomeProblem; // why it may not hold our files; empty when it may
    QString executableDir;       // QCoreApplication::applicationDirPath()
    bool executableDirWritable = false;
    QString executableDirProblem; // as for lexiflipHome
    QString configDir;            // QStandardPaths::AppConfigLocation
    bool executableDirIsSystem = false; // isSystemFolder(executableDir)
};
struct AppFolderChosen {
    QString folder;
    QString notice; // a line for standard error when a folder was refused
};
AppFolderChosen chooseAppFolder(const AppFolderChoice& choice);

// Whether an absolute folder is one where installed programs live: /usr or
// below it (/usr/games, /usr/local/games, ...).
bool isSystemFolder(const QString& folder);

// The folder for this process, created (mode 0700) when missing; a refused
// folder is reported on standard error once. Needs a QCoreApplication.
QString appFolder();
// Where the game records live: games/ in that folder when LEXIFLIP_HOME is
// set (tests and several copies on one machine never share them), else
// lexiflip/games in the user's data folder ($XDG_DATA_HOME, by default
// ~/.local/share). Not created here: the first record makes it.
QString gamesFolder();
// A file in that folder, e.g. appFilePath("Lexifliptally.tld").
QString appFilePath(const QString& fileName);

} // namespace lexiflip::client
