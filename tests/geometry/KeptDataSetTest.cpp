// A job's check and the viewer share one load: the kept data set goes to the next load of the same
// unchanged file, once, and never to a load of anything else.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "SampleData.h"
#include "geometry/OrvexFile.h"
#include "platform/afx/CArchive.h"
#include "platform/afx/CFile.h"

namespace {

class KeptDataSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_path = std::string(::testing::TempDir()) + "/kept-" + std::to_string(::getpid()) + ".orvex";
        m_data = MakeSampleData();
        std::string error;
        ASSERT_TRUE(SaveOrvexFile(m_path, m_data, error)) << error;
    }
    void TearDown() override {
        ReleaseKeptDataSet();
        std::filesystem::remove(m_path);
    }

    // Loads as the viewer does: its own archive with a small buffer, the format number read first.
    static CSimulationData ViewerLoad(const std::string& path) {
        CFile file(path.c_str(), CFile::modeRead);
        CArchive ar(&file, CArchive::load, 4096);
        DWORD format = 1;
        ar >> format;
        CSimulationData d;
        d.Serialize(ar);
        EXPECT_EQ(ar.GetBytesRemaining(), 0u);
        return d;
    }

    // Changes the probe frequency stored in the file without changing its size, and puts the
    // modification time back when keepTime is set: the file then looks unchanged.
    void RewriteFrequency(double frequency, bool keepTime) {
        struct stat before {};
        ASSERT_EQ(::stat(m_path.c_str(), &before), 0);
        CSimulationData changed = m_data;
        changed.m_probeFrequency = frequency;
        CMemFile mem;
        WriteOrvex(mem, changed);
        const int fd = ::open(m_path.c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pwrite(fd, mem.GetData().data(), mem.GetData().size(), 0),
                  static_cast<ssize_t>(mem.GetData().size()));
        ::close(fd);
        if (keepTime) {
            const timespec times[2] = {before.st_atim, before.st_mtim};
            ASSERT_EQ(::utimensat(AT_FDCWD, m_path.c_str(), times, 0), 0);
        } else {
            const timespec times[2] = {before.st_atim, {before.st_mtim.tv_sec + 2, before.st_mtim.tv_nsec}};
            ASSERT_EQ(::utimensat(AT_FDCWD, m_path.c_str(), times, 0), 0);
        }
    }

    std::string m_path;
    CSimulationData m_data;
};

TEST_F(KeptDataSetTest, TheNextLoadOfTheFileTakesTheKeptDataSetOnce) {
    std::string error;
    ASSERT_TRUE(LoadOrvexFileAndKeep(m_path, error)) << error;
    // Changed behind the identity's back, the file no longer holds what was kept: the first load
    // gets the kept data set (the file is not read), the second reads the file.
    RewriteFrequency(7.5, true);
    const CSimulationData first = ViewerLoad(m_path);
    EXPECT_TRUE(first == m_data);
    const CSimulationData second = ViewerLoad(m_path);
    EXPECT_EQ(second.m_probeFrequency, 7.5);
}

TEST_F(KeptDataSetTest, AChangedFileIsReadAgain) {
    std::string error;
    ASSERT_TRUE(LoadOrvexFileAndKeep(m_path, error)) << error;
    RewriteFrequency(7.5, false);
    EXPECT_EQ(ViewerLoad(m_path).m_probeFrequency, 7.5);
}

TEST_F(KeptDataSetTest, OtherFilesAndReleasedDataSetsAreReadFromTheFile) {
    std::string error;
    ASSERT_TRUE(LoadOrvexFileAndKeep(m_path, error)) << error;
    // Another file is read, and the kept data set stays for the original.
    const std::string copy = m_path + ".other.orvex";
    CSimulationData other = m_data;
    other.m_probeFrequency = 2.25;
    ASSERT_TRUE(SaveOrvexFile(copy, other, error)) << error;
    EXPECT_EQ(ViewerLoad(copy).m_probeFrequency, 2.25);
    std::filesystem::remove(copy);

    // Loaded from memory: no identity, never the kept set.
    CMemFile mem;
    WriteOrvex(mem, other);
    mem.SeekToBegin();
    CSimulationData fromMemory;
    ReadOrvex(mem, fromMemory);
    EXPECT_EQ(fromMemory.m_probeFrequency, 2.25);

    RewriteFrequency(7.5, true);
    ReleaseKeptDataSet();
    EXPECT_EQ(ViewerLoad(m_path).m_probeFrequency, 7.5);
}

TEST_F(KeptDataSetTest, ARefusedOrFailedLoadKeepsNothing) {
    std::string error;
    const auto refuse = [](const CSimulationData& d, std::string& problem) {
        problem = "only " + std::to_string(d.m_snapshots.size()) + " snapshots";
        return false;
    };
    EXPECT_FALSE(LoadOrvexFileAndKeep(m_path, error, refuse));
    EXPECT_EQ(error, "only 2 snapshots");
    RewriteFrequency(7.5, true);
    EXPECT_EQ(ViewerLoad(m_path).m_probeFrequency, 7.5);

    EXPECT_FALSE(LoadOrvexFileAndKeep(m_path + ".missing", error));
    EXPECT_NE(error.find(".missing"), std::string::npos);
}

}  // namespace
