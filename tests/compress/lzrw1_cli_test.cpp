// lexiflip-lzrw1 run as a program: exit status, standard error, files.

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "compress_test_support.h"

namespace lexiflip::compress {
namespace {

using testing::bytes;
using testing::readFile;
using testing::writeFile;

class Lzrw1Cli : public testing::TempDirTest {
protected:
    // Runs the tool with `args` (already quoted) and returns its exit status;
    // standard error is kept in m_stderr.
    int run(const std::string& args)
    {
        const std::string command = std::string("'") + LEXIFLIP_LZRW1_TOOL + "' " + args + " >'" +
                                    path("stdout") + "' 2>'" + path("stderr") + "'";
        const int status = std::system(command.c_str());
        m_stderr = readFile(path("stderr"));
        testing::fs::remove(path("stdout"));
        testing::fs::remove(path("stderr"));
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string q(const std::string& name) const { return "'" + path(name) + "'"; }

    std::string m_stderr;
};

TEST_F(Lzrw1Cli, WritesTheTallyFormatByDefault)
{
    writeFile(path("empty"), "");
    ASSERT_EQ(run("compress " + q("empty") + " " + q("out")), 0) << m_stderr;
    EXPECT_EQ(readFile(path("out")), std::string("WRZL") + bytes({0, 0, 0, 0, 0x01, 0x00, 0x80}));

    writeFile(path("runs"), std::string(1000, 'q'));
    ASSERT_EQ(run("compress " + q("runs") + " " + q("out")), 0) << m_stderr;
    EXPECT_EQ(readFile(path("out")).substr(8), bytes({0x07, 0x00, 0x40, 0x80, 0x00, 0x00, 0x03, 0xD8, 'q'}));
}

TEST_F(Lzrw1Cli, RoundTripsInEveryMode)
{
    const std::string input = testing::wordText().substr(0, 150000) + testing::randomBytes(20000, 5);
    writeFile(path("in"), input);
    for (const std::string mode : {"--mode fast", "--mode good", "--mode=auto", "--mode auto"}) {
        ASSERT_EQ(run("compress " + mode + " " + q("in") + " " + q("packed")), 0) << mode << m_stderr;
        ASSERT_EQ(run("decompress " + q("packed") + " " + q("plain")), 0) << mode << m_stderr;
        EXPECT_EQ(readFile(path("plain")), input) << mode;
    }
    ASSERT_EQ(run("compress --mode good " + q("in") + " " + q("packed")), 0);
    EXPECT_EQ(readFile(path("packed")).substr(0, 4), "!HZL");
}

TEST_F(Lzrw1Cli, FailsWithTheComponentsMessage)
{
    writeFile(path("bad"), "this is no container");
    EXPECT_EQ(run("decompress " + q("bad") + " " + q("out")), 1);
    EXPECT_EQ(m_stderr, path("bad") + " : Lzrw1 decompression : this file has no valid header !\n");
    EXPECT_FALSE(testing::fs::exists(path("out")));

    EXPECT_EQ(run("compress " + q("missing") + " " + q("out")), 1);
    EXPECT_EQ(m_stderr, "Lzrw1 compression : Failed to obtain the size of : " + path("missing") + "\n");
}

TEST_F(Lzrw1Cli, RejectsBadUsage)
{
    writeFile(path("in"), "x");
    for (const std::string& args : std::vector<std::string>{
             "", "compress", "compress " + q("in"), "explode " + q("in") + " " + q("out"),
             "compress --mode best " + q("in") + " " + q("out"),
             "decompress --mode fast " + q("in") + " " + q("out")}) {
        EXPECT_EQ(run(args), 1) << args;
        EXPECT_NE(m_stderr.find("usage: lexiflip-lzrw1"), std::string::npos) << args;
    }
    EXPECT_FALSE(testing::fs::exists(path("out")));
}

} // namespace
} // namespace lexiflip::compress
