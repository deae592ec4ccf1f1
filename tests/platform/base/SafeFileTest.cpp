#include "platform/base/SafeFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "TestScratch.h"

namespace fs = std::filesystem;

namespace {

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Spit(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// Names of the files in a folder, to see that nothing was left behind.
std::vector<std::string> Listing(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

// Every kind of file that is not regular is refused at once (a FIFO with no writer would block an
// ordinary open for ever), and the reason names the kind.
TEST(SafeFileTest, ReadingRefusesEverythingButRegularFiles) {
    const fs::path dir = TestScratchDir();
    const fs::path fifo = dir / "pipe";
    fs::remove(fifo);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path folder = dir / "folder";
    fs::create_directories(folder);
    const fs::path socketPath = dir / "sock";
    fs::remove(socketPath);
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", socketPath.c_str());
    const bool haveSocket = socketPath.string().size() < sizeof addr.sun_path &&
                            ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;

    struct Row { fs::path path; const char* reason; } rows[] = {
        {fifo, "not a regular file (a FIFO)"},
        {folder, "not a regular file (a folder)"},
        {"/dev/null", "not a regular file (a character device)"},  // read only, never written
    };
    for (const Row& r : rows) {
        std::string why, text;
        EXPECT_EQ(OpenRegularFile(r.path.c_str(), why), -1) << r.path;
        EXPECT_EQ(errno, EINVAL);
        EXPECT_EQ(why, r.reason);
        EXPECT_FALSE(ReadRegularFile(r.path.string(), 1 << 20, text, why));
        EXPECT_EQ(why, r.reason);
    }
    if (haveSocket) {
        std::string why;
        EXPECT_EQ(OpenRegularFile(socketPath.c_str(), why), -1);  // a socket does not even open
    }
    ::close(s);
}

TEST(SafeFileTest, ReadsRegularFilesWithinTheBound) {
    const fs::path dir = TestScratchDir();
    Spit(dir / "a.txt", "hello");
    std::string text, why;
    ASSERT_TRUE(ReadRegularFile((dir / "a.txt").string(), 5, text, why)) << why;
    EXPECT_EQ(text, "hello");
    EXPECT_FALSE(ReadRegularFile((dir / "a.txt").string(), 4, text, why));
    EXPECT_EQ(why, "larger than 4 bytes");
    EXPECT_FALSE(ReadRegularFile((dir / "missing").string(), 5, text, why));
    EXPECT_EQ(why, "No such file or directory");

    // A link is followed unless the caller says otherwise.
    fs::remove(dir / "link");
    fs::create_symlink(dir / "a.txt", dir / "link");
    const int fd = OpenRegularFile((dir / "link").c_str(), why);
    EXPECT_GE(fd, 0);
    if (fd >= 0) ::close(fd);
    EXPECT_EQ(OpenRegularFile((dir / "link").c_str(), why, ELinks::refuse), -1);
}

// A planted link is replaced by the new file; the file it pointed to keeps its content.
TEST(SafeFileTest, WritingReplacesALinkNotItsTarget) {
    const fs::path dir = TestScratchDir() / "out";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path victim = TestScratchDir() / "victim.txt";
    Spit(victim, "precious");
    fs::create_symlink(victim, dir / "doc.json");
    std::string why;
    ASSERT_TRUE(WriteOutputText((dir / "doc.json").string(), "new", why)) << why;
    EXPECT_EQ(Slurp(victim), "precious");
    EXPECT_FALSE(fs::is_symlink(dir / "doc.json"));
    EXPECT_EQ(Slurp(dir / "doc.json"), "new");
    EXPECT_EQ(Listing(dir), std::vector<std::string>{"doc.json"});

    // An existing regular file is replaced whole; nothing else stays in the folder.
    ASSERT_TRUE(WriteOutputText((dir / "doc.json").string(), "newer", why)) << why;
    EXPECT_EQ(Slurp(dir / "doc.json"), "newer");
    EXPECT_EQ(Listing(dir), std::vector<std::string>{"doc.json"});
}

// A failing writer leaves the old file as it was and no temporary file.
TEST(SafeFileTest, AFailedWriteLeavesTheTargetWhole) {
    const fs::path dir = TestScratchDir() / "out";
    fs::remove_all(dir);
    fs::create_directories(dir);
    Spit(dir / "page.png", "old");
    std::string why;
    EXPECT_FALSE(WriteOutputFile(
        (dir / "page.png").string(),
        [](const std::string& target, std::string& w) {
            Spit(target, "half");
            w = "disk full";
            return false;
        },
        why));
    EXPECT_EQ(why, "disk full");
    EXPECT_EQ(Slurp(dir / "page.png"), "old");
    EXPECT_EQ(Listing(dir), std::vector<std::string>{"page.png"});
}

// A folder as the target is refused and stays a folder; a FIFO is written as a FIFO (never
// replaced), and refused at once when nothing reads it.
TEST(SafeFileTest, WritingToAFolderOrAFifo) {
    const fs::path dir = TestScratchDir() / "out";
    fs::remove_all(dir);
    fs::create_directories(dir / "folder.png");
    std::string why;
    EXPECT_FALSE(WriteOutputText((dir / "folder.png").string(), "x", why));
    EXPECT_EQ(why, "cannot write to a folder");
    EXPECT_TRUE(fs::is_directory(dir / "folder.png"));

    const fs::path fifo = dir / "pipe.png";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(WriteOutputText(fifo.string(), "x", why));
    EXPECT_EQ(why, "nothing is reading the FIFO");

    // With a reader, the bytes go through the FIFO and it stays one.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ASSERT_TRUE(WriteOutputText(fifo.string(), "through", why)) << why;
    char buffer[16] = {};
    EXPECT_EQ(::read(reader, buffer, sizeof buffer), 7);
    EXPECT_STREQ(buffer, "through");
    ::close(reader);
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_EQ(Listing(dir), (std::vector<std::string>{"folder.png", "pipe.png"}));
}
