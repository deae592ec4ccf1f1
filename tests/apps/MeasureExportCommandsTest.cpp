// The measurement and export commands as a user runs them: gates, ascan --csv, bscan, animate.
#include <nlohmann/json.hpp>

#include "CliTestSupport.h"

namespace {

class MeasureExportCommandsTest : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        ASSERT_EQ(Run("simulate --snapshots 4 --rays 4 --samples 512 -o s.orvex"), 0) << m_err;
    }
};

TEST_F(MeasureExportCommandsTest, GatesUsageErrors) {
    struct Row {
        const char* args;
        const char* problem;
    } rows[] = {
        {"gates s.orvex", "missing --gate"},
        {"gates --gate 1:2", "missing FILE.orvex"},
        {"gates s.orvex --gate 5:1", "--gate needs START:END"},
        {"gates s.orvex --gate 1:5:-1", "--gate needs START:END"},
        {"gates s.orvex --gate", "--gate needs a value"},
        {"gates s.orvex --gate 1:5 --snapshot last", "--snapshot needs"},
        {"gates s.orvex --gate 1:5 --frobnicate", "unknown option"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Run(row.args), 2) << row.args;
        EXPECT_NE(m_err.find(row.problem), std::string::npos) << row.args << "\n" << m_err;
    }
    EXPECT_EQ(Run("gates s.orvex --gate 1:5 --snapshot 4"), 1);
    EXPECT_NE(m_err.find("no snapshot 4 (the file has 4, numbered from 0)"), std::string::npos) << m_err;
    EXPECT_EQ(Run("gates missing.orvex --gate 1:5"), 1);
    EXPECT_TRUE(m_out.empty());
}

TEST_F(MeasureExportCommandsTest, GatesJsonHasAReadingPerGateAndSnapshot) {
    ASSERT_EQ(Run("gates s.orvex --gate 5:50:0.01 --gate=100:200 --snapshot all --json --progress"), 0) << m_err;
    const auto doc = nlohmann::json::parse(m_out);
    ASSERT_EQ(doc["gates"].size(), 2u);
    EXPECT_EQ(doc["gates"][1]["name"], "Gate 2");
    ASSERT_EQ(doc["readings"].size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        const auto& r = doc["readings"][i];
        EXPECT_EQ(r["snapshot"], static_cast<int>(i / 2));
        if (i % 2 == 0) {
            // The echo lies inside 5..50: a peak, its time inside the gate, a flank no later.
            ASSERT_TRUE(r["peak"].is_number());
            EXPECT_GT(r["peak"].get<double>(), 0.01);
            EXPECT_EQ(std::fabs(r["peakSigned"].get<double>()), r["peak"].get<double>());
            EXPECT_GE(r["peakTime"].get<double>(), 5.0);
            EXPECT_LE(r["peakTime"].get<double>(), 50.0);
            ASSERT_TRUE(r["flankTime"].is_number());
            EXPECT_LE(r["flankTime"].get<double>(), r["peakTime"].get<double>());
        } else {
            // 100..200 lies after the A-scan's end.
            EXPECT_EQ(r["samples"], 0);
            EXPECT_TRUE(r["peak"].is_null());
        }
    }
    EXPECT_NE(m_err.find("orvex gates: 100% (4 of 4 snapshots)"), std::string::npos) << m_err;

    // Without --progress a small file reports nothing; the table has a header and one row.
    ASSERT_EQ(Run("gates s.orvex --gate 5:50"), 0) << m_err;
    EXPECT_TRUE(m_err.empty()) << m_err;
    EXPECT_EQ(m_out.rfind("snapshot  gate", 0), 0u) << m_out;
    EXPECT_EQ(std::count(m_out.begin(), m_out.end(), '\n'), 2);
}

TEST_F(MeasureExportCommandsTest, AscanCsvAloneOrBesideThePicture) {
    ASSERT_EQ(Run("ascan s.orvex --csv all.csv --snapshot all"), 0) << m_err;
    const std::string all = Slurp("all.csv");
    EXPECT_EQ(all.rfind("Time (us),snapshot 0,snapshot 1,snapshot 2,snapshot 3\n", 0), 0u) << all.substr(0, 80);
    ASSERT_EQ(Run("ascan s.orvex -o one.png --csv one.csv --snapshot 2"), 0) << m_err;
    EXPECT_EQ(PngSize("one.png"), (std::pair<uint32_t, uint32_t>{600, 250}));
    std::istringstream one(Slurp("one.csv")), every(all);
    std::string a, b;
    std::getline(one, a);
    EXPECT_EQ(a, "Time (us),snapshot 2");
    std::getline(every, b);
    size_t rows = 0;
    // Column 2 of the whole export is the one-snapshot export, row for row.
    while (std::getline(one, a) && std::getline(every, b)) {
        ++rows;
        std::vector<std::string> cells;
        std::stringstream split(b);
        for (std::string c; std::getline(split, c, ',');) cells.push_back(c);
        ASSERT_EQ(cells.size(), 5u);
        ASSERT_EQ(a, cells[0] + "," + cells[3]);
    }
    EXPECT_GT(rows, 512u);

    struct Row {
        const char* args;
        const char* problem;
    } rows2[] = {
        {"ascan s.orvex --csv out.txt", "--csv needs a file ending in .csv"},
        {"ascan s.orvex -o p.png --csv c.csv --snapshot all", "--snapshot all is for --csv without -o"},
        {"ascan s.orvex -o p.png --snapshot all", "--snapshot all is for --csv"},
        {"ascan s.orvex --csv c.csv --snapshot -1", "--snapshot needs"},
    };
    for (const Row& row : rows2) {
        EXPECT_EQ(Run(row.args), 2) << row.args;
        EXPECT_NE(m_err.find(row.problem), std::string::npos) << row.args << "\n" << m_err;
    }
    EXPECT_EQ(Run("ascan s.orvex --csv c.csv --snapshot 9"), 1);
    EXPECT_FALSE(Exists("c.csv"));
}

TEST_F(MeasureExportCommandsTest, BscanWritesEachFormatAtItsSize) {
    ASSERT_EQ(Run("bscan s.orvex -o b.png --size 640x360 --colormap viridis --envelope --progress"), 0) << m_err;
    EXPECT_EQ(PngSize("b.png"), (std::pair<uint32_t, uint32_t>{640, 360}));
    EXPECT_NE(m_err.find("orvex bscan: 100% (4 of 4 snapshots)"), std::string::npos) << m_err;
    ASSERT_EQ(Run("bscan s.orvex -o b.pdf --x 10:30"), 0) << m_err;
    EXPECT_EQ(Bytes("b.pdf").rfind("%PDF", 0), 0u);
    ASSERT_EQ(Run("bscan s.orvex -o b.svg"), 0) << m_err;
    const std::string svg = Bytes("b.svg");
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(svg.find("<image"), std::string::npos) << "the image travels as one picture";

    struct Row {
        const char* args;
        const char* problem;
    } rows[] = {
        {"bscan s.orvex", "missing -o"},
        {"bscan s.orvex -o b.gif", "-o needs a file ending in .png, .pdf or .svg"},
        {"bscan s.orvex -o b.png --colormap jet", "--colormap needs gray or viridis"},
        {"bscan s.orvex -o b.png --x 5:5", "--x needs MIN:MAX"},
        {"bscan s.orvex -o b.png --size 0x10", "--size needs WxH"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Run(row.args), 2) << row.args;
        EXPECT_NE(m_err.find(row.problem), std::string::npos) << row.args << "\n" << m_err;
    }
    EXPECT_EQ(Run("bscan missing.orvex -o m.png"), 1);
    EXPECT_FALSE(Exists("m.png"));
}

}  // namespace
