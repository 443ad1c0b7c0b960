#include "client/settings/ini_file.h"

namespace lexiflip::settings {
namespace {

char lowered(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// The name of a "[name]" line, or nothing for any other line.
std::optional<std::string_view> sectionName(std::string_view line)
{
    const std::string_view text = trimmed(line);
    if (text.empty() || text.front() != '[')
        return std::nullopt;
    const std::size_t close = text.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return trimmed(text.substr(1, close - 1));
}

bool isComment(std::string_view line)
{
    const std::string_view text = trimmed(line);
    return !text.empty() && (text.front() == ';' || text.front() == '#');
}

// The key of a "key=value" line, or nothing for a comment or a line without "=".
std::optional<std::string_view> keyName(std::string_view line)
{
    if (isComment(line))
        return std::nullopt;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return trimmed(line.substr(0, equals));
}

std::string oneLine(std::string_view value)
{
    std::string text(value);
    for (char& c : text) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return text;
}

} // namespace

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowered(a[i]) != lowered(b[i]))
            return false;
    }
    return true;
}

std::string_view trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

IniFile IniFile::parse(std::string_view bytes)
{
    IniFile file;
    while (!bytes.empty()) {
        const std::size_t newline = bytes.find('\n');
        Line line;
        if (newline == std::string_view::npos) {
            // A last line's CR is the first half of its ending, as it would be
            // if the file went on; kept in the text, it would join the value
            // and leave it once a line follows.
            line.text = bytes;
            if (!line.text.empty() && line.text.back() == '\r') {
                line.text.pop_back();
                line.ending = "\r";
            }
            bytes = {};
        } else {
            std::size_t textEnd = newline;
            if (textEnd > 0 && bytes[textEnd - 1] == '\r')
                --textEnd;
            line.text = bytes.substr(0, textEnd);
            line.ending = bytes.substr(textEnd, newline + 1 - textEnd);
            bytes.remove_prefix(newline + 1);
        }
        file.m_lines.push_back(std::move(line));
    }
    return file;
}

std::string IniFile::bytes() const
{
    std::string out;
    for (const Line& line : m_lines) {
        out += line.text;
        out += line.ending;
    }
    return out;
}

std::optional<IniFile::Range> IniFile::findSection(std::string_view section) const
{
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const auto name = sectionName(m_lines[i].text);
        if (!name || !sameName(*name, section))
            continue;
        std::size_t end = i + 1;
        while (end < m_lines.size() && !sectionName(m_lines[end].text))
            ++end;
        return Range{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> IniFile::findKey(const Range& range, std::string_view key) const
{
    for (std::size_t i = range.header + 1; i < range.end; ++i) {
        const auto name = keyName(m_lines[i].text);
        if (name && sameName(*name, key))
            return i;
    }
    return std::nullopt;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const
{
    const auto range = findSection(section);
    if (!range)
        return std::nullopt;
    const auto index = findKey(*range, key);
    if (!index)
        return std::nullopt;
    const std::string& text = m_lines[*index].text;
    return std::string(trimmed(std::string_view(text).substr(text.find('=') + 1)));
}

std::string IniFile::newLineEnding() const
{
    for (const Line& line : m_lines) {
        if (line.ending.ends_with('\n'))
            return line.ending;
    }
    return "\n";
}

void IniFile::setValue(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string text = oneLine(value);
    const std::string ending = newLineEnding();
    // A last line without its ending (or with only the CR of one) must get
    // one before a line can follow it.
    const auto endLastLine = [&] {
        if (m_lines.empty())
            return;
        std::string& last = m_lines.back().ending;
        if (last.empty())
            last = ending;
        else if (last == "\r")
            last = "\r\n";
    };
    const std::string keyLine = std::string(key) + "=" + text;

    const auto range = findSection(section);
    if (!range) {
        endLastLine();
        m_lines.push_back({"[" + std::string(section) + "]", ending});
        m_lines.push_back({keyLine, ending});
        return;
    }
    if (const auto index = findKey(*range, key)) {
        Line& line = m_lines[*index];
        const std::size_t equals = line.text.find('=');
        if (trimmed(std::string_view(line.text).substr(equals + 1)) != text)
            line.text = line.text.substr(0, equals + 1) + text;
        return;
    }
    // After the section's last key line, so that blank lines and comments that
    // separate it from the next section stay where they are.
    std::size_t insertAt = range->header + 1;
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
        if (keyName(m_lines[i].text))
            insertAt = i + 1;
    }
    if (insertAt == m_lines.size())
        endLastLine();
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAt), Line{keyLine, ending});
}

} // namespace lexiflip::settings
