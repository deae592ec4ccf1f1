// The B-scan: its FFT and envelope against known answers, its resampling, its colours, and a
// picture of a synthetic file whose echoes are placed by construction.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "geometry/CSimulationData.h"
#include "geometry/OrvexFile.h"
#include "host/BscanEnvelope.h"
#include "host/BscanPicture.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CSelectObject.h"
#include "platform/gdi/Png.h"
#include "tests/host/HostTestSupport.h"

namespace {

using Complex = std::complex<double>;

TEST(BscanFft, AgreesWithAPlainDftAndReturnsOnTheWayBack) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    for (size_t n : {1u, 2u, 8u, 64u}) {
        std::vector<Complex> data(n);
        for (auto& v : data) v = Complex(value(random), value(random));
        std::vector<Complex> fast = data;
        TransformFft(fast, false);
        for (size_t k = 0; k < n; ++k) {
            Complex sum = 0.0;
            for (size_t j = 0; j < n; ++j)
                sum += data[j] * std::polar(1.0, -2.0 * std::numbers::pi * double(j * k) / double(n));
            ASSERT_NEAR(std::abs(fast[k] - sum), 0.0, 1e-9) << "n " << n << " k " << k;
        }
        TransformFft(fast, true);
        for (size_t j = 0; j < n; ++j) ASSERT_NEAR(std::abs(fast[j] - data[j]), 0.0, 1e-12);
    }
}

TEST(BscanEnvelope, OfAGaussianPulseIsItsGaussian) {
    // A 5-cycle-per-unit carrier under a Gaussian of width 0.3 around t = 5: the envelope is the
    // Gaussian itself, to the accuracy of the carrier being much faster than the Gaussian.
    const double dt = 0.01;
    std::vector<float> pulse(1000);
    std::vector<double> gauss(pulse.size());
    for (size_t i = 0; i < pulse.size(); ++i) {
        const double t = i * dt;
        gauss[i] = std::exp(-std::pow((t - 5.0) / 0.3, 2.0));
        pulse[i] = static_cast<float>(-0.8 * gauss[i] * std::cos(2.0 * std::numbers::pi * 5.0 * t));
    }
    const std::vector<float> envelope = ComputeEnvelope(pulse);
    ASSERT_EQ(envelope.size(), pulse.size());
    double worst = 0.0;
    for (size_t i = 0; i < pulse.size(); ++i) worst = std::max(worst, std::fabs(envelope[i] - 0.8 * gauss[i]));
    EXPECT_LT(worst, 2e-3);
    EXPECT_NEAR(envelope[500], 0.8, 2e-3) << "the peak, where the carrier itself may be anywhere";
    EXPECT_TRUE(ComputeEnvelope({}).empty());
}

TEST(BscanEnvelope, InBlocksAgreesWithOneTransform) {
    // Echoes of several widths and a little noise over 40000 samples, cut into blocks of 4096
    // with margins of 512 (blocks start every 2560 samples), against one transform of the whole.
    std::mt19937 random(3);
    std::normal_distribution<double> noise(0.0, 0.01);
    std::vector<float> trace(40000);
    for (size_t i = 0; i < trace.size(); ++i) {
        double v = noise(random);
        for (double centre : {300.0, 2560.0, 5119.0, 20000.0, 39900.0})
            v += std::exp(-std::pow((i - centre) / 40.0, 2.0)) * std::cos(0.7 * i);
        trace[i] = static_cast<float>(v);
    }
    const std::vector<float> whole = ComputeEnvelope(trace, 1u << 20, 4096);
    const std::vector<float> blocks = ComputeEnvelope(trace, 4096, 512);
    ASSERT_EQ(blocks.size(), whole.size());
    double worst = 0.0;
    for (size_t i = 0; i < trace.size(); ++i) worst = std::max(worst, static_cast<double>(std::fabs(blocks[i] - whole[i])));
    EXPECT_LT(worst, 5e-3) << "of echoes of height 1";
    EXPECT_NEAR(blocks[20000], 1.0, 0.05);
}

TEST(BscanResample, KeepsTheLargestMagnitudeOfEachRow) {
    // Ten samples at 0.1 into two rows of 0.5: the -0.9 spike is not lost between rows.
    const std::vector<float> samples = {0.0f, 0.1f, -0.9f, 0.2f, 0.0f, 0.0f, 0.3f, 0.0f, 0.0f, 0.0f};
    EXPECT_EQ(ResampleTrace(samples, 0.1, 0.0, 1.0, 2), (std::vector<float>{-0.9f, 0.3f}));
    // Rows narrower than a sample take the nearest one (the row 0.5..1 is nearer to time 1 than
    // to time 0); rows nearer to a time past the last sample read 0.
    EXPECT_EQ(ResampleTrace({1.0f, 2.0f}, 1.0, 0.0, 4.0, 8),
              (std::vector<float>{1.0f, 2.0f, 2.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(ResampleTrace({1.0f}, 0.0, 0.0, 1.0, 2), (std::vector<float>{0.0f, 0.0f})) << "no resolution";
}

double Brightness(COLORREF c) { return 0.299 * GetRValue(c) + 0.587 * GetGValue(c) + 0.114 * GetBValue(c); }

TEST(BscanColour, BothMapsRiseFromTheirEnds) {
    using EMap = SBscanOptions::EColourMap;
    EXPECT_EQ(BscanColour(EMap::Gray, 0.0), RGB(0, 0, 0));
    EXPECT_EQ(BscanColour(EMap::Gray, 1.0), RGB(255, 255, 255));
    EXPECT_EQ(BscanColour(EMap::Viridis, 0.0), RGB(68, 1, 84));
    EXPECT_EQ(BscanColour(EMap::Viridis, 1.0), RGB(253, 231, 37));
    EXPECT_EQ(BscanColour(EMap::Gray, -3.0), BscanColour(EMap::Gray, 0.0)) << "clamped";
    EXPECT_EQ(BscanColour(EMap::Gray, std::nan("")), BscanColour(EMap::Gray, 0.0));
    for (EMap map : {EMap::Gray, EMap::Viridis})
        for (int i = 1; i <= 100; ++i)
            ASSERT_GT(Brightness(BscanColour(map, i / 100.0)), Brightness(BscanColour(map, (i - 1) / 100.0))) << i;
}

class BscanPictureTest : public HostTest {};

// Three snapshots with a single positive echo each, at 2, 5 and 8 (times 0 to 10, window 0 to 10).
TEST_F(BscanPictureTest, EchoesLieWhereTheyWerePlacedUnderTicksAndABar) {
    CSimulationData data;
    for (int k = 0; k < 3; ++k) {
        CSimulationData::stSnapshot s;
        s.m_windowStart = 0.0;
        s.m_windowLength = 10.0;
        s.m_yMax = 1.0;
        s.m_yMin = -1.0;
        s.m_sampleInterval = s.m_windowSampleInterval = 0.0625;
        s.m_xLabel = "Time (us)";
        s.m_samples.assign(160, 0.0f);
        s.m_samples[static_cast<size_t>((2.0 + 3.0 * k) / 0.0625)] = 1.0f;
        CSimulationData::SyncSampleCount(s);
        data.m_snapshots.push_back(s);
    }
    std::string error;
    ASSERT_TRUE(SaveOrvexFile(PathOf("b.orvex"), data, error)) << error;
    CAscanTraceSource source;
    ASSERT_TRUE(source.Open(PathOf("b.orvex"), error)) << error;

    SBscanOptions options;
    options.width = 500;
    options.height = 400;
    std::vector<size_t> progress;
    ASSERT_TRUE(WriteBscan(source.GetViewer().get(), options, PathOf("b.png"), error,
                           [&](size_t done, size_t) { progress.push_back(done); }))
        << error;
    EXPECT_EQ(progress, (std::vector<size_t>{1, 2, 3}));
    CBitmap picture;
    ASSERT_TRUE(LoadBitmapPng(PathOf("b.png"), picture));
    ASSERT_EQ(picture.GetWidth(), 500);
    ASSERT_EQ(picture.GetHeight(), 400);
    const uint32_t* p = picture.GetPixels();
    auto at = [&](int x, int y) { return static_cast<COLORREF>(p[static_cast<size_t>(y) * 500 + x] & 0xFFFFFF); };

    const SBscanLayout layout = LayOutBscan(500, 400);
    const CRect& I = layout.image;
    const double rowsPerUnit = I.Height() / 10.0;
    for (int k = 0; k < 3; ++k) {
        const int x = I.left + (2 * k + 1) * I.Width() / 6;  // the middle of column k
        const int echoRow = I.top + static_cast<int>((2.0 + 3.0 * k) * rowsPerUnit);
        EXPECT_EQ(at(x, echoRow), RGB(255, 255, 255)) << "the echo of snapshot " << k;
        // Away from the echo the signal is 0: the middle of the symmetric grey scale.
        EXPECT_EQ(at(x, echoRow + 20), RGB(128, 128, 128)) << k;
        // The other snapshots have no echo at this time.
        EXPECT_EQ(at(I.left + (2 * ((k + 1) % 3) + 1) * I.Width() / 6, echoRow), RGB(128, 128, 128)) << k;
    }
    // The colour bar runs from white at the top to black at the bottom, never darker going up.
    const CRect& B = layout.colourBar;
    const int bx = (B.left + B.right) / 2;
    EXPECT_GT(Brightness(at(bx, B.top + 1)), 250.0);
    EXPECT_LT(Brightness(at(bx, B.bottom - 1)), 5.0);
    for (int y = B.top + 2; y < B.bottom; ++y) ASSERT_LE(Brightness(at(bx, y)), Brightness(at(bx, y - 1))) << y;
    // Tick marks stick out left of the time axis and of the bar, and below the snapshot axis.
    int timeTicks = 0, barTicks = 0, snapshotTicks = 0;
    for (int y = I.top; y <= I.bottom; ++y) {
        timeTicks += at(I.left - 3, y) == 0;
        barTicks += at(B.left - 3, y) == 0;
    }
    for (int x = I.left; x <= I.right; ++x) snapshotTicks += at(x, I.bottom + 3) == 0;
    EXPECT_GE(timeTicks, 5);
    EXPECT_GE(barTicks, 5);
    EXPECT_EQ(snapshotTicks, 3) << "one tick per snapshot, whole numbers only";

    // The viewer's snapshot is given back; a wrong extension writes nothing.
    EXPECT_FALSE(WriteBscan(source.GetViewer().get(), options, PathOf("b.gif"), error));
    EXPECT_FALSE(std::filesystem::exists(PathOf("b.gif")));
}

}  // namespace
