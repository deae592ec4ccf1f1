// The orvex tool as a user runs it: the done-check, exit statuses and one-line errors.
#include <algorithm>
#include <nlohmann/json.hpp>
#include <regex>

#include "CliTestSupport.h"

namespace {

namespace fs = std::filesystem;

TEST_F(CliTest, SimulateInfoConvertRoundTripIsByteExact) {
    ASSERT_EQ(Run("simulate -o s.orvex"), 0) << m_err;
    ASSERT_EQ(Run("info s.orvex"), 0) << m_err;
    EXPECT_NE(m_out.find("16 snapshots"), std::string::npos) << m_out;
    EXPECT_NE(m_out.find("4096 samples"), std::string::npos) << m_out;
    ASSERT_EQ(Run("convert s.orvex s.json"), 0) << m_err;
    ASSERT_EQ(Run("convert s.json t.orvex"), 0) << m_err;
    EXPECT_EQ(Bytes("s.orvex"), Bytes("t.orvex"));
    // JSON to JSON keeps the text as well.
    ASSERT_EQ(Run("convert s.json u.json"), 0) << m_err;
    EXPECT_EQ(Bytes("s.json"), Bytes("u.json"));
}

TEST_F(CliTest, InfoJsonIsJsonWithTheCounts) {
    ASSERT_EQ(Run("simulate --rays 5 --snapshots 3 --samples 100 --seed 9 -o s.orvex"), 0) << m_err;
    ASSERT_EQ(Run("info s.orvex --json"), 0) << m_err;
    const auto j = nlohmann::json::parse(m_out);
    EXPECT_EQ(j["snapshots"], 3);
    EXPECT_EQ(j["snapshotList"][2]["samples"], 100);
    // Snapshots are numbered from 0, as --snapshot and CurrentSnapShot number them.
    EXPECT_EQ(j["snapshotList"][0]["snapshot"], 0);
    EXPECT_EQ(j["snapshotList"][2]["snapshot"], 2);
    ASSERT_EQ(Run("info s.orvex"), 0) << m_err;
    EXPECT_NE(m_out.find("\nsnapshot 0: "), std::string::npos) << m_out;
    EXPECT_NE(m_out.find("\nsnapshot 2: "), std::string::npos) << m_out;
    EXPECT_EQ(m_out.find("\nsnapshot 3: "), std::string::npos) << m_out;
    EXPECT_EQ(j["snapshotList"][0]["xLabel"], "Time (us)");
    EXPECT_GT(j["legs"].get<int>(), 15);
}

TEST_F(CliTest, VersionAndInstall) {
    ASSERT_EQ(Run("--version"), 0) << m_err;
    EXPECT_TRUE(std::regex_match(m_out, std::regex(R"(orvex \d+\.\d+\.\d+ \(OrvexViewer for Linux\)\n)"))) << m_out;
    const std::string version = m_out;
    // `make install` runs this: the tool on PREFIX/bin, the docs and examples beside it.
    const std::string install = "cmake --install '" + std::string(ORVEX_BINARY_DIR) + "' --prefix '" +
                                (m_dir / "prefix").string() + "' >install.txt 2>&1";
    ASSERT_EQ(std::system(("cd '" + m_dir.string() + "' && " + install).c_str()), 0) << Slurp("install.txt");
    const std::filesystem::path prefix = m_dir / "prefix";
    EXPECT_TRUE(std::filesystem::exists(prefix / "share/doc/OrvexViewer/cli.md"));
    EXPECT_TRUE(std::filesystem::exists(prefix / "share/doc/OrvexViewer/examples/viewer.json"));
    EXPECT_TRUE(std::filesystem::exists(prefix / "share/doc/OrvexViewer/examples/animate-pulse.lua"));
    const std::string installed = (prefix / "bin/orvex").string();
    ASSERT_EQ(std::system(("'" + installed + "' --version > '" + (m_dir / "v.txt").string() + "'").c_str()), 0);
    EXPECT_EQ(Slurp("v.txt"), version);
}

TEST_F(CliTest, ExitStatusesAndOneLineErrors) {
    {
        std::ofstream bad(m_dir / "bad.orvex", std::ios::binary);
        bad << "not a simulation";
    }
    struct Case {
        const char* why;
        const char* args;
        int status;
    } cases[] = {
        {"no command", "", 2},
        {"overview", "--help", 0},
        {"help on a command", "help convert", 0},
        {"--help after a command", "simulate --help", 0},
        {"unknown command", "frobnicate", 2},
        {"help on an unknown command", "help frobnicate", 2},
        {"simulate without -o", "simulate", 2},
        {"zero rays", "simulate --rays 0 -o x.orvex", 2},
        {"a count that is not a number", "simulate --samples many -o x.orvex", 2},
        {"an unknown option", "info s.orvex --verbose", 2},
        {"convert with one file", "convert a.orvex", 2},
        {"convert to an unknown form", "convert a.orvex a.txt", 2},
        {"a file that does not exist", "info missing.orvex", 1},
        {"a file that is not a data set", "info bad.orvex", 1},
        {"converting a bad file", "convert bad.orvex out.json", 1},
        {"writing where no folder is", "simulate -o no/such/folder/x.orvex", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.args), c.status) << c.why << ": " << m_err;
        if (c.status == 1) {
            // A failed job: exactly one line on stderr, nothing written.
            EXPECT_EQ(std::count(m_err.begin(), m_err.end(), '\n'), 1) << c.why << ": " << m_err;
            EXPECT_EQ(m_err.rfind("orvex: ", 0), 0u) << m_err;
        }
    }
    EXPECT_FALSE(fs::exists(m_dir / "out.json"));
    EXPECT_FALSE(fs::exists(m_dir / "x.orvex"));
    Run("help simulate");
    for (const char* option : {"--rays", "--snapshots", "--samples", "--seed", "-o"})
        EXPECT_NE(m_out.find(option), std::string::npos) << option;
}

}  // namespace
