#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace lexiflip::compress::testing {

namespace fs = std::filesystem;

inline std::string bytes(std::initializer_list<int> values)
{
    std::string out;
    for (const int v : values)
        out.push_back(static_cast<char>(v));
    return out;
}

inline std::string randomBytes(std::size_t n, std::uint64_t seed)
{
    std::mt19937_64 engine(seed);
    std::string out(n, '\0');
    for (auto& c : out)
        c = static_cast<char>(engine() >> 56);
    return out;
}

// Real text: the system's word lists when installed, else a pseudo-English
// stand-in of words drawn from a small vocabulary (still compressible text).
inline const std::string& wordText()
{
    static const std::string text = [] {
        std::string all;
        for (const char* name :
             {"/usr/share/dict/scowl/english-words.10", "/usr/share/dict/scowl/english-words.20",
              "/usr/share/dict/scowl/english-words.35", "/usr/share/dict/scowl/english-words.50",
              "/usr/share/dict/words"}) {
            std::ifstream in(name, std::ios::binary);
            all.append(std::istreambuf_iterator<char>(in), {});
        }
        if (all.size() < 400000) {
            static const char* vocabulary[] = {"tile",  "board", "flip", "word",   "score", "bonus",
                                               "round", "turn",  "bar",  "letter", "klot",  "pass"};
            std::mt19937_64 engine(7);
            while (all.size() < 400000) {
                all += vocabulary[engine() % 12];
                all += (engine() % 9 == 0) ? "\r\n" : " ";
            }
        }
        return all;
    }();
    return text;
}

// A binary with mixed content: this test program itself.
inline std::string programBytes()
{
    std::ifstream in("/proc/self/exe", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeFile(const fs::path& path, std::string_view content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

// A fresh directory per test, removed afterwards.
class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "-" + info->name();
        for (auto& c : name)
            if (c == '/')
                c = '_';
        m_dir = fs::temp_directory_path() /
                ("lexiflip-compress-" + name + "-" + std::to_string(std::random_device{}()));
        fs::create_directories(m_dir);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }

    std::string path(const std::string& name) const { return (m_dir / name).string(); }

    // Names in the directory, to see that nothing (no temporary file either) was left.
    std::size_t entries() const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(m_dir), {}));
    }

    fs::path m_dir;
};

} // namespace lexiflip::compress::testing
