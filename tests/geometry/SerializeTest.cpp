// The .orvex form: every member round-trips, malformed files raise archive exceptions, and
// loading costs memory in proportion to the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <malloc.h>

#include "SampleData.h"
#include "geometry/OrvexFile.h"
#include "platform/afx/CArchive.h"
#include "platform/afx/CFile.h"

namespace {

std::vector<BYTE> Bytes(const CSimulationData& d) {
    CMemFile file;
    WriteOrvex(file, d);
    return file.GetData();
}

CSimulationData Read(const std::vector<BYTE>& bytes) {
    CMemFile file(bytes.data(), bytes.size());
    CSimulationData d;
    ReadOrvex(file, d);
    return d;
}

TEST(SerializeTest, EveryMemberRoundTrips) {
    const CSimulationData original = MakeSampleData();
    const std::vector<BYTE> bytes = Bytes(original);
    const CSimulationData back = Read(bytes);
    EXPECT_EQ(back, original);
    // Rewriting what was read gives the same bytes (NaN-free data compares equal above; the
    // bytes also cover -0.0 and infinity).
    EXPECT_EQ(Bytes(back), bytes);
    // A leg without end stays one, with its speed.
    const CUTRay& open = back.m_snapshots[0].m_bundles[0].m_rays[1];
    EXPECT_FALSE(open.HasEnd());
    EXPECT_EQ(open.GetSpeed(), 2.73);
    EXPECT_TRUE(std::signbit(back.m_snapshots[0].m_bundles[1].m_rays[1].GetOrigin().x));
    EXPECT_EQ(back.m_snapshots[0].m_nSamples, 6);
}

TEST(SerializeTest, NaNSurvivesAsBytes) {
    CSimulationData d = MakeSampleData();
    d.m_snapshots[0].m_dataStart = std::nan("");
    d.m_snapshots[0].m_samples[0] = std::nanf("");
    const std::vector<BYTE> bytes = Bytes(d);
    EXPECT_EQ(Bytes(Read(bytes)), bytes);
}

TEST(SerializeTest, TheLayoutStartsAsDocumented) {
    const std::vector<BYTE> bytes = Bytes(CSimulationData());
    // Format number 0, "OXSD", version 1, no outline arcs, display snapshot 1.
    const std::vector<BYTE> head = {0, 0, 0, 0, 'O', 'X', 'S', 'D', 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
    ASSERT_GE(bytes.size(), head.size());
    EXPECT_EQ(std::vector<BYTE>(bytes.begin(), bytes.begin() + head.size()), head);
    // An empty set: header 12, outline 4, display 4, snapshots 4, extra 4, labels 4, frame 96,
    // rectangle 16, probe 16.
    EXPECT_EQ(bytes.size(), 12u + 4 + 4 + 4 + 4 + 4 + 96 + 16 + 16);
}

TEST(SerializeTest, AFailedLoadLeavesTheDataAsItWas) {
    std::vector<BYTE> bytes = Bytes(MakeSampleData());
    bytes.pop_back();
    CSimulationData d = MakeSampleData();
    d.m_probeFrequency = 9.0;
    CMemFile file(bytes.data(), bytes.size());
    EXPECT_THROW(ReadOrvex(file, d), CArchiveException);
    EXPECT_EQ(d.m_probeFrequency, 9.0);
    EXPECT_EQ(d.m_snapshots.size(), 2u);
}

TEST(SerializeTest, EveryTruncationRaisesAnArchiveException) {
    const std::vector<BYTE> bytes = Bytes(MakeSampleData());
    for (size_t n = 0; n < bytes.size(); ++n) {
        CMemFile file(bytes.data(), n);
        CSimulationData d;
        EXPECT_THROW(ReadOrvex(file, d), CArchiveException) << "cut at " << n;
    }
}

TEST(SerializeTest, TheMalformedCorpusRaisesArchiveExceptions) {
    const std::filesystem::path folder = std::filesystem::path(ORVEX_SOURCE_DIR) / "tests/data/bad";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".orvex") continue;
        ++files;
        CFile file(entry.path().c_str(), CFile::modeRead);
        CSimulationData d;
        EXPECT_THROW(ReadOrvex(file, d), CArchiveException) << entry.path().filename();
    }
    EXPECT_GE(files, 20);
    // The set they derive from is valid.
    CSimulationData d;
    std::string error;
    EXPECT_TRUE(LoadOrvexFile(std::string(ORVEX_SOURCE_DIR) + "/tests/data/valid-small.orvex", d, error)) << error;
    EXPECT_EQ(d.m_snapshots.size(), 1u);
}

TEST(SerializeTest, LoadingCostsAtMostOneAndAHalfTimesTheFile) {
    // 20000 legs in 200 bundles and 200000 samples: the shape of real data.
    CSimulationData d;
    d.m_snapshots.resize(4);
    for (auto& s : d.m_snapshots) {
        s.m_bundles.resize(50);
        for (auto& b : s.m_bundles)
            for (int i = 0; i < 100; ++i) b.m_rays.emplace_back(CPoint3D(i, 0, 0), CPoint3D(i, -1, 0), i, i + 1.0);
        s.m_samples.assign(50000, 0.5f);
        CSimulationData::SyncSampleCount(s);
    }
    const std::string path = std::string(::testing::TempDir()) + "/memory-" + std::to_string(::getpid()) + ".orvex";
    std::string error;
    ASSERT_TRUE(SaveOrvexFile(path, d, error)) << error;
    d.Empty();
    const double fileSize = static_cast<double>(std::filesystem::file_size(path));

    malloc_trim(0);
    const size_t before = mallinfo2().uordblks;
    CSimulationData loaded;
    ASSERT_TRUE(LoadOrvexFile(path, loaded, error)) << error;
    const size_t after = mallinfo2().uordblks;
    std::filesystem::remove(path);
    // What stays allocated is the data set itself; reading it used a 4 KB buffer.
    EXPECT_LE(static_cast<double>(after - before), 1.5 * fileSize);
    EXPECT_EQ(loaded.m_snapshots[3].m_bundles[49].m_rays.size(), 100u);
}

TEST(SerializeTest, SavingToAnImpossiblePlaceFailsCleanly) {
    std::string error;
    EXPECT_FALSE(SaveOrvexFile("/nonexistent-folder/x.orvex", CSimulationData(), error));
    EXPECT_NE(error.find("/nonexistent-folder/x.orvex"), std::string::npos);
    EXPECT_EQ(error.find('\n'), std::string::npos);
}

}  // namespace
