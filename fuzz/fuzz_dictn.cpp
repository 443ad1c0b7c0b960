// Questions to the dictionary: each line of the input is asked of the shipped
// list, of a list made from the input's own words, and of the input's raw
// bytes taken as a (most likely broken) record file. Answers must match a
// plain model of the keys; a broken list may answer anything but must never
// read outside itself or claim a word it does not hold.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "assets/embedded.h"
#include "words/notice_sink.h"
#include "words/tdictn.h"

using namespace lexiflip;

namespace {

struct Quiet : words::NoticeSink {
    void notice(std::string_view) override {}
};

char upper(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

// The question's key as the game defines it: NULs are blanks, surrounding
// blanks go, case does not matter, and more than 14 characters match nothing.
std::string questionKey(std::string_view question)
{
    std::string text(question);
    std::replace(text.begin(), text.end(), '\0', ' ');
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    text = text.substr(first, text.find_last_not_of(' ') + 1 - first);
    if (text.size() > 14)
        return {};
    std::transform(text.begin(), text.end(), text.begin(), upper);
    text.resize(14, ' ');
    return text;
}

std::string recordKey(std::string_view record)
{
    std::string key(record.substr(1, 14));
    std::transform(key.begin(), key.end(), key.begin(), upper);
    return key;
}

std::set<std::string> keysOf(std::string_view records)
{
    std::set<std::string> keys;
    for (std::size_t at = 0; at + 15 <= records.size(); at += 15)
        keys.insert(recordKey(records.substr(at, 15)));
    return keys;
}

void expect(bool answer, bool model, const char* list, std::string_view question)
{
    if (answer == model)
        return;
    std::fprintf(stderr, "fuzz_dictn: %s list answers %d for \"%.*s\"\n", list, answer,
                 static_cast<int>(question.size()), question.data());
    std::abort();
}

} // namespace

extern "C" const char* const* lexiflipFuzzSeeds()
{
    static const char* const seeds[] = {"cat\n",
                                        " CAT \n",
                                        "Qi\n",
                                        "aa\n",
                                        "zzz\n",
                                        "abcdefghijklmn\n",
                                        "abcdefghijklmno\n",
                                        "\x1E"
                                        "CAT           \n",
                                        "ca t\n",
                                        "\n  \n",
                                        "antidisestablis\n",
                                        "ZYZZYVA\n",
                                        "\xFF\xFE\n",
                                        nullptr};
    return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Quiet quiet;
    static const words::TDictn shipped(assets::dictionaryRecords(), quiet, "/nonexistent-lexiflip-dir");
    static const std::set<std::string> shippedKeys = keysOf(assets::dictionaryRecords());

    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> questions;
    for (std::size_t at = 0; at <= input.size();) {
        const std::size_t end = std::min(input.find('\n', at), input.size());
        questions.push_back(input.substr(at, end - at));
        at = end + 1;
    }

    // A well-formed list of the input's own words, duplicates and all.
    std::vector<std::string> words;
    for (std::string_view q : questions) {
        const std::string key = questionKey(q);
        if (!key.empty() &&
            std::all_of(key.begin(), key.end(), [](char c) { return c == ' ' || (c >= 'A' && c <= 'Z'); }))
            words.push_back(key);
    }
    std::sort(words.begin(), words.end());
    std::string ownRecords;
    for (const std::string& word : words)
        ownRecords += '\x1E' + word;
    const words::TDictn own(ownRecords, quiet, "/nonexistent-lexiflip-dir");
    const std::set<std::string> ownKeys(words.begin(), words.end());

    // The raw bytes as a record file: unsorted, any bytes, a torn last record.
    const std::string raw(input);
    const words::TDictn broken(raw, quiet, "/nonexistent-lexiflip-dir");
    const std::set<std::string> rawKeys = keysOf(raw);

    for (std::string_view q : questions) {
        const std::string key = questionKey(q);
        expect(shipped.checkWord(q), !key.empty() && shippedKeys.count(key), "shipped", q);
        expect(own.checkWord(q), !key.empty() && ownKeys.count(key), "own", q);
        if (broken.checkWord(q) && !(!key.empty() && rawKeys.count(key)))
            expect(true, false, "raw", q);
    }
    for (const std::string& word : words)
        expect(own.checkWord(word), true, "own", word);
    return 0;
}
