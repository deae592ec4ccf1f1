#pragma once
// Runs the orvex tool as a user does, in a folder of its own for each test, and keeps what it
// printed.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = std::filesystem::path(::testing::TempDir()) /
                ("orvex-cli-" + std::to_string(::getpid()) + "-" + info->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    // Runs orvex in the test folder; returns the exit status and keeps stdout and stderr.
    int Run(const std::string& args) {
        const std::string cmd = "cd '" + m_dir.string() + "' && '" + ORVEX_EXE + "' " + args + " >out.txt 2>err.txt";
        const int status = std::system(cmd.c_str());
        m_out = Slurp("out.txt");
        m_err = Slurp("err.txt");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Slurp(const std::string& name) const {
        std::ifstream in(m_dir / name, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::string Bytes(const std::string& name) const { return Slurp(name); }
    void WriteText(const std::string& name, const std::string& text) const {
        std::ofstream out(m_dir / name, std::ios::binary);
        out << text;
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(m_dir / name); }
    // Width and height from a PNG's header; 0 x 0 when the file is no PNG.
    std::pair<uint32_t, uint32_t> PngSize(const std::string& name) const {
        const std::string b = Slurp(name);
        if (b.size() < 24 || b.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || b.compare(12, 4, "IHDR") != 0) return {0, 0};
        auto be32 = [&b](size_t at) {
            uint32_t v = 0;
            for (size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
            return v;
        };
        return {be32(16), be32(20)};
    }

    std::filesystem::path m_dir;
    std::string m_out, m_err;
};
