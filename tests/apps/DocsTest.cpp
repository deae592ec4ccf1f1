// The walk-through of the README and the docs, verbatim: every command block marked `sh` runs in
// the order the pages give it, in a folder laid out like a fresh clone (examples/ beside it), and
// every Lua example of the macro guide runs against the examples' document. A doc that shows a
// command that no longer works fails here.
#include <fstream>
#include <regex>

#include "CliTestSupport.h"

namespace {

namespace fs = std::filesystem;

struct SBlock {
    std::string file;
    int line = 0;  // of the opening fence
    std::string language;
    std::vector<std::string> lines;
};

std::vector<SBlock> FencedBlocks(const fs::path& path, const std::string& shownAs) {
    std::vector<SBlock> blocks;
    std::ifstream in(path);
    std::string text;
    int number = 0;
    SBlock* open = nullptr;
    while (std::getline(in, text)) {
        ++number;
        if (text.rfind("```", 0) == 0) {
            if (open == nullptr) {
                blocks.push_back({shownAs, number, text.substr(3), {}});
                open = &blocks.back();
            } else {
                open = nullptr;
            }
            continue;
        }
        if (open != nullptr) open->lines.push_back(text);
    }
    return blocks;
}

// The pages a new user reads, in the order the README leads through them.
std::vector<std::string> Pages() {
    std::vector<std::string> pages = {"README.md", "examples/README.md"};
    std::vector<std::string> docs;
    for (const auto& e : fs::directory_iterator(fs::path(ORVEX_SOURCE_DIR) / "docs"))
        if (e.path().extension() == ".md") docs.push_back("docs/" + e.path().filename().string());
    std::sort(docs.begin(), docs.end());
    pages.insert(pages.end(), docs.begin(), docs.end());
    return pages;
}

class DocsTest : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        fs::copy(fs::path(ORVEX_SOURCE_DIR) / "examples", m_dir / "examples", fs::copy_options::recursive);
    }
};

TEST_F(DocsTest, EveryCommandTheDocsShowRuns) {
    int commands = 0;
    for (const std::string& page : Pages()) {
        for (const SBlock& block : FencedBlocks(fs::path(ORVEX_SOURCE_DIR) / page, page)) {
            if (block.language != "sh") continue;
            for (std::string line : block.lines) {
                line = std::regex_replace(line, std::regex(R"(\s+#.*$)"), "");
                if (line.empty()) continue;
                std::string args;
                if (line == "make demo") {
                    args = "demo -o build/demo";  // what the Makefile runs
                } else if (line.rfind("make ", 0) == 0) {
                    continue;  // the build itself: it made the tool under test
                } else if (line.rfind("build/orvex ", 0) == 0) {
                    args = line.substr(12);
                } else if (line.rfind("orvex ", 0) == 0) {
                    args = line.substr(6);
                } else {
                    ADD_FAILURE() << block.file << ":" << block.line << ": not a command: " << line;
                    continue;
                }
                ++commands;
                EXPECT_EQ(Run(args), 0) << block.file << ":" << block.line << ": " << line << "\n" << m_err;
            }
        }
    }
    EXPECT_GT(commands, 20);
}

TEST_F(DocsTest, EveryLuaExampleOfTheMacroGuideRuns) {
    ASSERT_EQ(Run("simulate -o examples/sample.orvex"), 0) << m_err;
    int scripts = 0;
    for (const SBlock& block : FencedBlocks(fs::path(ORVEX_SOURCE_DIR) / "docs/macros.md", "docs/macros.md")) {
        if (block.language != "lua") continue;
        std::string source;
        for (const std::string& line : block.lines) source += line + "\n";
        WriteText("example.lua", source);
        ++scripts;
        EXPECT_EQ(Run("run examples/viewer.json --script example.lua"), 0)
            << "docs/macros.md:" << block.line << "\n" << source << m_err;
    }
    EXPECT_GE(scripts, 6);
}

}  // namespace
