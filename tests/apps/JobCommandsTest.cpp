// The commands that open controls (render, ascan, run, demo, print) as a user runs them: what
// they write, their exit statuses, one-line errors and no output file after a failure.
#include <algorithm>
#include <regex>
#include <set>
#include <vector>

#include "CliTestSupport.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/Png.h"

namespace {

namespace fs = std::filesystem;

class JobCommandsTest : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        // A small data set keeps every command quick: 3 snapshots of 400 samples.
        ASSERT_EQ(Run("simulate --rays 4 --snapshots 3 --samples 400 -o s.orvex"), 0) << m_err;
        WriteText("bad.orvex", "not a simulation");
        WriteText("doc.json", R"json({"page": {"width": 300, "height": 120}, "controls": [
            {"progid": "ORVEXVIEWER.OrvexViewerCtrl.1", "name": "V", "rect": [0, 0, 120, 120],
             "properties": {"FileName": "s.orvex"}},
            {"progid": "ORVEXASCANVIEWER.OrvexAscanViewerCtrl.1", "name": "A", "rect": [120, 0, 180, 120],
             "properties": {"OrvexViewerName": "V"}}],
            "macros": {"Zoom": "A:ZoomInX() A:ZoomInX()", "Mark": "marks = (marks or '') .. 'm'",
                       "Show": "print(marks)", "Fail": "error('boom')"}})json");
        WriteText("bad.json", "{\"page\": ");
    }
    static size_t Lines(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }
    static std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }
};

TEST_F(JobCommandsTest, UsageErrorsNameTheCommandAndTheProblem) {
    // Exit status 2, nothing on stdout, the first line of stderr "orvex CMD: PROBLEM", no file.
    struct Case {
        const char* args;
        const char* firstLine;
        const char* output;  // the file the command would have written
    } cases[] = {
        {"render", "orvex render: missing FILE.orvex", ""},
        {"render s.orvex", "orvex render: missing -o OUT.png", ""},
        {"render s.orvex s.orvex -o r.png", "orvex render: one FILE.orvex only", "r.png"},
        // Sizes: both parts whole numbers from 1 to 8192.
        {"render s.orvex -o r.png --size 0x10", "orvex render: --size needs WxH with whole numbers from 1 to 8192", "r.png"},
        {"render s.orvex -o r.png --size 8193x10", "orvex render: --size needs WxH with whole numbers from 1 to 8192", "r.png"},
        {"render s.orvex -o r.png --size 100", "orvex render: --size needs WxH with whole numbers from 1 to 8192", "r.png"},
        {"render s.orvex -o r.png --size 10x10x10", "orvex render: --size needs WxH with whole numbers from 1 to 8192", "r.png"},
        // Numbers: the whole text, finite, in range.
        {"render s.orvex -o r.png --rotate 30deg", "orvex render: --rotate needs a number of degrees", "r.png"},
        {"render s.orvex -o r.png --spin nan", "orvex render: --spin needs a number of degrees", "r.png"},
        {"render s.orvex -o r.png --tilt 1e31", "orvex render: --tilt needs a number of degrees", "r.png"},
        {"render s.orvex -o r.png --time inf", "orvex render: --time needs a number", "r.png"},
        {"render s.orvex -o r.png --time 1e999", "orvex render: --time needs a number", "r.png"},
        {"render s.orvex -o r.png --time ''", "orvex render: --time needs a number", "r.png"},
        {"render s.orvex -o r.png --view back", "orvex render: --view needs front, side or top", "r.png"},
        {"render s.orvex -o r.png --plot beam", "orvex render: --plot needs full, end or pulse", "r.png"},
        {"render s.orvex -o r.png --zoom 2", "orvex render: unknown option --zoom", "r.png"},
        {"ascan s.orvex", "orvex ascan: missing -o OUT.png", ""},
        {"ascan s.orvex -o a.png --x 5:5", "orvex ascan: --x needs MIN:MAX with MIN below MAX", "a.png"},
        {"ascan s.orvex -o a.png --y 1:-1", "orvex ascan: --y needs MIN:MAX with MIN below MAX", "a.png"},
        {"ascan s.orvex -o a.png --x 5", "orvex ascan: --x needs MIN:MAX with MIN below MAX", "a.png"},
        {"ascan s.orvex -o a.png --snapshot -1", "orvex ascan: --snapshot needs a whole number from 0", "a.png"},
        {"ascan s.orvex -o a.png --size 20x0", "orvex ascan: --size needs WxH with whole numbers from 1 to 8192", "a.png"},
        {"run", "orvex run: missing DOC.json", ""},
        {"run doc.json --macro", "orvex run: --macro needs a value", ""},
        {"run doc.json --script=", "orvex run: --script needs a value", ""},
        {"run doc.json --script a.lua --script b.lua", "orvex run: --script given twice", ""},
        {"run doc.json --max-instructions 0", "orvex run: --max-instructions needs a whole number above 0", ""},
        {"run doc.json --max-memory 65537",
         "orvex run: --max-memory needs a whole number of megabytes from 1 to 65536", ""},
        {"run doc.json -o ''", "orvex run: -o needs a file name", ""},
        {"demo extra", "orvex demo: unexpected extra", ""},
        {"demo -o ''", "orvex demo: -o needs a folder", ""},
        {"print doc.json", "orvex print: missing -o OUT.pdf or OUT.svg", ""},
        {"print doc.json -o p.png", "orvex print: -o needs a file ending in .pdf or .svg", "p.png"},
        {"print doc.json -o p.pdf --page a3", "orvex print: --page needs a4 or letter", "p.pdf"},
        {"print doc.json -o p.pdf --control ''", "orvex print: --control needs a control's name", "p.pdf"},
        // An output of a kind the command does not write.
        {"render s.orvex -o r.jpg", "orvex render: -o needs a file ending in .png", "r.jpg"},
        {"ascan s.orvex -o a.pdf", "orvex ascan: -o needs a file ending in .png", "a.pdf"},
        {"run doc.json -o page.svg", "orvex run: -o needs a file ending in .png", "page.svg"},
        {"simulate -o out.png", "orvex simulate: -o needs a file ending in .orvex or .json", "out.png"},
        // Scales from 1 to 4, for a picture.
        {"render s.orvex -o r.png --scale 0.5", "orvex render: --scale needs a number from 1 to 4", "r.png"},
        {"ascan s.orvex -o a.png --scale 4.5", "orvex ascan: --scale needs a number from 1 to 4", "a.png"},
        {"run doc.json -o p.png --scale x", "orvex run: --scale needs a number from 1 to 4", "p.png"},
        {"run doc.json --stamp", "orvex run: --scale and --stamp are for the picture: give -o OUT.png", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.args), 2) << c.args << ": " << m_err;
        EXPECT_EQ(FirstLine(m_err), c.firstLine) << c.args;
        EXPECT_NE(m_err.find("Try 'orvex help "), std::string::npos) << c.args << ": " << m_err;
        EXPECT_TRUE(m_out.empty()) << c.args << ": " << m_out;
        if (*c.output) {
            EXPECT_FALSE(Exists(c.output)) << c.args;
        }
    }
}

TEST_F(JobCommandsTest, FailedJobsWriteOneLineAndNoFile) {
    WriteText("in-the-way", "a file where a folder should be");
    struct Case {
        const char* args;
        const char* mentions;  // what the line must name
        const char* output;
    } cases[] = {
        {"render missing.orvex -o r.png", "missing.orvex", "r.png"},
        {"render bad.orvex -o r.png", "bad.orvex", "r.png"},
        {"render s.orvex -o in-the-way/r.png", "r.png", "in-the-way/r.png"},
        {"ascan bad.orvex -o a.png", "bad.orvex", "a.png"},
        // The file has snapshots 0 to 2.
        {"ascan s.orvex -o a.png --snapshot 3", "no snapshot 3", "a.png"},
        {"ascan s.orvex -o in-the-way/a.png", "a.png", "in-the-way/a.png"},
        {"run missing.json -o page.png", "missing.json", "page.png"},
        {"run bad.json -o page.png", "bad.json", "page.png"},
        // The script is read before anything runs: nothing is written.
        {"run doc.json --script nofile.lua -o page.png", "nofile.lua", "page.png"},
        {"run doc.json -o in-the-way/page.png", "page.png", "in-the-way/page.png"},
        {"demo -o in-the-way/out", "in-the-way", "in-the-way/out"},
        {"print missing.json -o p.pdf", "missing.json", "p.pdf"},
        {"print bad.json -o p.svg", "bad.json", "p.svg"},
        {"print doc.json -o in-the-way/p.pdf", "p.pdf", "in-the-way/p.pdf"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.args), 1) << c.args << ": " << m_err;
        EXPECT_EQ(Lines(m_err), 1u) << c.args << ": " << m_err;
        EXPECT_EQ(m_err.rfind("orvex: ", 0), 0u) << c.args << ": " << m_err;
        EXPECT_NE(m_err.find(c.mentions), std::string::npos) << c.args << ": " << m_err;
        EXPECT_FALSE(Exists(c.output)) << c.args;
    }
    // No temporary file is left behind either.
    for (const auto& entry : fs::directory_iterator(m_dir))
        EXPECT_EQ(entry.path().filename().string().find("partial"), std::string::npos) << entry.path();
}

TEST_F(JobCommandsTest, EachCommandHasHelp) {
    struct Case {
        const char* command;
        std::vector<const char*> options;
    } cases[] = {
        {"render", {"-o", "--size", "--view", "--rotate", "--spin", "--tilt", "--plot", "--time"}},
        {"ascan", {"-o", "--size", "--snapshot", "--x", "--y"}},
        {"run", {"--macro", "--script", "-o", "--trace", "--max-instructions", "--max-memory"}},
        {"demo", {"-o"}},
        {"print", {"-o", "--page"}},
    };
    for (const Case& c : cases) {
        for (const std::string& args : {std::string(c.command) + " --help", "help " + std::string(c.command)}) {
            ASSERT_EQ(Run(args), 0) << args << ": " << m_err;
            EXPECT_TRUE(m_err.empty()) << args << ": " << m_err;
            EXPECT_NE(m_out.find(std::string("orvex ") + c.command), std::string::npos) << args;
            for (const char* option : c.options) EXPECT_NE(m_out.find(option), std::string::npos) << args << " " << option;
        }
    }
}

TEST_F(JobCommandsTest, RenderAndAscanWritePicturesOfTheGivenSize) {
    ASSERT_EQ(Run("render s.orvex -o r.png --size 120x90"), 0) << m_err;
    EXPECT_TRUE(m_out.empty() && m_err.empty()) << m_out << m_err;
    EXPECT_EQ(PngSize("r.png"), std::make_pair(120u, 90u));
    ASSERT_EQ(Run("render s.orvex -o default.png"), 0) << m_err;
    EXPECT_EQ(PngSize("default.png"), std::make_pair(500u, 400u));
    // Each option reaches the control: the picture changes.
    ASSERT_EQ(Run("render s.orvex -o top.png --size 120x90 --view top --rotate 30"), 0) << m_err;
    EXPECT_NE(Bytes("top.png"), Bytes("r.png"));
    ASSERT_EQ(Run("render s.orvex -o pulse.png --size 120x90 --plot pulse --time 12"), 0) << m_err;
    EXPECT_NE(Bytes("pulse.png"), Bytes("r.png"));

    ASSERT_EQ(Run("ascan s.orvex -o a.png --size 200x80"), 0) << m_err;
    EXPECT_EQ(PngSize("a.png"), std::make_pair(200u, 80u));
    ASSERT_EQ(Run("ascan s.orvex -o default.png"), 0) << m_err;
    // Tall enough for numbers on the amplitude axis.
    EXPECT_EQ(PngSize("default.png"), std::make_pair(600u, 250u));
    ASSERT_EQ(Run("ascan s.orvex -o zero.png --size 200x80 --snapshot 0"), 0) << m_err;
    EXPECT_EQ(Bytes("zero.png"), Bytes("a.png"));  // snapshot 0 is the default
    ASSERT_EQ(Run("ascan s.orvex -o last.png --size 200x80 --snapshot 2"), 0) << m_err;
    EXPECT_NE(Bytes("last.png"), Bytes("a.png"));
    // A window set after a late link (with --snapshot) is the same as after the link at the
    // first draw.
    ASSERT_EQ(Run("ascan s.orvex -o w.png --size 200x80 --x 2:6 --y -0.5:0.5"), 0) << m_err;
    EXPECT_NE(Bytes("w.png"), Bytes("a.png"));
    ASSERT_EQ(Run("ascan s.orvex -o w0.png --size 200x80 --x 2:6 --y -0.5:0.5 --snapshot 0"), 0) << m_err;
    EXPECT_EQ(Bytes("w0.png"), Bytes("w.png"));
}

// What a report needs: the JSON form read like .orvex, pictures at a scale, a caption that says
// what they show; and nothing silently ignored.
TEST_F(JobCommandsTest, PicturesForReports) {
    ASSERT_EQ(Run("convert s.orvex s.json"), 0) << m_err;
    ASSERT_EQ(Run("render s.json -o json.png --size 120x90"), 0) << m_err;
    ASSERT_EQ(Run("render s.orvex -o orvex.png --size 120x90"), 0) << m_err;
    EXPECT_EQ(Bytes("json.png"), Bytes("orvex.png"));
    ASSERT_EQ(Run("ascan s.json -o json.png --size 200x80 --snapshot 2"), 0) << m_err;
    ASSERT_EQ(Run("ascan s.orvex -o orvex.png --size 200x80 --snapshot 2"), 0) << m_err;
    EXPECT_EQ(Bytes("json.png"), Bytes("orvex.png"));

    // --scale: the picture F times larger.
    ASSERT_EQ(Run("render s.orvex -o big.png --size 120x90 --scale 2"), 0) << m_err;
    EXPECT_EQ(PngSize("big.png"), std::make_pair(240u, 180u));
    ASSERT_EQ(Run("ascan s.orvex -o big.png --size 200x80 --scale 2.5"), 0) << m_err;
    EXPECT_EQ(PngSize("big.png"), std::make_pair(500u, 200u));
    ASSERT_EQ(Run("run doc.json -o big.png --scale 3"), 0) << m_err;
    EXPECT_EQ(PngSize("big.png"), std::make_pair(900u, 360u));
    // A scaled picture past the picture budget is refused with the size, before anything is drawn.
    EXPECT_EQ(Run("render s.orvex -o huge.png --size 4100x4100 --scale 4"), 1);
    EXPECT_EQ(m_err, "orvex: a picture of 16400x16400 pixels does not fit the memory budget for pictures "
                     "(268435456 pixels, 1 GiB)\n");
    EXPECT_FALSE(Exists("huge.png"));
    // --stamp: a band below the page, the page's pixels untouched.
    ASSERT_EQ(Run("render s.orvex -o stamped.png --size 120x90 --stamp"), 0) << m_err;
    EXPECT_EQ(PngSize("stamped.png").first, 120u);
    EXPECT_GT(PngSize("stamped.png").second, 90u + 10u);
    {
        CBitmap plain, stamped;
        ASSERT_EQ(Run("render s.orvex -o plain.png --size 120x90"), 0) << m_err;
        ASSERT_TRUE(LoadBitmapPng((m_dir / "plain.png").string(), plain));
        ASSERT_TRUE(LoadBitmapPng((m_dir / "stamped.png").string(), stamped));
        EXPECT_TRUE(std::equal(plain.GetPixels(), plain.GetPixels() + 120 * 90, stamped.GetPixels()));
        // The caption has text in it: dark pixels in the band.
        const uint32_t* band = stamped.GetPixels() + 120 * 92;
        EXPECT_TRUE(std::any_of(band, band + 120 * (stamped.GetHeight() - 92), [](uint32_t p) { return (p & 0xFF) < 100; }));
    }
    ASSERT_EQ(Run("run doc.json -o stamped.png --stamp --scale 2"), 0) << m_err;
    EXPECT_EQ(PngSize("stamped.png").first, 600u);
    EXPECT_GT(PngSize("stamped.png").second, 240u + 20u);

    // --time alone draws the cut at that time.
    ASSERT_EQ(Run("render s.orvex -o t.png --size 120x90 --time 12"), 0) << m_err;
    ASSERT_EQ(Run("render s.orvex -o e.png --size 120x90 --time 12 --plot end"), 0) << m_err;
    EXPECT_EQ(Bytes("t.png"), Bytes("e.png"));
    EXPECT_NE(Bytes("t.png"), Bytes("r.png"));

    // A window beyond the data: the job succeeds and says what the plot does.
    ASSERT_EQ(Run("ascan s.orvex -o w.png --size 200x80 --x 100:200"), 0) << m_err;
    EXPECT_NE(m_err.find("orvex ascan: --x 100:200 lies outside the A-scan (0 to "), std::string::npos) << m_err;
    ASSERT_EQ(Run("ascan s.orvex -o w.png --size 200x80 --y -3:0.5"), 0) << m_err;
    EXPECT_EQ(m_err, "orvex ascan: --y -3:0.5 reaches beyond the A-scan (-1 to 1): the plot shows only the part within it\n");
    ASSERT_EQ(Run("ascan s.orvex -o w.png --size 200x80 --y -0.5:0.5"), 0) << m_err;
    EXPECT_TRUE(m_err.empty()) << m_err;

    // A document where data is expected says what it is.
    EXPECT_EQ(Run("info doc.json"), 1);
    EXPECT_NE(m_err.find("doc.json: this is a document (a page of controls), not a simulation file"), std::string::npos)
        << m_err;
}

TEST_F(JobCommandsTest, PrintWritesPdfOrSvgOnThePaperAsked) {
    ASSERT_EQ(Run("print doc.json -o p.pdf"), 0) << m_err;
    EXPECT_EQ(Bytes("p.pdf").rfind("%PDF-", 0), 0u);
    EXPECT_NE(Bytes("p.pdf").find("/MediaBox [ 0 0 595"), std::string::npos);  // A4 by default
    ASSERT_EQ(Run("print doc.json -o p.svg --page letter"), 0) << m_err;
    EXPECT_NE(Bytes("p.svg").find("<svg"), std::string::npos);
    EXPECT_NE(Bytes("p.svg").find("width=\"612pt\" height=\"792pt\""), std::string::npos);
    // Relative to where orvex runs, not to the document's folder.
    fs::create_directories(m_dir / "docs");
    fs::copy_file(m_dir / "doc.json", m_dir / "docs" / "doc.json");
    fs::copy_file(m_dir / "s.orvex", m_dir / "docs" / "s.orvex");
    ASSERT_EQ(Run("print docs/doc.json -o here.pdf"), 0) << m_err;
    EXPECT_TRUE(Exists("here.pdf"));
}

TEST_F(JobCommandsTest, RunRunsMacrosAndTheScriptInTheOrderGiven) {
    WriteText("t.lua", "marks = (marks or '') .. 's'");
    ASSERT_EQ(Run("run doc.json --script t.lua --macro Mark --macro Show"), 0) << m_err;
    EXPECT_EQ(m_out, "sm\n");
    ASSERT_EQ(Run("run doc.json --macro Mark --script=t.lua --macro=Show"), 0) << m_err;
    EXPECT_EQ(m_out, "ms\n");
    EXPECT_TRUE(m_err.empty()) << m_err;

    // -o writes the page after the runs, in the page's size.
    ASSERT_EQ(Run("run doc.json -o plain.png"), 0) << m_err;
    EXPECT_EQ(PngSize("plain.png"), std::make_pair(300u, 120u));
    ASSERT_EQ(Run("run doc.json --macro Zoom -o zoomed.png"), 0) << m_err;
    EXPECT_NE(Bytes("zoomed.png"), Bytes("plain.png"));
    // --trace passes the controls' debugger output to stderr.
    ASSERT_EQ(Run("run doc.json --trace"), 0) << m_err;
    EXPECT_NE(m_err.find("FindOrvexControlDisp"), std::string::npos) << m_err;
}

TEST_F(JobCommandsTest, ListMacrosNamesThemWithTheirFirstComment) {
    WriteText("commented.json", R"json({"page": {"width": 10, "height": 10}, "controls": [],
        "macros": {"Spin": "-- Turns the view once.\nV:Spin(10)", "Bare": "x = 1", "LongerName": "--Two words\n"}})json");
    ASSERT_EQ(Run("run commented.json --list-macros"), 0) << m_err;
    EXPECT_EQ(m_out, "Spin        Turns the view once.\nBare\nLongerName  Two words\n");
    ASSERT_EQ(Run("run doc.json --list-macros"), 0) << m_err;
    EXPECT_EQ(m_out, "Zoom\nMark\nShow\nFail\n");
    // Nothing runs with it.
    EXPECT_EQ(Run("run doc.json --list-macros --macro Show"), 2);
    EXPECT_EQ(Run("run doc.json --list-macros -o x.png"), 2);
    EXPECT_FALSE(Exists("x.png"));
    EXPECT_EQ(Run("run missing.json --list-macros"), 1);
}

TEST_F(JobCommandsTest, AFailingRunIsOneLineAndTheOthersStillRun) {
    WriteText("loop.lua", "while true do end");
    WriteText("grow.lua", "local t = {} for i = 1, 1e7 do t[i] = i end");
    struct Case {
        const char* args;
        const char* line;
    } cases[] = {
        {"run doc.json --macro Fail --macro Mark --macro Show -o page.png", "orvex: macro Fail, line 1: boom"},
        {"run doc.json --macro Nope --macro Mark --macro Show -o page.png",
         "orvex: macro Nope: the document has no macro of that name (its macros: Zoom Mark Show Fail)"},
        {"run doc.json --script loop.lua --max-instructions 100000 --macro Mark --macro Show -o page.png",
         "orvex: script loop.lua, line 1: instruction limit of 100000 reached"},
        {"run doc.json --script grow.lua --max-memory 1 --macro Mark --macro Show -o page.png",
         "orvex: script grow.lua, line 1: memory limit of 1 MB reached"},
    };
    for (const Case& c : cases) {
        fs::remove(m_dir / "page.png");
        EXPECT_EQ(Run(c.args), 1) << c.args;
        EXPECT_EQ(m_err, std::string(c.line) + "\n") << c.args;
        EXPECT_EQ(m_out, "m\n") << c.args;  // the runs after the failure happened
        EXPECT_EQ(PngSize("page.png"), std::make_pair(300u, 120u)) << c.args;
    }
}

TEST_F(JobCommandsTest, DemoWritesEveryFileItLists) {
    ASSERT_EQ(Run("demo -o out"), 0) << m_err;
    EXPECT_TRUE(m_err.empty()) << m_err;
    std::set<std::string> listed;
    std::istringstream lines(m_out);
    const std::regex frames(R"(wrote out/frames/pulse_000\.png \.\.\. pulse_(\d{3})\.png \((\d+) frames, 200 ms apart\))");
    int frameCount = -1;
    for (std::string line; std::getline(lines, line);) {
        std::smatch m;
        if (std::regex_match(line, m, frames)) {
            frameCount = std::stoi(m[2]);
            EXPECT_EQ(std::stoi(m[1]), frameCount - 1) << line;
            continue;
        }
        ASSERT_EQ(line.rfind("wrote out/", 0), 0u) << line;
        const std::string path = line.substr(6);
        EXPECT_TRUE(Exists(path)) << path;
        EXPECT_TRUE(listed.insert(path).second) << "listed twice: " << path;
    }
    // The frames: one line for the lot, every one of them written.
    ASSERT_GT(frameCount, 1) << m_out;
    EXPECT_LE(frameCount, 200);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir / "out" / "frames"), fs::directory_iterator()), frameCount);
    // Every file the help names is among them, one A-scan per snapshot of the built-in data.
    for (const char* name : {"demo.orvex", "viewer_front.png", "viewer_side.png", "viewer_top.png", "viewer_full.png",
                             "viewer_end.png", "viewer_pulse.png", "demo.json", "demo_document.png",
                             "ascan_snapshot_00.png", "ascan_snapshot_15.png", "bscan.png", "gates.txt", "pulse.gif"})
        EXPECT_EQ(listed.count(std::string("out/") + name), 1u) << name;
    EXPECT_EQ(listed.count("out/ascan_snapshot_16.png"), 0u);
    EXPECT_TRUE(std::any_of(listed.begin(), listed.end(), [](const std::string& p) { return p.rfind("out/tour_", 0) == 0; }));
    // Nothing written that was not listed.
    for (const auto& entry : fs::directory_iterator(m_dir / "out")) {
        if (entry.is_directory()) continue;
        EXPECT_EQ(listed.count("out/" + entry.path().filename().string()), 1u) << entry.path();
    }
    // The demo document runs on its own with the data beside it.
    ASSERT_EQ(Run("run out/demo.json --macro NextSnapShot --macro ZoomAscan -o page.png"), 0) << m_err;
    EXPECT_GT(PngSize("page.png").first, 0u);
}

}  // namespace
