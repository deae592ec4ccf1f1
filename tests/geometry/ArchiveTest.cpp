// CFile, CMemFile and CArchive: values round-trip little-endian, short streams raise endOfFile,
// failures to open report without throwing.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

#include "platform/afx/CArchive.h"
#include "platform/afx/CFile.h"

namespace {

std::string TempPath(const char* name) {
    return std::string(::testing::TempDir()) + "/" + name + "-" + std::to_string(::getpid());
}

TEST(ArchiveTest, ValuesRoundTripLittleEndian) {
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << BYTE(0xAB) << WORD(0x1234) << LONG(-2) << DWORD(0xDEADBEEF) << 1.5f << -0.25 << LONGLONG(-1);
        ar.Close();
    }
    const auto& bytes = file.GetData();
    ASSERT_EQ(bytes.size(), 1u + 2 + 4 + 4 + 4 + 8 + 8);
    // Little-endian regardless of the host: WORD 0x1234 is 34 12.
    EXPECT_EQ(bytes[1], 0x34);
    EXPECT_EQ(bytes[2], 0x12);
    EXPECT_EQ(bytes[3], 0xFE);  // LONG -2

    file.SeekToBegin();
    CArchive in(&file, CArchive::load);
    BYTE b = 0;
    WORD w = 0;
    LONG l = 0;
    DWORD d = 0;
    float f = 0;
    double x = 0;
    LONGLONG ll = 0;
    in >> b >> w >> l >> d >> f >> x >> ll;
    EXPECT_EQ(b, 0xAB);
    EXPECT_EQ(w, 0x1234);
    EXPECT_EQ(l, -2);
    EXPECT_EQ(d, 0xDEADBEEFu);
    EXPECT_EQ(f, 1.5f);
    EXPECT_EQ(x, -0.25);
    EXPECT_EQ(ll, -1);
    EXPECT_EQ(in.GetBytesRemaining(), 0u);
}

TEST(ArchiveTest, ShortStreamRaisesEndOfFile) {
    const BYTE three[3] = {1, 2, 3};
    CMemFile file(three, sizeof three);
    CArchive ar(&file, CArchive::load);
    DWORD v = 0;
    try {
        ar >> v;
        FAIL() << "a 4-byte read from 3 bytes must throw";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
    }
}

TEST(ArchiveTest, ReadReturnsFewerBytesAtTheEndWithoutThrowing) {
    const BYTE five[5] = {1, 2, 3, 4, 5};
    CMemFile file(five, sizeof five);
    CArchive ar(&file, CArchive::load);
    BYTE buf[8] = {};
    EXPECT_EQ(ar.Read(buf, 8), 5u);
    EXPECT_EQ(buf[4], 5);
    EXPECT_EQ(ar.Read(buf, 8), 0u);
}

TEST(ArchiveTest, WrongDirectionIsRefused) {
    CMemFile file;
    CArchive store(&file, CArchive::store);
    DWORD v = 0;
    EXPECT_THROW(store >> v, CArchiveException);
    const BYTE one[4] = {};
    CMemFile input(one, sizeof one);
    CArchive load(&input, CArchive::load);
    EXPECT_THROW(load << v, CArchiveException);
}

TEST(ArchiveTest, BufferBoundariesAndLargeBlocksOnARealFile) {
    const std::string path = TempPath("archive");
    // Sizes around the 128-byte minimum buffer, and a block far larger than it.
    std::vector<BYTE> big(100000);
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<BYTE>(i * 7);
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store, 128);
        for (DWORD i = 0; i < 100; ++i) ar << i;
        ar.Write(big.data(), static_cast<UINT>(big.size()));
        ar << 3.25;
        ar.Close();
        file.Close();
    }
    CFile file(path.c_str(), CFile::modeRead);
    EXPECT_EQ(file.GetLength(), 400u + big.size() + 8);
    CArchive ar(&file, CArchive::load, 128);
    EXPECT_EQ(ar.GetBytesRemaining(), 400u + big.size() + 8);
    for (DWORD i = 0; i < 100; ++i) {
        DWORD v = 0;
        ar >> v;
        ASSERT_EQ(v, i);
    }
    std::vector<BYTE> back(big.size());
    ar.EnsureRead(back.data(), static_cast<UINT>(back.size()));
    EXPECT_EQ(back, big);
    EXPECT_EQ(ar.GetBytesRemaining(), 8u);
    double d = 0;
    ar >> d;
    EXPECT_EQ(d, 3.25);
    std::remove(path.c_str());
}

TEST(ArchiveTest, OpenReportsFailureWithoutThrowing) {
    CFile file;
    CFileException error;
    const std::string missing = TempPath("no-such-folder") + "/x.orvex";
    EXPECT_FALSE(file.Open(missing.c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_NE(std::string(error.what()).find(missing), std::string::npos);
    // Without a CFileException the failure is still only the return value.
    EXPECT_FALSE(file.Open(missing.c_str(), CFile::modeRead));
    // A folder is no file.
    EXPECT_FALSE(file.Open(::testing::TempDir().c_str(), CFile::modeRead, &error));
    // The constructor that opens throws instead.
    EXPECT_THROW(CFile(missing.c_str(), CFile::modeRead), CFileException);
}

}  // namespace
