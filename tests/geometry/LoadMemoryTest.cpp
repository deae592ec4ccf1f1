// Memory while loading: the peak of live heap bytes is bounded by what the file stores, whatever
// its counts claim: sparse files (holes read as zeros), files of empty records, real data.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "geometry/OrvexFile.h"
#include "platform/afx/CArchive.h"
#include "platform/afx/CFile.h"

namespace {

std::atomic<size_t> g_live{0};
std::atomic<size_t> g_peak{0};

}  // namespace

#if !defined(__SANITIZE_ADDRESS__)
// Every C++ allocation of the test program passes here, so the peak during a load is exact (the
// sanitizers bring their own allocator, so it is measured only without them).
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t n) {
    void* p = std::malloc(n ? n : 1);
    if (p == nullptr) throw std::bad_alloc();
    const size_t live = g_live.fetch_add(malloc_usable_size(p)) + malloc_usable_size(p);
    size_t peak = g_peak.load();
    while (live > peak && !g_peak.compare_exchange_weak(peak, live)) {
    }
    return p;
}
void operator delete(void* p) noexcept {
    if (p == nullptr) return;
    g_live.fetch_sub(malloc_usable_size(p));
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
#endif

namespace {

#if defined(__SANITIZE_ADDRESS__)
#define SKIP_UNDER_SANITIZERS() GTEST_SKIP() << "allocations are counted only without the sanitizers"
#else
#define SKIP_UNDER_SANITIZERS() (void)0
#endif

void PutInt(std::vector<BYTE>& b, int32_t v) {
    const auto* p = reinterpret_cast<const BYTE*>(&v);
    b.insert(b.end(), p, p + 4);
}

// The start of a file: format number, signature, version.
std::vector<BYTE> FileStart() {
    std::vector<BYTE> b;
    PutInt(b, 0);
    b.insert(b.end(), {'O', 'X', 'S', 'D'});
    PutInt(b, 1);
    return b;
}

class LoadMemoryTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (const auto& p : m_paths) std::filesystem::remove(p);
    }
    std::string Path(const char* name) {
        m_paths.push_back(std::string(::testing::TempDir()) + "/" + name + "-" + std::to_string(::getpid()) + ".orvex");
        return m_paths.back();
    }
    // Writes the bytes and, when length is larger, extends the file to it without writing (a hole).
    std::string WriteSparse(const char* name, const std::vector<BYTE>& bytes, off_t length) {
        const std::string path = Path(name);
        const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        if (length > static_cast<off_t>(bytes.size())) {
            EXPECT_EQ(::ftruncate(fd, length), 0);
        }
        ::close(fd);
        return path;
    }
    // Loads the file, returning whether it loaded; peak is the most heap the load held at once.
    bool Load(const std::string& path, size_t& peak, std::string& error) {
        CSimulationData data;
        const size_t before = g_live.load();
        g_peak = before;
        const bool ok = LoadOrvexFile(path, data, error);
        peak = g_peak.load() - before;
        return ok;
    }

private:
    std::vector<std::string> m_paths;
};

TEST_F(LoadMemoryTest, SparseFilesCostWhatTheyStoreNotWhatTheirCountsClaim) {
    SKIP_UNDER_SANITIZERS();
    // Each file stores a few bytes and declares gigabytes whose holes read as valid zero records:
    // arcs (a zero record is a straight segment), empty outline items, legs, samples.
    struct {
        const char* name;
        std::vector<int32_t> counts;  // after the signature and version
        ULONGLONG recordBytes;
    } cases[] = {
        {"sparse-arcs", {20'000'000}, 108},
        {"sparse-items", {0, 1, 1, 500'000'000}, 4},
        {"sparse-legs", {0, 1, 1, 0, 1, 1, 25'000'000}, 80},
    };
    for (const auto& c : cases) {
        std::vector<BYTE> bytes = FileStart();
        for (int32_t v : c.counts) PutInt(bytes, v);
        const off_t length = static_cast<off_t>(bytes.size() + c.counts.back() * c.recordBytes + 4096);
        const std::string path = WriteSparse(c.name, bytes, length);
        size_t peak = 0;
        std::string error;
        EXPECT_FALSE(Load(path, peak, error)) << c.name;
        EXPECT_NE(error.find("per byte the file stores"), std::string::npos) << c.name << ": " << error;
        // The 4 MB allowance, storage doubling towards it (old and new held while it moves) and
        // the 1 MB read buffer; these files claimed 2 to 2.7 GB.
        EXPECT_LE(peak, size_t{20} << 20) << c.name;
    }
}

TEST_F(LoadMemoryTest, ManyEmptyOutlineItemsAreRefusedOnceTheyPassTheBudget) {
    SKIP_UNDER_SANITIZERS();
    // One snapshot of n outline items without arcs: 4 bytes in the file, a 32-byte object each.
    auto file = [](int32_t items) {
        std::vector<BYTE> b = FileStart();
        PutInt(b, 0);  // outline arcs
        PutInt(b, 1);  // display snapshot
        PutInt(b, 1);  // snapshots
        PutInt(b, items);
        for (int32_t i = 0; i < items; ++i) PutInt(b, 0);
        PutInt(b, 0);  // drawn bundles
        PutInt(b, 0);  // bundles
        for (int i = 0; i < 7 * 2; ++i) PutInt(b, 0);  // seven doubles
        PutInt(b, 0);  // samples
        PutInt(b, 0);  // x label
        PutInt(b, 0);  // extra outline
        PutInt(b, 0);  // labels
        for (int i = 0; i < 12 * 2 + 4 + 2 * 2; ++i) PutInt(b, 0);  // view frame, rectangle, probe
        return b;
    };
    size_t peak = 0;
    std::string error;
    // A few thousand are well within the allowance and load.
    const std::string small = WriteSparse("items-small", file(10'000), 0);
    EXPECT_TRUE(Load(small, peak, error)) << error;

    const std::vector<BYTE> bytes = file(2'000'000);
    const std::string big = WriteSparse("items-big", bytes, 0);
    EXPECT_FALSE(Load(big, peak, error));
    EXPECT_NE(error.find("per byte the file stores"), std::string::npos) << error;
    // Two bytes per byte of the file plus the 4 MB allowance, the 1 MB read buffer and small change.
    EXPECT_LE(static_cast<double>(peak), 2.0 * bytes.size() + (6 << 20));
}

TEST_F(LoadMemoryTest, RealShapedDataPeaksBelowOneAndAHalfTimesTheFile) {
    SKIP_UNDER_SANITIZERS();
    // Two snapshots, one bundle of 60 000 legs (a run large enough for large pages and the stored
    // bytes check) and 40 small ones, and 2 million samples.
    CSimulationData d;
    d.m_snapshots.resize(2);
    for (auto& s : d.m_snapshots) {
        s.m_bundles.resize(41);
        for (int i = 0; i < 60'000; ++i) s.m_bundles[0].m_rays.emplace_back(CPoint3D(i, 0, 0), CPoint3D(i, -1, 0), i, i + 1.0);
        for (size_t b = 1; b < s.m_bundles.size(); ++b)
            for (int i = 0; i < 100; ++i) s.m_bundles[b].m_rays.emplace_back(CPoint3D(i, 0, 0), CVector3D(0, 1, 0), 3.0, i);
        s.m_samples.assign(1'000'000, 0.25f);
        CSimulationData::SyncSampleCount(s);
    }
    const std::string path = Path("real-shaped");
    std::string error;
    ASSERT_TRUE(SaveOrvexFile(path, d, error)) << error;
    const double fileSize = static_cast<double>(std::filesystem::file_size(path));
    CSimulationData loaded;
    const size_t before = g_live.load();
    g_peak = before;
    ASSERT_TRUE(LoadOrvexFile(path, loaded, error)) << error;
    const size_t peak = g_peak.load() - before;
    // Legs parsed across refills of the buffer and samples read in pieces arrive intact.
    EXPECT_TRUE(loaded.m_snapshots == d.m_snapshots);
    EXPECT_LE(static_cast<double>(peak), 1.5 * fileSize);
}

TEST_F(LoadMemoryTest, StoredLengthLeavesOutHoles) {
    // 4 KB of data, a hole of 4 MB, 4 KB of data.
    const std::string path = Path("stored-length");
    const std::vector<BYTE> block(4096, 0x5A);
    {
        const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, block.data(), block.size()), 4096);
        ASSERT_EQ(::pwrite(fd, block.data(), block.size(), (4 << 20) + 4096), 4096);
        ::close(fd);
    }
    CFile file(path.c_str(), CFile::modeRead);
    const ULONGLONG length = file.GetLength();
    {
        const int fd = ::open(path.c_str(), O_RDONLY);
        const off_t hole = ::lseek(fd, 0, SEEK_HOLE);
        ::close(fd);
        if (hole < 0 || static_cast<ULONGLONG>(hole) == length) GTEST_SKIP() << "this file system does not report holes";
    }
    EXPECT_EQ(file.GetStoredLength(), 8192u);
    file.Seek(100, CFile::begin);
    EXPECT_EQ(file.GetStoredLength(), 8192u - 100);
    EXPECT_EQ(file.GetPosition(), 100u);  // looking for holes leaves the position alone
    file.Seek(8192, CFile::begin);
    EXPECT_EQ(file.GetStoredLength(), 4096u);
    file.SeekToEnd();
    EXPECT_EQ(file.GetStoredLength(), 0u);

    // An archive counts its buffered bytes as stored.
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load, 1024);
    BYTE first[10];
    ar.EnsureRead(first, sizeof first);
    EXPECT_EQ(ar.GetStoredBytesRemaining(), 8192u - 10);
    EXPECT_EQ(ar.GetBytesRemaining(), length - 10);
}

}  // namespace
