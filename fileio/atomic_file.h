#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace lexiflip::fileio {

// A failure of the atomic writer. what() says what failed, on which path, and
// the system's reason, e.g. "cannot create a temporary file beside
// /x/tally.tld: Permission denied" or "cannot write /x/tally.tld: No space
// left on device".
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What the atomic writer does with what it finds at the target, by whose name
// it is.
enum class TargetRule {
    // The program's own files (settings, tally): a symbolic link is followed
    // only when it and its file both belong to this user (fileio/file_rules.h),
    // and only a regular file is replaced; anything else is refused.
    OwnFile,
    // A path the user named for a tool: a link is followed wherever it points,
    // and a target that is no regular file (a pipe, a device) cannot be
    // replaced and is written in place.
    NamedByUser,
};

// A file that replaces its target whole or not at all.
//
// The bytes go to a new temporary file in the target's directory (so that the
// final rename stays within one file system); commit() flushes them to the
// disk (fsync), renames the temporary over the target and syncs the directory.
// Until commit() succeeds the target is untouched; an AtomicFile destroyed
// without a successful commit removes its temporary. So a crash or a failure at
// any step leaves the previous file, and no temporary (short of a crash at the
// wrong moment, which leaves a hidden ".name.XXXXXX.tmp" beside the target).
//
// The temporary is created under a random name, exclusively and without
// following a link, so nobody can have it written elsewhere. A symbolic link
// at the target that is followed (see TargetRule) has the file it points to
// replaced, not the link. Every failure throws FileError naming the target,
// never the hidden temporary; nothing fails silently.
class AtomicFile {
public:
    explicit AtomicFile(const std::filesystem::path& target, TargetRule rule = TargetRule::OwnFile);
    ~AtomicFile();

    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    void write(const void* data, std::size_t size);
    void write(std::string_view bytes) { write(bytes.data(), bytes.size()); }

    // Makes the written bytes the target's content. Throws on failure, after
    // which the target is as it was and the temporary is gone.
    void commit();

    // Where the bytes go before commit (the target itself when written in place).
    const std::filesystem::path& writingTo() const { return m_writingTo; }

private:
    // Discards the temporary and throws "what: reason".
    [[noreturn]] void fail(const std::string& what, int error);
    void discard();

    std::filesystem::path m_target;
    std::filesystem::path m_writingTo;
    std::FILE* m_file = nullptr;
    bool m_inPlace = false;
    bool m_done = false;
};

// Replaces target with bytes through an AtomicFile.
void writeFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                         TargetRule rule = TargetRule::OwnFile);

} // namespace lexiflip::fileio
