// The page of `orvex ascan`: what it refuses before writing anything, and that the snapshot and the
// range options reach the picture in the order the options promise.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "HostTestSupport.h"
#include "geometry/OrvexFile.h"
#include "host/AscanJob.h"
#include "simulation/Generator.h"

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

class AscanDocumentJobTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        stSimulationOptions options;
        options.m_rays = 4;
        options.m_snapshots = 3;
        options.m_samples = 1000;
        CSimulationData data;
        GenerateSimulation(options, data);
        std::string error;
        ASSERT_TRUE(SaveOrvexFile(PathOf("s.orvex"), data, error)) << error;
    }
    // Runs the job into `name` and returns the picture's bytes ("" when it failed).
    std::string Picture(SAscanOptions options, const std::string& name) {
        options.inputPath = PathOf("s.orvex");
        options.outputPath = PathOf(name);
        std::string error;
        if (!RunAscanJob(options, error)) {
            ADD_FAILURE() << error;
            return "";
        }
        return ReadAll(options.outputPath);
    }
};

TEST_F(AscanDocumentJobTest, FilesAndSnapshotsItCannotUseWriteNoPicture) {
    WriteFile("text.orvex", "not a simulation");
    struct Row {
        const char* what;
        const char* file;
        std::optional<LONG> snapshot;
        const char* message;  // part of the one-line error
    } rows[] = {
        {"missing file", "none.orvex", std::nullopt, "none.orvex"},
        {"not a simulation", "text.orvex", std::nullopt, "text.orvex"},
        // The file has snapshots 0 to 2.
        {"snapshot past the end", "s.orvex", 3, "no snapshot 3 (the file has 3, numbered from 0)"},
        {"negative snapshot", "s.orvex", -1, "no snapshot -1"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SAscanOptions options;
        options.inputPath = PathOf(row.file);
        options.outputPath = PathOf("out.png");
        options.snapshot = row.snapshot;
        std::string error;
        EXPECT_FALSE(RunAscanJob(options, error));
        EXPECT_NE(error.find(row.message), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(options.outputPath));
    }
}

TEST_F(AscanDocumentJobTest, TheSnapshotAndTheRangesReachThePicture) {
    SAscanOptions plain;
    const std::string first = Picture(plain, "plain.png");
    ASSERT_FALSE(first.empty());

    // Snapshot 0 given explicitly is the same picture as none given.
    SAscanOptions zero;
    zero.snapshot = 0;
    EXPECT_EQ(Picture(zero, "zero.png"), first);
    // Another probe position is another A-scan.
    SAscanOptions last;
    last.snapshot = 2;
    EXPECT_NE(Picture(last, "last.png"), first);

    // The ranges hold whichever way the link was made (with --snapshot it is made after opening).
    SAscanOptions zoomed;
    zoomed.x = SAscanOptions::SRange{20.0f, 30.0f};
    zoomed.y = SAscanOptions::SRange{-0.5f, 0.5f};
    const std::string window = Picture(zoomed, "zoomed.png");
    EXPECT_NE(window, first);
    zoomed.snapshot = 0;
    EXPECT_EQ(Picture(zoomed, "zoomed0.png"), window);

    // A window after the display window's end: the upper bound is written first.
    SAscanOptions late;
    late.x = SAscanOptions::SRange{60.0f, 80.0f};
    late.snapshot = 0;
    const std::string lateWithSnapshot = Picture(late, "late0.png");
    late.snapshot.reset();
    EXPECT_EQ(Picture(late, "late.png"), lateWithSnapshot);
    EXPECT_NE(lateWithSnapshot, first);

    // Only the y axis given: x keeps the display window, so the picture differs from the plain one
    // only by the amplitude scale.
    SAscanOptions yOnly;
    yOnly.y = SAscanOptions::SRange{-0.25f, 0.25f};
    EXPECT_NE(Picture(yOnly, "y.png"), first);
    EXPECT_FALSE(std::filesystem::exists(PathOf("y.png.partial")));
}

}  // namespace
