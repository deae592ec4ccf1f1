// The tool against special files given where data or output is expected: a FIFO, a folder, a
// terminal. Each is refused at once with one clear line, or, as output, written as such; nothing is
// replaced and nothing waits. The commands run under `timeout`, so a regression fails the test
// instead of hanging the suite.
#include <sys/stat.h>

#include <algorithm>

#include "apps/CliTestSupport.h"

namespace {

class HostileInputTest : public CliTest {
protected:
    // Exit status of orvex, or 124 when it had to be stopped.
    int RunGuarded(const std::string& args) {
        const std::string cmd = "cd '" + m_dir.string() + "' && timeout 20 '" + ORVEX_EXE + "' " + args +
                                " >out.txt 2>err.txt </dev/null";
        const int status = std::system(cmd.c_str());
        m_out = Slurp("out.txt");
        m_err = Slurp("err.txt");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    void MakeFifo(const std::string& name) {
        std::filesystem::remove(m_dir / name);
        ASSERT_EQ(::mkfifo((m_dir / name).c_str(), 0600), 0);
    }
    bool IsFifo(const std::string& name) const {
        struct stat st {};
        return ::lstat((m_dir / name).c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
    }
    std::string Document(const std::string& fileName) const {
        return R"({"page": {"width": 200, "height": 100}, "controls": [
            {"progid": "ORVEXVIEWER.OrvexViewerCtrl.1", "name": "V", "rect": [0, 0, 200, 100],
             "properties": {"FileName": ")" + fileName + R"("}}]})";
    }
};

}  // namespace

// A FIFO as the simulation file of every command that reads one.
TEST_F(HostileInputTest, AFifoAsDataIsRefusedAtOnce) {
    MakeFifo("data.orvex");
    MakeFifo("data.json");
    const char* commands[] = {"info data.orvex", "render data.orvex -o a.png", "ascan data.orvex -o b.png",
                              "convert data.json c.orvex", "convert data.orvex c.json"};
    for (const char* command : commands) {
        EXPECT_EQ(RunGuarded(command), 1)
            << command << "\n" << m_err;
        EXPECT_NE(m_err.find("not a regular file"), std::string::npos) << command << "\n" << m_err;
        EXPECT_EQ(std::count(m_err.begin(), m_err.end(), '\n'), 1) << m_err;
    }
    EXPECT_FALSE(Exists("a.png") || Exists("b.png") || Exists("c.orvex") || Exists("c.json"));
}

// As a stored FileName a FIFO, a folder or a terminal is an unreadable file like any other: the
// document opens with a warning, runs its script and renders.
TEST_F(HostileInputTest, ASpecialFileAsFileNameIsAnUnreadableFile) {
    MakeFifo("data.orvex");
    std::filesystem::create_directories(m_dir / "folder.orvex");
    for (const char* name : {"data.orvex", "folder.orvex", "/dev/stdin", "/dev/tty"}) {
        WriteText("doc.json", Document(name));
        WriteText("s.lua", "print(V.FileName)");
        EXPECT_EQ(RunGuarded("run doc.json --script s.lua -o page.png"), 0) << name << "\n" << m_err;
        EXPECT_EQ(m_out, std::string(name) + "\n");
        EXPECT_EQ(PngSize("page.png"), std::make_pair(200u, 100u)) << name;
        EXPECT_EQ(RunGuarded("print doc.json -o page.pdf"), 0) << name << "\n" << m_err;
    }
}

// A FIFO or a folder named as the document, the script or the registry file.
TEST_F(HostileInputTest, AFifoAsDocumentScriptOrRegistryIsRefused) {
    MakeFifo("doc.json");
    MakeFifo("s.lua");
    MakeFifo("r.reg");
    EXPECT_EQ(RunGuarded("run doc.json"), 1);
    EXPECT_NE(m_err.find("doc.json: cannot open the document (not a regular file (a FIFO))"), std::string::npos) << m_err;
    EXPECT_EQ(RunGuarded("print doc.json -o p.pdf"), 1);
    EXPECT_NE(m_err.find("not a regular file (a FIFO)"), std::string::npos) << m_err;
    WriteText("ok.json", Document("none.orvex"));
    EXPECT_EQ(RunGuarded("run ok.json --script s.lua"), 1);
    EXPECT_NE(m_err.find("s.lua: cannot read the script (not a regular file (a FIFO))"), std::string::npos) << m_err;
    EXPECT_EQ(RunGuarded("register --registry r.reg"), 1);
    EXPECT_NE(m_err.find("not a regular file (a FIFO)"), std::string::npos) << m_err;
}

// Output named by a FIFO without a reader or by a folder is refused and left as it was; a FIFO
// that is read gets the picture through it and stays a FIFO.
TEST_F(HostileInputTest, OutputToAFifoOrAFolderIsNeverReplaced) {
    WriteText("doc.json", Document("none.orvex"));
    std::filesystem::create_directories(m_dir / "out.png");
    EXPECT_EQ(RunGuarded("run doc.json -o out.png"), 1);
    EXPECT_NE(m_err.find("cannot write to a folder"), std::string::npos) << m_err;
    EXPECT_TRUE(std::filesystem::is_directory(m_dir / "out.png"));
    std::filesystem::create_directories(m_dir / "out.pdf");
    EXPECT_EQ(RunGuarded("print doc.json -o out.pdf"), 1);
    EXPECT_TRUE(std::filesystem::is_directory(m_dir / "out.pdf"));

    MakeFifo("pipe.png");
    EXPECT_EQ(RunGuarded("run doc.json -o pipe.png"), 1);
    EXPECT_NE(m_err.find("nothing is reading the FIFO"), std::string::npos) << m_err;
    EXPECT_TRUE(IsFifo("pipe.png"));

    // A reader copies what comes through the FIFO into a file.
    const std::string cmd = "cd '" + m_dir.string() + "' && (timeout 20 cat pipe.png > got.png &) && sleep 0.2 && timeout 20 '" +
                            ORVEX_EXE + "' run doc.json -o pipe.png 2>err.txt; s=$?; wait; exit $s";
    const int status = std::system(cmd.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << Slurp("err.txt");
    EXPECT_TRUE(IsFifo("pipe.png"));
}

// Host calls that work in C++ count against the one budget: a loop of frame renders ends at it.
TEST_F(HostileInputTest, RenderingTheFrameInALoopMeetsTheBudget) {
    WriteText("doc.json", Document("none.orvex"));
    WriteText("s.lua", "V.ControlDetectionEnabled = true\n"
                       "host.mouse('rup', 50, 50) host.pump(0)\n"
                       "assert(host.frame())\n"
                       "while true do host.render_frame('f.png') end\n");
    EXPECT_EQ(RunGuarded("run doc.json --script s.lua --max-instructions 100000"), 1) << m_err;
    EXPECT_NE(m_err.find("instruction limit of 100000 reached"), std::string::npos) << m_err;
    // Each render is charged by the frame's pixels, so a handful fit, not thousands.
    WriteText("count.lua", "V.ControlDetectionEnabled = true\n"
                           "host.mouse('rup', 50, 50) host.pump(0)\n"
                           "while true do host.render_frame('f.png') print('frame') end\n");
    EXPECT_EQ(RunGuarded("run doc.json --script count.lua --max-instructions 100000"), 1) << m_err;
    const auto frames = std::count(m_out.begin(), m_out.end(), '\n');
    EXPECT_GT(frames, 0);
    EXPECT_LT(frames, 20);
}

// Sampling a painted page costs a host call per pixel, not the page's area each time.
TEST_F(HostileInputTest, SamplingAPaintedPageIsCheap) {
    WriteText("doc.json", Document("none.orvex"));
    WriteText("s.lua", "local sum = 0\n"
                       "for i = 1, 2000 do sum = sum + host.pixel(i % 200, i % 100) end\n"
                       "print('sampled')");
    EXPECT_EQ(RunGuarded("run doc.json --script s.lua --max-instructions 3000000"), 0) << m_err;
    EXPECT_EQ(m_out, "sampled\n");
    // Changing the page makes the next read paint it again, which is charged.
    WriteText("t.lua", "for i = 1, 2000 do V:Rotate(1) host.pixel(1, 1) end");
    EXPECT_EQ(RunGuarded("run doc.json --script t.lua --max-instructions 3000000"), 1);
    EXPECT_NE(m_err.find("instruction limit"), std::string::npos) << m_err;
}

// A link planted where a macro saves or renders is replaced; the file it points to is not touched.
TEST_F(HostileInputTest, MacrosNeverWriteThroughALink) {
    WriteText("victim.txt", "precious");
    WriteText("doc.json", Document("none.orvex"));
    std::filesystem::create_symlink(m_dir / "victim.txt", m_dir / "saved.json");
    std::filesystem::create_symlink(m_dir / "victim.txt", m_dir / "page.png");
    WriteText("s.lua", "host.save('saved.json') host.render('page.png')");
    EXPECT_EQ(RunGuarded("run doc.json --script s.lua"), 0) << m_err;
    EXPECT_EQ(Slurp("victim.txt"), "precious");
    EXPECT_FALSE(std::filesystem::is_symlink(m_dir / "saved.json"));
    EXPECT_EQ(PngSize("page.png"), std::make_pair(200u, 100u));
    EXPECT_NE(Slurp("saved.json").find("\"page\""), std::string::npos);
}

// Controls of absurd size are refused before anything is allocated, each named with its size;
// the rest of the page renders.
TEST_F(HostileInputTest, PicturesBeyondTheMemoryBudgetAreRefusedByName) {
    WriteText("doc.json", R"({"page": {"width": 300, "height": 100}, "controls": [
        {"progid": "ORVEXVIEWER.OrvexViewerCtrl.1", "name": "Huge", "rect": [0, 0, 16000, 16000]},
        {"progid": "ORVEXVIEWER.OrvexViewerCtrl.1", "name": "Big1", "rect": [0, 0, 9000, 9000]},
        {"progid": "ORVEXASCANVIEWER.OrvexAscanViewerCtrl.1", "name": "Big2", "rect": [0, 0, 9000, 9000]},
        {"progid": "ORVEXVIEWER.OrvexViewerCtrl.1", "name": "Small", "rect": [0, 0, 100, 100]}]})");
    WriteText("s.lua", "print(host.controls.Huge, host.controls.Big2, Small.Name)");
    EXPECT_EQ(RunGuarded("run doc.json --script s.lua -o page.png"), 0) << m_err;
    EXPECT_NE(m_err.find("controls[0] (\"Huge\"): 16000x16000 pixels do not fit the memory budget for pictures "
                         "(268435456 pixels, 1 GiB, for the page and its controls in all); the control is left out"),
              std::string::npos)
        << m_err;
    EXPECT_EQ(m_err.find("\"Big1\""), std::string::npos) << m_err;  // 2 x 81 million pixels fit
    EXPECT_NE(m_err.find("controls[2] (\"Big2\"): 9000x9000 pixels do not fit"), std::string::npos) << m_err;
    EXPECT_EQ(m_out, "nil\tnil\tSmall\n");
    EXPECT_EQ(PngSize("page.png"), std::make_pair(300u, 100u));
}
