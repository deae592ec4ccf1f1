// The measurement and export commands as a user runs them: gates, ascan --csv, bscan, animate.
#include <gif_lib.h>
#include <nlohmann/json.hpp>

#include "platform/gdi/CBitmap.h"
#include "platform/gdi/Png.h"

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

TEST_F(MeasureExportCommandsTest, AscanReadoutAddsACaptionLinePerGate) {
    ASSERT_EQ(Run("ascan s.orvex -o plain.png --stamp"), 0) << m_err;
    ASSERT_EQ(Run("ascan s.orvex -o one.png --stamp --gate 5:50:0.01 --readout"), 0) << m_err;
    ASSERT_EQ(Run("ascan s.orvex -o two.png --stamp --gate 5:50:0.01 --gate=20:30 --readout"), 0) << m_err;
    const uint32_t plain = PngSize("plain.png").second, one = PngSize("one.png").second, two = PngSize("two.png").second;
    EXPECT_GT(one, plain);
    EXPECT_EQ(two - one, one - plain) << "one caption line each";
    EXPECT_EQ(Run("ascan s.orvex -o r.png --readout"), 2);
    EXPECT_NE(m_err.find("--readout and --gate go together"), std::string::npos) << m_err;
    EXPECT_EQ(Run("ascan s.orvex -o r.png --gate 1:2"), 2);
    EXPECT_EQ(Run("ascan s.orvex --csv r.csv --gate 1:2 --readout"), 2);
    EXPECT_EQ(Run("ascan s.orvex -o r.png --gate 2:1 --readout"), 2);
    EXPECT_FALSE(Exists("r.png"));
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

// A GIF's frames as 0x00BBGGRR pixels, with their delays.
struct SGifFrames {
    int width = 0, height = 0;
    std::vector<std::vector<uint32_t>> frames;
    std::vector<int> delays;
};

SGifFrames ReadGif(const std::string& path) {
    SGifFrames out;
    int code = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &code);
    if (gif == nullptr) return out;
    if (DGifSlurp(gif) == GIF_OK) {
        out.width = gif->SWidth;
        out.height = gif->SHeight;
        for (int k = 0; k < gif->ImageCount; ++k) {
            const SavedImage& image = gif->SavedImages[k];
            const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
            std::vector<uint32_t> pixels(static_cast<size_t>(out.width) * out.height);
            for (size_t i = 0; i < pixels.size(); ++i) {
                const GifColorType c = map->Colors[image.RasterBits[i]];
                pixels[i] = c.Red | c.Green << 8 | c.Blue << 16;
            }
            out.frames.push_back(pixels);
            GraphicsControlBlock control{};
            DGifSavedExtensionToGCB(gif, k, &control);
            out.delays.push_back(control.DelayTime);
        }
    }
    DGifCloseFile(gif, &code);
    return out;
}

TEST_F(MeasureExportCommandsTest, AnimateWritesTheControlsOwnStepsAsFrames) {
    ASSERT_EQ(Run("animate s.orvex -o a.gif --size 200x150 --fps 10 --progress"), 0) << m_err;
    const SGifFrames gif = ReadGif((m_dir / "a.gif").string());
    EXPECT_EQ(gif.width, 200);
    EXPECT_EQ(gif.height, 150);
    // The load sets the limits from the data (0 to snapshot 0's last ray time); the increment is
    // the stored 0.5: one frame per half unit, the last one not past the end limit.
    ASSERT_GE(gif.frames.size(), 10u);
    for (int delay : gif.delays) EXPECT_EQ(delay, 10);
    EXPECT_NE(m_err.find("orvex animate: 100% (" + std::to_string(gif.frames.size()) + " of "), std::string::npos)
        << m_err;
    // Frame k is the picture the render job draws at time 0.5 k, pixel for pixel.
    for (size_t k : {size_t{0}, size_t{7}, gif.frames.size() - 1}) {
        char time[32];
        std::snprintf(time, sizeof time, "%g", 0.5 * static_cast<double>(k));
        ASSERT_EQ(Run("render s.orvex -o f.png --size 200x150 --plot pulse --time " + std::string(time)), 0) << m_err;
        CBitmap picture;
        ASSERT_TRUE(LoadBitmapPng((m_dir / "f.png").string(), picture));
        size_t differ = 0;
        for (size_t i = 0; i < gif.frames[k].size(); ++i) differ += (picture.GetPixels()[i] & 0xFFFFFF) != gif.frames[k][i];
        EXPECT_EQ(differ, 0u) << "frame " << k;
    }
    EXPECT_NE(gif.frames.front(), gif.frames[7]) << "the pulse moves";

    ASSERT_EQ(Run("animate s.orvex -o b.gif --size 200x150 --plot end --stamp"), 0) << m_err;
    const SGifFrames stamped = ReadGif((m_dir / "b.gif").string());
    EXPECT_EQ(stamped.frames.size(), gif.frames.size());
    EXPECT_GT(stamped.height, 150) << "the caption band";
    EXPECT_EQ(stamped.delays.front(), 20) << "5 frames a second by default";

    struct Row {
        const char* args;
        const char* problem;
    } rows[] = {
        {"animate s.orvex", "missing -o"},
        {"animate s.orvex -o a.png", "cannot write animated PNG"},
        {"animate s.orvex -o a.mp4", "-o needs a file ending in .gif"},
        {"animate s.orvex -o a.gif --fps 0", "--fps needs"},
        {"animate s.orvex -o a.gif --plot full", "--plot needs pulse or end"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Run(row.args), 2) << row.args;
        EXPECT_NE(m_err.find(row.problem), std::string::npos) << row.args << "\n" << m_err;
    }
    EXPECT_EQ(Run("animate missing.orvex -o m.gif"), 1);
    EXPECT_FALSE(Exists("m.gif"));
}

}  // namespace
