#pragma once

#include <filesystem>

namespace lexiflip::client {

// The settings file halvolobby.ini, shared with the lobby, in the folder that
// holds the program's files (client/platform/app_paths.h says which).
std::filesystem::path settingsFilePath();

} // namespace lexiflip::client
