#include "host/BscanPicture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "host/BscanEnvelope.h"
#include "host/DispatchCalls.h"
#include "lineplot/AxisDrawing.h"
#include "platform/base/SafeFile.h"
#include "platform/com/Variant.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CDCStateSaver.h"
#include "platform/gdi/CMetaFileDC.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/CSelectObject.h"
#include "platform/gdi/CairoPlayback.h"
#include "platform/gdi/Png.h"
#include "platform/gdi/Recording.h"

namespace {

// Margins: room for the time axis on the left, the snapshot axis below, and on the right the
// colour bar with its numbers and title in the gap before it (the axis routines' left-hand
// layout, as on the time axis).
constexpr int kLeftMargin = 70, kTopMargin = 20, kRightMargin = 110, kBottomMargin = 55;
constexpr int kBarGap = 70, kBarWidth = 20;
constexpr COLORREF kBackground = 0xFFFFFF;
constexpr const char* kSnapshotTitle = "Snapshot";
constexpr const char* kAmplitudeTitle = "Amplitude";
constexpr const char* kEnvelopeTitle = "Envelope";

// Viridis at nine even steps, interpolated linearly between them.
constexpr unsigned char kViridis[9][3] = {{68, 1, 84},    {71, 44, 122},  {59, 82, 139},
                                          {44, 114, 142}, {33, 145, 140}, {39, 173, 129},
                                          {92, 200, 99},  {170, 220, 50}, {253, 231, 37}};

bool GetLong(IDispatch* viewer, const char* name, LONG& value, std::string& error) {
    VARIANT v;
    VariantInit(&v);
    if (!InvokeByName(viewer, name, DISPATCH_PROPERTYGET, {}, &v, error)) return false;
    const bool ok = v.vt == VT_I4;
    if (ok) value = v.lVal;
    else error = std::string(name) + ": not a whole number";
    VariantClear(&v);
    return ok;
}

bool PutLong(IDispatch* viewer, const char* name, LONG value, std::string& error) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return PutPropertyByName(viewer, name, v, error);
}

void FrameRect(CDC& dc, const CRect& r) {
    dc.MoveTo(r.left, r.top);
    dc.LineTo(r.left, r.bottom);
    dc.LineTo(r.right, r.bottom);
    dc.LineTo(r.right, r.top);
    dc.LineTo(r.left, r.top);
}

// The envelope of the part of a trace the window shows, with a margin on each side so that the
// cut does not reach into the picture; the cost follows the window, not the whole trace. Samples
// outside the part read 0 (the picture does not show them).
std::vector<float> WindowEnvelope(const SAscanTrace& trace, double timeMin, double timeMax) {
    const double n = static_cast<double>(trace.samples.size());
    if (!(trace.resolution > 0.0) || n == 0.0) return trace.samples;
    const double width = (timeMax - timeMin) / trace.resolution;
    const double margin = std::max(64.0, width / 8.0);
    const size_t first = static_cast<size_t>(std::clamp(std::floor(timeMin / trace.resolution - margin), 0.0, n));
    const size_t last = static_cast<size_t>(std::clamp(std::ceil(timeMax / trace.resolution + margin), 0.0, n));
    std::vector<float> out(trace.samples.size(), 0.0f);
    if (first >= last) return out;
    const std::vector<float> part(trace.samples.begin() + first, trace.samples.begin() + last);
    const std::vector<float> envelope = ComputeEnvelope(part);
    std::copy(envelope.begin(), envelope.end(), out.begin() + first);
    return out;
}

}  // namespace

SBscanLayout LayOutBscan(int width, int height) {
    SBscanLayout layout;
    const int imageRight = std::max(kLeftMargin + 1, width - kRightMargin);
    const int bottom = std::max(kTopMargin + 1, height - kBottomMargin);
    layout.image = CRect(kLeftMargin, kTopMargin, imageRight, bottom);
    layout.colourBar = CRect(imageRight + kBarGap, kTopMargin, imageRight + kBarGap + kBarWidth, bottom);
    return layout;
}

COLORREF BscanColour(SBscanOptions::EColourMap map, double fraction) {
    if (!(fraction > 0.0)) fraction = 0.0;  // NaN too
    if (fraction > 1.0) fraction = 1.0;
    if (map == SBscanOptions::EColourMap::Gray) {
        const int g = static_cast<int>(fraction * 255.0 + 0.5);
        return RGB(g, g, g);
    }
    const double at = fraction * 8.0;
    const int i = std::min(7, static_cast<int>(at));
    const double f = at - i;
    int c[3];
    for (int k = 0; k < 3; ++k) c[k] = static_cast<int>(kViridis[i][k] + f * (kViridis[i + 1][k] - kViridis[i][k]) + 0.5);
    return RGB(c[0], c[1], c[2]);
}

std::vector<float> ResampleTrace(const std::vector<float>& samples, double resolution, double timeMin, double timeMax,
                                 int rows) {
    std::vector<float> out(static_cast<size_t>(std::max(rows, 0)), 0.0f);
    if (rows <= 0 || !(resolution > 0.0) || samples.empty() || !(timeMax > timeMin)) return out;
    const double n = static_cast<double>(samples.size());
    const double rowSpan = (timeMax - timeMin) / rows;
    for (int y = 0; y < rows; ++y) {
        const double t0 = timeMin + y * rowSpan, t1 = t0 + rowSpan;
        const double first = std::clamp(std::ceil(t0 / resolution), 0.0, n);
        const double last = std::clamp(std::ceil(t1 / resolution), 0.0, n);
        if (first < last) {
            float best = 0.0f;
            for (size_t i = static_cast<size_t>(first); i < static_cast<size_t>(last); ++i)
                if (std::fabs(samples[i]) > std::fabs(best)) best = samples[i];
            out[y] = best;
        } else {
            const double nearest = std::floor((t0 + t1) / 2.0 / resolution + 0.5);
            if (nearest >= 0.0 && nearest < n) out[y] = samples[static_cast<size_t>(nearest)];
        }
    }
    return out;
}

bool BuildBscanImage(IDispatch* viewer, const SBscanOptions& options, SBscanImage& image, std::string& error,
                     const AscanProgress& progress) {
    LONG count = 0, current = 0;
    if (!GetLong(viewer, "NumberOfSnapShots", count, error) || !GetLong(viewer, "CurrentSnapShot", current, error))
        return false;
    if (count <= 0) {
        error = "the viewer has no snapshots";
        return false;
    }
    const SBscanLayout layout = LayOutBscan(options.width, options.height);
    image = SBscanImage();
    image.rows = layout.image.Height();
    double peak = 0.0;
    bool ok = true;
    for (LONG k = 0; ok && k < count; ++k) {
        SAscanTrace trace;
        ok = PutLong(viewer, "CurrentSnapShot", k, error) && ReadViewerAscan(viewer, trace, error);
        if (!ok) {
            error = "snapshot " + std::to_string(k) + ": " + error;
            break;
        }
        if (k == 0) {
            image.timeLabel = trace.xLabel;
            if (options.x) {
                image.timeMin = options.x->min;
                image.timeMax = options.x->max;
            } else if (trace.displayEnd > trace.displayStart) {
                image.timeMin = trace.displayStart;
                image.timeMax = trace.displayEnd;
            } else {
                image.timeMin = 0.0;
                image.timeMax = trace.TimeOf(trace.samples.size());
            }
            if (!(image.timeMax > image.timeMin)) image.timeMax = image.timeMin + 1.0;
        }
        if (options.envelope) trace.samples = WindowEnvelope(trace, image.timeMin, image.timeMax);
        image.columns.push_back(ResampleTrace(trace.samples, trace.resolution, image.timeMin, image.timeMax, image.rows));
        image.snapshots.push_back(k);
        for (float v : image.columns.back()) peak = std::max(peak, static_cast<double>(std::fabs(v)));
        if (progress) progress(static_cast<size_t>(k) + 1, static_cast<size_t>(count));
    }
    std::string ignored;
    PutLong(viewer, "CurrentSnapShot", current, ignored);
    if (!ok) return false;
    // The scale follows the data, symmetric about 0 for the signal: a quiet file still shows.
    if (!(peak > 0.0)) peak = 1.0;
    image.valueMax = peak;
    image.valueMin = options.envelope ? 0.0 : -peak;
    return true;
}

void DrawBscan(CDC& dc, const SBscanOptions& options, const SBscanImage& image) {
    const SBscanLayout layout = LayOutBscan(options.width, options.height);
    const CRect& I = layout.image;
    const CRect& B = layout.colourBar;
    const int columns = static_cast<int>(image.columns.size());
    const double span = image.valueMax - image.valueMin;
    auto fraction = [&](double v) { return span > 0.0 ? (v - image.valueMin) / span : 0.0; };

    // The image and the bar as pixels in a bitmap of their own, copied in one call, so a vector
    // file carries them as one picture.
    CBitmap pixels;
    const int w = options.width, h = options.height;
    if (pixels.CreateBitmap(w, h, 1, 32, nullptr)) {
        uint32_t* p = pixels.GetPixels();
        std::fill(p, p + static_cast<size_t>(w) * h, kBackground);
        for (int x = I.left; x < I.right && x < w && columns > 0; ++x) {
            const int c = std::min(columns - 1, (x - I.left) * columns / std::max(1, I.Width()));
            const std::vector<float>& column = image.columns[c];
            for (int y = I.top; y < I.bottom && y < h; ++y)
                p[static_cast<size_t>(y) * w + x] = BscanColour(options.colourMap, fraction(column[y - I.top]));
        }
        for (int y = B.top; y < B.bottom && y < h; ++y) {
            // Top row the largest value, bottom row the smallest.
            const double f = 1.0 - (y - B.top + 0.5) / std::max(1, B.Height());
            for (int x = B.left; x < B.right && x < w; ++x) p[static_cast<size_t>(y) * w + x] = BscanColour(options.colourMap, f);
        }
        CDC source;
        if (source.CreateCompatibleDC(nullptr)) {
            CSelectObject selected(source, pixels);
            dc.BitBlt(I.left, I.top, B.right - I.left, I.Height(), &source, I.left, I.top, SRCCOPY);
        }
    }

    CDCStateSaver saved(dc);
    CPen black;
    black.CreatePen(PS_SOLID, 0, 0x000000);
    CSelectObject pen(dc, black);
    // Time runs down: a negative scale turns the axis so that its top value is the window start.
    const float timeSpan = static_cast<float>(image.timeMax - image.timeMin);
    DrawVertAxis(&dc, 0.0f, timeSpan, image.timeMax, -1.0, 10, I.left, I.top, I.bottom, I.left,
                 image.timeLabel.empty() ? std::string("Time") : image.timeLabel, 0);
    // Snapshot k is centred in its column; at most one division per snapshot keeps the ticks whole.
    DrawHorzAxis(&dc, 0.0f, static_cast<float>(std::max(columns, 1)), -0.5, 1.0, std::clamp(columns, 1, 10), I.bottom,
                 I.left, I.right, I.bottom, kSnapshotTitle, 1);
    DrawVertAxis(&dc, static_cast<float>(image.valueMin), static_cast<float>(span), 0.0, 1.0, 10, B.left, B.top,
                 B.bottom, B.left, options.envelope ? kEnvelopeTitle : kAmplitudeTitle, 0);
    FrameRect(dc, I);
    FrameRect(dc, B);
}

namespace {

// Builds the image and records the drawing of it.
bool RecordBscan(IDispatch* viewer, const SBscanOptions& options, CMetaFileDC& meta, std::string& error,
                 const AscanProgress& progress) {
    SBscanImage image;
    if (!BuildBscanImage(viewer, options, image, error, progress)) return false;
    if (!meta.Create(options.width, options.height)) {
        error = "cannot make a picture of " + std::to_string(options.width) + "x" + std::to_string(options.height);
        return false;
    }
    DrawBscan(meta, options, image);
    return true;
}

bool PlayBscan(const CMetaFileDC& meta, const SBscanOptions& options, CBitmap& picture) {
    CDC dc;
    if (!picture.CreateBitmap(options.width, options.height, 1, 32, nullptr) || !dc.CreateCompatibleDC(nullptr))
        return false;
    CSelectObject target(dc, picture);
    dc.FillSolidRect(0, 0, options.width, options.height, kBackground);
    gdi::PlayRecording(meta.GetRecording(), dc);
    return true;
}

}  // namespace

bool RenderBscanBitmap(IDispatch* viewer, const SBscanOptions& options, CBitmap& picture, std::string& error,
                       const AscanProgress& progress) {
    CMetaFileDC meta;
    if (!RecordBscan(viewer, options, meta, error, progress)) return false;
    if (PlayBscan(meta, options, picture)) return true;
    error = "cannot make a picture of " + std::to_string(options.width) + "x" + std::to_string(options.height);
    return false;
}

bool WriteBscan(IDispatch* viewer, const SBscanOptions& options, const std::string& path, std::string& error,
                const AscanProgress& progress) {
    std::string ext = std::filesystem::path(path).extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext != ".png" && ext != ".pdf" && ext != ".svg") {
        error = path + ": the output must end in .png, .pdf or .svg";
        return false;
    }
    CMetaFileDC meta;
    if (!RecordBscan(viewer, options, meta, error, progress)) return false;

    // Written as any output is (a temporary file renamed over a regular file; a FIFO or a device
    // written as such), or handed to the job's background writer, which does the same.
    std::string why;
    bool written = false;
    if (ext == ".png") {
        CBitmap picture;
        if (PlayBscan(meta, options, picture)) {
            written = CPngBackgroundWrites::Active()
                          ? SaveBitmapPng(picture, path)
                          : WriteOutputFile(
                                path, [&picture](const std::string& target, std::string&) { return SaveBitmapPng(picture, target); },
                                why);
        }
        if (!written && why.empty()) why = "cannot write the picture";
    } else {
        written = WriteOutputFile(
            path,
            [&meta, &ext](const std::string& target, std::string& writeWhy) {
                return ext == ".pdf" ? gdi::WriteRecordingPdf(meta.GetRecording(), target, &writeWhy)
                                     : gdi::WriteRecordingSvg(meta.GetRecording(), target, &writeWhy);
            },
            why);
    }
    if (!written) {
        error = path + ": " + why;
        return false;
    }
    return true;
}
