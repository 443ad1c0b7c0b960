#pragma once

#include <QString>

namespace lexiflip::client {

// Where the program keeps the files that live beside it (the settings file,
// the tally file): LEXIFLIP_HOME when set, so that tests and several copies on
// one machine never share files; else the executable's folder when we may
// write there; else the user's configuration folder for this application.
struct AppFolderChoice {
    QString lexiflipHome;  // the variable's value, empty when unset
    QString executableDir; // QCoreApplication::applicationDirPath()
    bool executableDirWritable = false;
    QString configDir; // QStandardPaths::AppConfigLocation
};
QString chooseAppFolder(const AppFolderChoice& choice);

// The folder for this process, created when missing. Needs a QCoreApplication.
QString appFolder();
// A file in that folder, e.g. appFilePath("Lexifliptally.tld").
QString appFilePath(const QString& fileName);

} // namespace lexiflip::client
