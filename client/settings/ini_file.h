#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lexiflip::settings {

// A sectioned key file ("[Section]" lines, then "Key=Value" lines) held as its
// lines, so that writing it back changes only the values that were set.
//
// The file is shared with the lobby, which keeps its own sections in it; so
// every other section, every key we do not know, every comment, blank line
// and line ending (LF or CR LF) comes back byte for byte, and a file read and
// written without a change is identical. Section and key names match without
// regard to ASCII case, surrounding blanks ignored; values are read with their
// surrounding blanks removed. The first section of a name and its first key of
// a name count, as later ones are never reached.
class IniFile {
public:
    IniFile() = default;
    static IniFile parse(std::string_view bytes);

    // The file's bytes: exactly the parsed bytes unless a value was set.
    std::string bytes() const;

    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Sets one key. A key already present keeps its line, its spelling and its
    // line ending, and only the text after "=" changes, and only when the value
    // differs. A new key goes after the section's last key line; a new section
    // goes to the end of the file. New lines end like the file's first line.
    // Line breaks inside a value would split the line, so they become blanks.
    void setValue(std::string_view section, std::string_view key, std::string_view value);

private:
    struct Line {
        std::string text;   // without its ending
        std::string ending; // "\n", "\r\n"; "" or "\r" for a last line without LF
    };
    struct Range {
        std::size_t header; // index of the "[...]" line
        std::size_t end;    // one past the section's last line
    };

    std::optional<Range> findSection(std::string_view section) const;
    std::optional<std::size_t> findKey(const Range& range, std::string_view key) const;
    std::string newLineEnding() const;

    std::vector<Line> m_lines;
};

// Shared by the file model and the settings: ASCII case-insensitive equality
// and blank trimming (spaces and tabs).
bool sameName(std::string_view a, std::string_view b);
std::string_view trimmed(std::string_view text);

} // namespace lexiflip::settings
