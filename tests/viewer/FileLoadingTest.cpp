// Loading simulation export files: the resets, silent failures, emptied data and the time range.
#include "ViewerTestSupport.h"

#include <fstream>

#include "platform/afx/DebugOutput.h"

using namespace viewer_test;

namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

using FileLoadingTest = ViewerTest;

TEST_F(FileLoadingTest, LoadResetsSnapshotLimitsAndTakesTheFilesView) {
    m_ctrl->SetCurrentSnapShot(1);
    m_ctrl->SetRayPlotType(2);
    m_ctrl->SetRayEndTime(7.0);
    LoadData(LoadDataJson("scene.json"));
    EXPECT_EQ(m_ctrl->GetNumberOfSnapShots(), 2);
    EXPECT_EQ(m_ctrl->GetCurrentSnapShot(), 0);
    EXPECT_EQ(m_ctrl->GetPulseAnimateStartLimit(), 0.0);
    EXPECT_EQ(m_ctrl->GetPulseAnimateEndLimit(), 12.0);  // legs up to 12; the open leg counts its start
    EXPECT_EQ(m_ctrl->GetWndLeft(), -5.0f);
    EXPECT_EQ(m_ctrl->GetWndTop(), 45.0f);
    // Plot type and time are the user's; a load keeps them.
    EXPECT_EQ(m_ctrl->GetRayPlotType(), 2);
    EXPECT_EQ(m_ctrl->GetRayEndTime(), 7.0);
    EXPECT_TRUE(m_ctrl->IsNotifyPending());
}

TEST_F(FileLoadingTest, LimitsAreTheTimeRangeTruncatedTowardZero) {
    struct Row { double t0, t1; double lo, hi; } rows[] = {
        {2.7, 48.9, 2.0, 48.0},    // positive times truncate down
        {-3.5, 10.2, -3.0, 10.0},  // a negative start truncates up, toward zero
        {0.0, 0.4, 0.0, 0.0},
    };
    for (const Row& r : rows) {
        CSimulationData data;
        data.m_snapshots.push_back(SnapshotWithLegTimes({{r.t0, (r.t0 + r.t1) / 2}, {(r.t0 + r.t1) / 2, r.t1}}));
        LoadData(data);
        EXPECT_EQ(m_ctrl->GetMinimumRayTime(), r.t0);
        EXPECT_EQ(m_ctrl->GetMaximumRayTime(), r.t1);
        EXPECT_EQ(m_ctrl->GetPulseAnimateStartLimit(), r.lo) << r.t0;
        EXPECT_EQ(m_ctrl->GetPulseAnimateEndLimit(), r.hi) << r.t1;
    }
}

TEST_F(FileLoadingTest, RayTimeRangeFollowsTheCurrentSnapshot) {
    CSimulationData data;
    data.m_snapshots.push_back(SnapshotWithLegTimes({{1.0, 2.0}}));
    data.m_snapshots.push_back(SnapshotWithLegTimes({{5.0, 9.0}}));
    data.m_snapshots.push_back(CSimulationData::stSnapshot{});  // no bundles
    LoadData(data);
    struct Row { LONG snapshot; double lo, hi; } rows[] = {
        {0, 1.0, 2.0},
        {1, 5.0, 9.0},
        {2, 1e100, -1e100},  // a snapshot without bundles keeps the start values
        {3, 0.0, 0.0},       // past the end
        {-1, 0.0, 0.0},      // negative: indexes nothing
    };
    for (const Row& r : rows) {
        m_ctrl->SetCurrentSnapShot(r.snapshot);
        EXPECT_EQ(m_ctrl->GetMinimumRayTime(), r.lo) << r.snapshot;
        EXPECT_EQ(m_ctrl->GetMaximumRayTime(), r.hi) << r.snapshot;
    }
    // Without data both are 0.0.
    m_ctrl->SetFileName(ScratchPath("empty-format.orvex"));
    WriteBytes(ScratchPath("empty-format.orvex"), std::string("\x01\0\0\0", 4));
    m_ctrl->DoFileNameUpdate();
    EXPECT_EQ(m_ctrl->GetMinimumRayTime(), 0.0);
    EXPECT_EQ(m_ctrl->GetMaximumRayTime(), 0.0);
}

// No message box, but one line of debugger output naming the file and what happens to the data.
TEST_F(FileLoadingTest, UnreadableFilesKeepOrEmptyTheDataWithOneTraceLine) {
    const std::string good = WriteOrvex(LoadDataJson("scene.json"), "good.orvex");
    const std::string bytes = ReadBytes(good);
    std::string wrongFormat = bytes;
    wrongFormat[0] = 1;  // format number 1

    struct Row { const char* what; std::string content; bool exists; bool keepsData; } rows[] = {
        {"missing file", "", false, true},                              // cannot be opened: nothing changes
        {"format number 1", wrongFormat, true, false},                  // empties the data
        {"truncated", bytes.substr(0, bytes.size() / 2), true, false},  // a read error empties the data
        {"empty file", "", true, false},
    };
    for (const Row& r : rows) {
        m_ctrl->SetFileName(good);
        ASSERT_EQ(m_ctrl->GetNumberOfSnapShots(), 2);
        m_ctrl->SetCurrentSnapShot(1);
        const std::string path = ScratchPath(std::string("bad-") + std::to_string(&r - rows) + ".orvex");
        std::filesystem::remove(path);
        if (r.exists) WriteBytes(path, r.content);
        CDebugOutputCapture trace;
        m_ctrl->SetFileName(path);
        ASSERT_EQ(trace.GetLines().size(), 1u) << r.what;
        const std::string& line = trace.GetLines()[0];
        EXPECT_EQ(line.rfind("OrvexViewer: ", 0), 0u) << line;
        EXPECT_NE(line.find(r.exists ? path : std::string("file not found")), std::string::npos) << line;
        EXPECT_NE(line.find(r.keepsData ? "the data shown is kept" : "no data is shown"), std::string::npos) << line;
        EXPECT_EQ(m_ctrl->GetNumberOfSnapShots(), r.keepsData ? 2 : 0) << r.what;
        EXPECT_EQ(m_ctrl->GetCurrentSnapShot(), r.keepsData ? 1 : 0) << r.what;
        EXPECT_EQ(m_ctrl->GetPulseAnimateEndLimit(), r.keepsData ? 12.0 : 0.0) << r.what;
    }
    // Clearing the name is not a failure.
    CDebugOutputCapture trace;
    m_ctrl->SetFileName("");
    EXPECT_TRUE(trace.GetLines().empty());
}

TEST_F(FileLoadingTest, DoFileNameUpdateReadsTheSameFileAgain) {
    CSimulationData data;
    data.m_snapshots.push_back(SnapshotWithLegTimes({{1.0, 2.0}}));
    LoadData(data, "reload.orvex");
    data.m_snapshots.push_back(SnapshotWithLegTimes({{1.0, 2.0}}));
    WriteOrvex(data, "reload.orvex");
    EXPECT_EQ(m_ctrl->GetNumberOfSnapShots(), 1);
    m_ctrl->DoFileNameUpdate();
    EXPECT_EQ(m_ctrl->GetNumberOfSnapShots(), 2);
}

TEST_F(FileLoadingTest, NotificationIsAskedForOnlyWithDetection) {
    m_ctrl->SetControlDetectionEnabled(FALSE);
    LoadData(LoadDataJson("scene.json"));
    EXPECT_FALSE(m_ctrl->IsNotifyPending());
    m_ctrl->SetControlDetectionEnabled(TRUE);
    m_ctrl->DoFileNameUpdate();
    EXPECT_TRUE(m_ctrl->IsNotifyPending());

    // Printing leaves the request for the screen; the next screen draw takes it.
    {
        CCanvas printer(100, 80, DT_RASPRINTER);
        m_ctrl->Draw(DVASPECT_CONTENT, &printer.dc, CRect(0, 0, 100, 80));
    }
    EXPECT_TRUE(m_ctrl->IsNotifyPending());
    CCanvas screen(100, 80);
    m_ctrl->Draw(DVASPECT_CONTENT, &screen.dc, CRect(0, 0, 100, 80));
    EXPECT_FALSE(m_ctrl->IsNotifyPending());
}
