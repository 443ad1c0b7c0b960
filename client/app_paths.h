#pragma once

#include <QString>

#include <filesystem>

namespace lexiflip::client {

// The directory of the files that live beside the program: the settings file
// halvolobby.ini (shared with the lobby) and the tally Lexifliptally.tld.
//
// LEXIFLIP_HOME, when set and not empty, wins, so that tests and several
// copies on one machine never share files. Otherwise the executable's
// directory when this user may write there, as on a per-user install; an
// installed program's directory (/usr/bin) is not writable, and then the
// user's configuration directory (~/.config/Lexiflip) is used. The directory is
// created when missing.
QString settingsDirectory();

// settingsDirectory() / "halvolobby.ini".
std::filesystem::path settingsFilePath();

// The rule alone, for tests: which directory, given what the machine says.
QString chooseSettingsDirectory(const QString& homeVariable, const QString& executableDirectory,
                                bool executableDirectoryWritable, const QString& configDirectory);

} // namespace lexiflip::client
