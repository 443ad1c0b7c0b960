#pragma once

#include <filesystem>
#include <string>

namespace lexiflip::fileio {

// Which folders and files the program trusts with its own files, in plain
// POSIX. Another user of the machine must not be able to redirect what we
// write (a link planted under our file's name), hang our start (a pipe under
// that name) or swap our files while we use them (a folder others may write
// into). Every check answers with the reason for refusing, or "" when the
// folder or file may be used; a reason reads as the end of a sentence ("it is
// not a regular file"), for the caller to put behind the path.

enum class FolderUse {
    // Our files live there: nobody else may write into it, anyone may read.
    OwnFiles,
    // Our sockets and locks live there: nobody else may even look inside.
    Private,
};

// The folder must be a directory (not a link to one) that belongs to this user,
// with the rights the use asks for.
std::string folderProblem(const std::filesystem::path& folder, FolderUse use);

// Creates the folder with mode 0700 when it is missing (its parent must exist),
// then checks it for the use.
std::string makeFolder(const std::filesystem::path& folder, FolderUse use);

// What a name stands for when we read or replace it. A symbolic link is
// followed only when it and the file it points to both belong to this user (a
// player who links his file on purpose keeps that); a link of ours that points
// nowhere stands for a missing file.
struct Resolved {
    std::filesystem::path path; // the name itself, or the file its link points to
    bool exists = false;
    std::string problem; // non-empty: neither read nor replace it
};
Resolved resolveOwnLink(const std::filesystem::path& name);

enum class Owner {
    Anyone, // any regular file we may read (a file in our own folder)
    User,   // only this user's (a file found in the working directory)
};

struct FileRead {
    enum class Kind { Missing, Read, Refused };
    Kind kind = Kind::Missing;
    std::string bytes;   // the whole content when Read
    std::string problem; // why when Refused
};

// Reads a file whole. It is opened without following a link (unless the link
// rule above allows it) and without blocking (a pipe cannot hang us), and
// anything but a regular file is refused.
FileRead readRegularFile(const std::filesystem::path& name, Owner owner = Owner::Anyone);

} // namespace lexiflip::fileio
