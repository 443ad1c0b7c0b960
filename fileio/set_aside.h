#pragma once

#include <filesystem>

namespace lexiflip::fileio {

// Moves a file the program refused to read out of its way, to the first free
// name among "file.bad", "file.2.bad", ..., so that the next save does not
// destroy what the user may still want to rescue. Only the name in its folder
// is touched (a link is moved, not followed). Gives the new name, or an empty
// path when it could not be moved.
std::filesystem::path setAside(const std::filesystem::path& file);

} // namespace lexiflip::fileio
