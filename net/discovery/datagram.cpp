#include "net/discovery/datagram.h"

#include <algorithm>

namespace lexiflip::discovery {
namespace {

constexpr std::string_view kMagic = "LEXIFLIP";
constexpr char kQueryKind = 'Q';
constexpr char kAnswerKind = 'A';
constexpr std::uint8_t kFormat = 1;
constexpr std::uint8_t kRunningFlag = 0x01;
// Port, flags, seats, places and the two length bytes.
constexpr std::size_t kAnswerFixedSize = kHeaderSize + 2 + 1 + 1 + 1 + 1 + 1;

void putHeader(std::string& out, char kind, std::uint32_t nonce)
{
    out.append(kMagic);
    out.push_back(kind);
    out.push_back(static_cast<char>(kFormat));
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>((nonce >> shift) & 0xFF));
}

// Reads from the front of a datagram; every read past its end fails, and
// once one has failed the reader stays failed.
class Reader {
public:
    explicit Reader(std::string_view bytes) : m_rest(bytes) {}

    bool ok() const { return m_ok; }
    bool atEnd() const { return m_rest.empty(); }
    std::string_view rest() const { return m_rest; }

    std::uint32_t number(int bytes)
    {
        std::uint32_t value = 0;
        for (int i = 0; i < bytes; ++i)
            value = (value << 8) | byte();
        return value;
    }
    std::string_view text(std::size_t length)
    {
        if (!m_ok || m_rest.size() < length) {
            m_ok = false;
            return {};
        }
        const std::string_view taken = m_rest.substr(0, length);
        m_rest.remove_prefix(length);
        return taken;
    }

private:
    std::uint8_t byte()
    {
        const std::string_view one = text(1);
        return one.empty() ? 0 : static_cast<std::uint8_t>(one[0]);
    }

    std::string_view m_rest;
    bool m_ok = true;
};

// The nonce of a datagram of this kind, read past its header.
std::optional<std::uint32_t> readHeader(Reader& reader, char kind)
{
    if (reader.text(kMagic.size()) != kMagic)
        return std::nullopt;
    const std::string_view kindAndFormat = reader.text(2);
    if (!reader.ok() || kindAndFormat[0] != kind || static_cast<std::uint8_t>(kindAndFormat[1]) != kFormat)
        return std::nullopt;
    const std::uint32_t nonce = reader.number(4);
    if (!reader.ok())
        return std::nullopt;
    return nonce;
}

} // namespace

std::string buildQuery(std::uint32_t nonce, std::size_t size)
{
    std::string query;
    putHeader(query, kQueryKind, nonce);
    query.resize(std::max(size, kHeaderSize), '\0');
    return query;
}

std::optional<Query> readQuery(std::string_view datagram)
{
    if (datagram.size() > kMaxDatagramSize)
        return std::nullopt;
    Reader reader(datagram);
    const std::optional<std::uint32_t> nonce = readHeader(reader, kQueryKind);
    if (!nonce)
        return std::nullopt;
    const std::string_view padding = reader.rest();
    if (std::any_of(padding.begin(), padding.end(), [](char c) { return c != '\0'; }))
        return std::nullopt;
    return Query{*nonce};
}

std::optional<std::string> buildAnswer(const Answer& answer, std::size_t limit)
{
    if (answer.version.size() > kMaxVersionBytes)
        return std::nullopt;
    const std::size_t withoutName = kAnswerFixedSize + answer.version.size();
    if (withoutName > limit)
        return std::nullopt;
    const std::size_t nameBytes = std::min({answer.hostName.size(), kMaxNameBytes, limit - withoutName});

    std::string out;
    out.reserve(withoutName + nameBytes);
    putHeader(out, kAnswerKind, answer.nonce);
    out.push_back(static_cast<char>(answer.gamePort >> 8));
    out.push_back(static_cast<char>(answer.gamePort & 0xFF));
    out.push_back(static_cast<char>(answer.gameRunning ? kRunningFlag : 0));
    // A free seat is a free place too, so the reader may hold them to that.
    const int places = std::clamp(answer.freePlaces, 0, kMaxFreePlaces);
    out.push_back(static_cast<char>(std::clamp(answer.freeSeats, 0, std::min(kMaxFreeSeats, places))));
    out.push_back(static_cast<char>(places));
    out.push_back(static_cast<char>(answer.version.size()));
    out.append(answer.version);
    out.push_back(static_cast<char>(nameBytes));
    out.append(answer.hostName, 0, nameBytes);
    return out;
}

std::optional<Answer> readAnswer(std::string_view datagram)
{
    if (datagram.size() > kMaxDatagramSize)
        return std::nullopt;
    Reader reader(datagram);
    const std::optional<std::uint32_t> nonce = readHeader(reader, kAnswerKind);
    if (!nonce)
        return std::nullopt;
    Answer answer;
    answer.nonce = *nonce;
    answer.gamePort = static_cast<std::uint16_t>(reader.number(2));
    const std::uint32_t flags = reader.number(1);
    answer.freeSeats = static_cast<int>(reader.number(1));
    answer.freePlaces = static_cast<int>(reader.number(1));
    const std::size_t versionBytes = reader.number(1);
    answer.version = std::string(reader.text(versionBytes));
    const std::size_t nameBytes = reader.number(1);
    answer.hostName = std::string(reader.text(nameBytes));
    answer.gameRunning = (flags & kRunningFlag) != 0;

    const bool wellFormed = reader.ok() && reader.atEnd() && answer.gamePort != 0 &&
                            (flags & ~kRunningFlag) == 0 && answer.freeSeats <= kMaxFreeSeats &&
                            answer.freePlaces <= kMaxFreePlaces && answer.freeSeats <= answer.freePlaces &&
                            versionBytes <= kMaxVersionBytes && nameBytes <= kMaxNameBytes;
    if (!wellFormed)
        return std::nullopt;
    return answer;
}

} // namespace lexiflip::discovery
