#include <charconv>
#include <chrono>
#include <ctime>

#include "record/game_record.h"

namespace lexiflip::record {

namespace {

// Scores are never near these; a number beyond them is damage.
constexpr int kScoreLimit = 1'000'000;

// ---------------------------------------------------------------------------
// Writing

std::string escapedName(std::string_view name)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '%' || byte < 0x20 || byte == 0x7f) {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0xf];
        } else {
            out += c;
        }
    }
    return out;
}

std::string scores(const std::array<int, kSeats>& values)
{
    std::string out;
    for (const int value : values)
        out += ' ' + std::to_string(value);
    return out;
}

std::string sourceText(const Source& source)
{
    switch (source.kind) {
    case Source::Kind::board:
        return std::to_string(source.x) + ',' + std::to_string(source.y);
    case Source::Kind::bar:
        return "bar";
    case Source::Kind::unknown:
        break;
    }
    return "?";
}

std::string seatLine(std::string_view keyword, int seat)
{
    return std::string(keyword) + ' ' + std::to_string(seat) + '\n';
}

struct EventWriter {
    std::string operator()(const Join& e) const
    {
        return "join " + std::to_string(e.who.slot) + ' ' + escapedName(e.who.name) + '\n';
    }
    std::string operator()(const Leave& e) const
    {
        return "leave " + std::to_string(e.who.slot) + ' ' + escapedName(e.who.name) + '\n';
    }
    std::string operator()(const JustWatch& e) const
    {
        return "watch " + std::to_string(e.seat) + (e.watching ? " on\n" : " off\n");
    }
    std::string operator()(const TurnStart& e) const { return seatLine("turn", e.seat); }
    std::string operator()(const OwnBar& e) const { return "bar " + e.letters + '\n'; }
    std::string operator()(const Flip& e) const
    {
        return "flip " + std::to_string(e.x) + ' ' + std::to_string(e.y) + ' ' + e.letter + '\n';
    }
    std::string operator()(const Word& e) const
    {
        std::string line =
            "word " + std::to_string(e.seat) + ' ' + e.letters + ' ' + std::to_string(e.score) + ' ' +
            (e.bonus ? std::to_string(*e.bonus) : std::string("?")) + ' ' + std::to_string(e.total);
        for (const Source& source : e.from)
            line += ' ' + sourceText(source);
        return line + '\n';
    }
    std::string operator()(const Pass& e) const { return seatLine("pass", e.seat); }
    std::string operator()(const Buy& e) const
    {
        return "buy " + std::to_string(e.seat) + ' ' + std::to_string(e.total) + '\n';
    }
    std::string operator()(const TimeOut& e) const { return seatLine("timeout", e.seat); }
    std::string operator()(const Tie&) const { return "tie\n"; }
    std::string operator()(const Winner& e) const { return "winner " + escapedName(e.name) + '\n'; }
    std::string operator()(const FinalScores& e) const { return "final" + scores(e.scores) + '\n'; }
};

// ---------------------------------------------------------------------------
// Reading

// One line's fields, taken from the front. A name takes the rest of the line.
class Fields {
public:
    explicit Fields(std::string_view line) : m_rest(line) {}

    std::optional<std::string_view> next()
    {
        if (m_rest.empty())
            return std::nullopt;
        const std::size_t space = m_rest.find(' ');
        const std::string_view field = m_rest.substr(0, space);
        m_rest = space == std::string_view::npos ? std::string_view() : m_rest.substr(space + 1);
        if (field.empty())
            return std::nullopt; // two spaces, or a space at the end
        return field;
    }
    std::string_view rest()
    {
        const std::string_view all = m_rest;
        m_rest = {};
        return all;
    }
    bool done() const { return m_rest.empty(); }

private:
    std::string_view m_rest;
};

std::optional<int> number(std::string_view text, int low, int high)
{
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < low || value > high)
        return std::nullopt;
    return value;
}

bool isLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || c == kNoLetter;
}

bool lettersOk(std::string_view text, std::size_t low, std::size_t high)
{
    if (text.size() < low || text.size() > high)
        return false;
    for (const char c : text) {
        if (!isLetter(c))
            return false;
    }
    return true;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::optional<std::string> unescapedName(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte == 0x7f)
            return std::nullopt;
        if (byte != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        const int high = hexDigit(text[i + 1]);
        const int low = hexDigit(text[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

std::optional<Source> readSource(std::string_view text)
{
    if (text == "bar")
        return Source{Source::Kind::bar};
    if (text == "?")
        return Source{};
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos)
        return std::nullopt;
    const auto x = number(text.substr(0, comma), 1, wire::kBoardColumns);
    const auto y = number(text.substr(comma + 1), 1, wire::kBoardRows);
    if (!x || !y)
        return std::nullopt;
    return Source{Source::Kind::board, *x, *y};
}

// A line's reading: what it gave, or why it was refused.
struct Refusal {
    std::string reason;
};

class Reader {
public:
    explicit Reader(GameRecord& record) : m_record(record) {}

    // Reads one line after the first; empty when it was good.
    std::optional<Refusal> line(std::string_view text)
    {
        Fields fields(text);
        const std::optional<std::string_view> keyword = fields.next();
        if (!keyword)
            return Refusal{"an empty line"};
        if (!isHeaderKeyword(*keyword)) {
            m_inEvents = true;
            return eventLine(*keyword, fields);
        }
        if (m_inEvents)
            return Refusal{"\"" + std::string(*keyword) + "\" belongs to the header, before the events"};
        return headerLine(*keyword, fields);
    }

private:
    static bool isHeaderKeyword(std::string_view keyword)
    {
        return keyword == "began" || keyword == "options" || keyword == "starter" || keyword == "self" ||
               keyword == "seat" || keyword == "watcher" || keyword == "catchup";
    }

    std::optional<Refusal> headerLine(std::string_view keyword, Fields& fields)
    {
        if (keyword == "began") {
            const auto when = fields.next();
            if (!when || when->size() > 40)
                return Refusal{"a began line without its time"};
            m_record.began = *when == "?" ? std::string() : std::string(*when);
            return end(fields);
        }
        if (keyword == "options") {
            const auto target = number(fields.next().value_or(""), 0, kScoreLimit);
            const auto seconds = number(fields.next().value_or(""), 1, 3600);
            const auto mode = fields.next();
            const auto four = number(fields.next().value_or(""), 0, 1);
            if (!target || !seconds || !mode || (*mode != "blind" && *mode != "help" && *mode != "sneak") ||
                !four)
                return Refusal{"options need a score, the seconds, blind|help|sneak and 0|1"};
            m_record.options = Options{*target, *seconds, std::string(*mode), *four == 1};
            return end(fields);
        }
        if (keyword == "starter") {
            const auto name = unescapedName(fields.rest());
            if (!name)
                return Refusal{"a name with a bad escape"};
            m_record.starter = *name;
            return std::nullopt;
        }
        if (keyword == "self") {
            const auto slot = number(fields.next().value_or(""), 0, wire::kLastSlot);
            if (!slot)
                return Refusal{"self needs a slot 0..9"};
            m_record.self = *slot;
            return end(fields);
        }
        if (keyword == "catchup") {
            const auto current = number(fields.next().value_or(""), 0, kSeats);
            if (!current)
                return Refusal{"catchup needs the seat on turn 0..6"};
            CatchUp catchUp{*current, {}};
            if (const auto refusal = readScores(fields, catchUp.scores))
                return refusal;
            m_record.catchUp = catchUp;
            return std::nullopt;
        }
        const bool seat = keyword == "seat";
        std::optional<Person> person =
            readPerson(fields, seat ? 1 : kSeats + 1, seat ? kSeats : wire::kLastSlot);
        if (!person)
            return Refusal{seat ? "a seat needs its number 1..6 and a name"
                                : "a watcher needs a slot 7..9 and a name"};
        (seat ? m_record.seats : m_record.watchers).push_back(std::move(*person));
        return std::nullopt;
    }

    std::optional<Refusal> eventLine(std::string_view keyword, Fields& fields)
    {
        if (keyword == "join" || keyword == "leave") {
            std::optional<Person> person = readPerson(fields, 1, wire::kLastSlot);
            if (!person)
                return Refusal{std::string(keyword) + " needs a slot 1..9 and a name"};
            if (keyword == "join")
                return add(Join{std::move(*person)});
            return add(Leave{std::move(*person)});
        }
        if (keyword == "watch") {
            const auto seat = readSeat(fields);
            const auto state = fields.next();
            if (!seat || !state || (*state != "on" && *state != "off"))
                return Refusal{"watch needs a seat 1..6 and on|off"};
            return add(JustWatch{*seat, *state == "on"}, fields);
        }
        if (keyword == "turn" || keyword == "pass" || keyword == "timeout") {
            const auto seat = readSeat(fields);
            if (!seat)
                return Refusal{std::string(keyword) + " needs a seat 1..6"};
            if (keyword == "turn")
                return add(TurnStart{*seat}, fields);
            if (keyword == "pass")
                return add(Pass{*seat}, fields);
            return add(TimeOut{*seat}, fields);
        }
        if (keyword == "bar") {
            const auto letters = fields.next();
            if (!letters || !lettersOk(*letters, wire::kBarTiles, wire::kBarTiles))
                return Refusal{"a bar needs its 7 letters"};
            return add(OwnBar{std::string(*letters)}, fields);
        }
        if (keyword == "flip") {
            const auto x = number(fields.next().value_or(""), 1, wire::kBoardColumns);
            const auto y = number(fields.next().value_or(""), 1, wire::kBoardRows);
            const auto letter = fields.next();
            if (!x || !y || !letter || !lettersOk(*letter, 1, 1))
                return Refusal{"a flip needs a column 1..10, a row 1..8 and a letter"};
            return add(Flip{*x, *y, letter->front()}, fields);
        }
        if (keyword == "word")
            return word(fields);
        if (keyword == "buy") {
            const auto seat = readSeat(fields);
            const auto total = number(fields.next().value_or(""), -kScoreLimit, kScoreLimit);
            if (!seat || !total)
                return Refusal{"buy needs a seat 1..6 and the score after"};
            return add(Buy{*seat, *total}, fields);
        }
        if (keyword == "tie")
            return add(Tie{}, fields);
        if (keyword == "winner") {
            const auto name = unescapedName(fields.rest());
            if (!name)
                return Refusal{"a name with a bad escape"};
            return add(Winner{*name});
        }
        if (keyword == "final") {
            FinalScores final;
            if (const auto refusal = readScores(fields, final.scores))
                return refusal;
            return add(final);
        }
        return Refusal{"unknown keyword \"" + std::string(keyword.substr(0, 20)) + "\""};
    }

    std::optional<Refusal> word(Fields& fields)
    {
        Word word;
        const auto seat = readSeat(fields);
        const auto letters = fields.next();
        const auto score = number(fields.next().value_or(""), -kScoreLimit, kScoreLimit);
        const auto bonusText = fields.next();
        const auto total = number(fields.next().value_or(""), -kScoreLimit, kScoreLimit);
        if (!seat || !letters || !lettersOk(*letters, 1, wire::kWordLetters) || !score || !bonusText ||
            !total)
            return Refusal{"a word needs a seat, 1..10 letters, its points, its bonuses and the total"};
        if (*bonusText != "?") {
            const auto bonus = number(*bonusText, -kScoreLimit, kScoreLimit);
            if (!bonus)
                return Refusal{"a word's bonuses are a number or \"?\""};
            word.bonus = *bonus;
        }
        word.seat = *seat;
        word.letters = std::string(*letters);
        word.score = *score;
        word.total = *total;
        while (const auto field = fields.next()) {
            const auto source = readSource(*field);
            if (!source || word.from.size() == word.letters.size())
                return Refusal{"a word needs one place, X,Y or bar or ?, for each of its letters"};
            word.from.push_back(*source);
        }
        if (word.from.size() != word.letters.size() || !fields.done())
            return Refusal{"a word needs one place, X,Y or bar or ?, for each of its letters"};
        return add(std::move(word));
    }

    std::optional<int> readSeat(Fields& fields) { return number(fields.next().value_or(""), 1, kSeats); }

    std::optional<Person> readPerson(Fields& fields, int low, int high)
    {
        const auto slot = number(fields.next().value_or(""), low, high);
        if (!slot)
            return std::nullopt;
        const auto name = unescapedName(fields.rest());
        if (!name)
            return std::nullopt;
        return Person{*slot, *name};
    }

    std::optional<Refusal> readScores(Fields& fields, std::array<int, kSeats>& target)
    {
        for (int& score : target) {
            const auto value = number(fields.next().value_or(""), -kScoreLimit, kScoreLimit);
            if (!value)
                return Refusal{"six scores are needed"};
            score = *value;
        }
        return end(fields);
    }

    static std::optional<Refusal> end(Fields& fields)
    {
        if (!fields.done())
            return Refusal{"more fields than the line takes"};
        return std::nullopt;
    }

    std::optional<Refusal> add(Event event)
    {
        m_record.events.push_back(std::move(event));
        return std::nullopt;
    }
    std::optional<Refusal> add(Event event, Fields& fields)
    {
        if (auto refusal = end(fields))
            return refusal;
        return add(std::move(event));
    }

    GameRecord& m_record;
    bool m_inEvents = false;
};

} // namespace

std::optional<std::string> GameRecord::winner() const
{
    for (auto it = events.rbegin(); it != events.rend(); ++it) {
        if (const auto* won = std::get_if<Winner>(&*it))
            return won->name;
    }
    return std::nullopt;
}

std::optional<std::array<int, kSeats>> GameRecord::finalScores() const
{
    for (auto it = events.rbegin(); it != events.rend(); ++it) {
        if (const auto* final = std::get_if<FinalScores>(&*it))
            return final->scores;
    }
    return std::nullopt;
}

std::string GameRecord::seatName(int seat) const
{
    std::string name;
    for (const Person& person : seats) {
        if (person.slot == seat)
            name = person.name;
    }
    for (const Event& event : events) {
        if (const auto* join = std::get_if<Join>(&event); join && join->who.slot == seat)
            name = join->who.name;
    }
    return name;
}

std::variant<GameRecord, RecordError> readRecord(std::string_view text)
{
    GameRecord record;
    Reader reader(record);
    int lineNumber = 0;
    bool sawFirstLine = false;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        // A last line without its line feed was being written when the
        // program stopped: what it holds may be cut anywhere.
        if (end == std::string_view::npos)
            break;
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        if (!line.empty() && line.back() == '\r') // saved again by an editor that ends lines so
            line.remove_suffix(1);
        if (lineNumber == 1) {
            sawFirstLine = true;
            Fields fields(line);
            if (fields.next() != kMagic)
                return RecordError{1, "not a game record (it must begin \"lexiflip-record\")"};
            const auto version = fields.next();
            const auto read = version ? number(*version, 0, kScoreLimit) : std::nullopt;
            if (!read || !fields.done())
                return RecordError{1, "the first line needs the record's version"};
            if (*read != kRecordVersion)
                return RecordError{1, "version " + std::to_string(*read) +
                                          " is not the version 1 this program reads"};
            continue;
        }
        if (const std::optional<Refusal> refusal = reader.line(line))
            return RecordError{lineNumber, refusal->reason};
    }
    if (!sawFirstLine)
        return RecordError{1, "not a game record (it is empty)"};
    return record;
}

std::string utcTimestamp()
{
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

std::string writeHeader(const GameRecord& record)
{
    std::string out = std::string(kMagic) + ' ' + std::to_string(kRecordVersion) + '\n';
    out += "began " + (record.began.empty() ? std::string("?") : record.began) + '\n';
    const Options& o = record.options;
    out += "options " + std::to_string(o.target) + ' ' + std::to_string(o.turnSeconds) + ' ' + o.mode + ' ' +
           (o.maxFour ? "1" : "0") + '\n';
    out += "starter " + escapedName(record.starter) + '\n';
    out += "self " + std::to_string(record.self) + '\n';
    for (const Person& seat : record.seats)
        out += "seat " + std::to_string(seat.slot) + ' ' + escapedName(seat.name) + '\n';
    for (const Person& watcher : record.watchers)
        out += "watcher " + std::to_string(watcher.slot) + ' ' + escapedName(watcher.name) + '\n';
    if (record.catchUp)
        out +=
            "catchup " + std::to_string(record.catchUp->currentSeat) + scores(record.catchUp->scores) + '\n';
    return out;
}

std::string writeEventLine(const Event& event)
{
    return std::visit(EventWriter{}, event);
}

std::string writeRecord(const GameRecord& record)
{
    std::string out = writeHeader(record);
    for (const Event& event : record.events)
        out += writeEventLine(event);
    return out;
}

} // namespace lexiflip::record
