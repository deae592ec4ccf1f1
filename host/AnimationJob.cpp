#include "host/AnimationJob.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "host/AnimationGif.h"
#include "host/DispatchCalls.h"
#include "host/HostDocument.h"
#include "host/JobDataFile.h"
#include "host/PagePicture.h"
#include "ids/OrvexViewerIds.h"
#include "platform/base/SafeFile.h"
#include "platform/com/Variant.h"
#include "platform/gdi/CBitmap.h"

namespace {

constexpr const char* kAnimateViewerName = "OrvexViewer1";
// The viewer's animation timer period: one frame per tick.
constexpr DWORD kTickMs = 200;

bool GetDouble(IDispatch* viewer, const char* name, double& value, std::string& error) {
    VARIANT v;
    VariantInit(&v);
    if (!InvokeByName(viewer, name, DISPATCH_PROPERTYGET, {}, &v, error)) return false;
    const bool ok = v.vt == VT_R8;
    if (ok) value = v.dblVal;
    else error = std::string(name) + ": not a number";
    VariantClear(&v);
    return ok;
}

bool Put(IDispatch* viewer, const char* name, VARTYPE vt, double value, std::string& error) {
    VARIANT v;
    VariantInit(&v);
    v.vt = vt;
    if (vt == VT_R8) v.dblVal = value;
    else if (vt == VT_I2) v.iVal = static_cast<SHORT>(value);
    else v.boolVal = value != 0.0 ? VARIANT_TRUE : VARIANT_FALSE;
    return PutPropertyByName(viewer, name, v, error);
}

}  // namespace

int AnimationDelay(int fps) {
    if (fps <= 0) return 100;
    return std::max(2, static_cast<int>(std::lround(100.0 / fps)));
}

bool RunAnimateJob(const SAnimateOptions& options, SAnimateResult& result, std::string& error,
                   const AscanProgress& progress) {
    CJobDataFile data;
    if (!data.Prepare(options.inputPath, error)) return false;

    SDocumentModel model;
    model.pageWidth = options.width;
    model.pageHeight = options.height;
    SDocumentControl viewerEntry;
    viewerEntry.progId = kOrvexViewerProgID;
    viewerEntry.name = kAnimateViewerName;
    viewerEntry.rect = CRect(0, 0, options.width, options.height);
    viewerEntry.properties.push_back({"FileName", data.GetViewerPath()});
    model.controls.push_back(viewerEntry);
    CHostDocument document;
    if (!document.OpenModel(model, error)) return false;
    CComPtr<IDispatch> viewer = document.GetExtendedControl(kAnimateViewerName);
    if (!viewer) {
        error = "the viewer control is not available";
        return false;
    }

    double start = 0.0, end = 0.0, increment = 0.0;
    if (!Put(viewer.get(), "RayPlotType", VT_I2, options.plotType, error) ||
        !GetDouble(viewer.get(), "PulseAnimateStartLimit", start, error) ||
        !GetDouble(viewer.get(), "PulseAnimateEndLimit", end, error) ||
        !GetDouble(viewer.get(), "RayEndTimeIncrement", increment, error) ||
        !Put(viewer.get(), "RayEndTime", VT_R8, start, error))
        return false;
    // How many frames the limits promise, for the progress lines only: the control decides.
    size_t expected = 1;
    if (increment > 0.0 && end > start) {
        const double steps = std::floor((end - start) / increment) + 1.0;
        expected = static_cast<size_t>(std::min(steps, static_cast<double>(kMaxAnimationFrames)));
    }

    // Written as any output is: frame by frame into a temporary file renamed over a regular file
    // when complete (a FIFO or a device is written as such).
    std::string why;
    const bool written = WriteOutputFile(
        options.outputPath,
        [&](const std::string& target, std::string&) {
            std::string caption;
            SPictureOptions picture;
            CAnimationGif gif;
            result = SAnimateResult();
            result.delay = AnimationDelay(options.fps);
            bool ok = true;
            bool opened = false;
            double time = start;
            for (int frame = 0; ok && frame < kMaxAnimationFrames; ++frame) {
                if (frame == 0) {
                    document.Pump(0);
                } else {
                    if (frame == 1) ok = Put(viewer.get(), "IsAnimated", VT_BOOL, 1.0, error);
                    if (!ok) break;
                    document.Pump(kTickMs);
                    double next = 0.0;
                    if (!GetDouble(viewer.get(), "RayEndTime", next, error)) {
                        ok = false;
                        break;
                    }
                    // The tick that wraps (or stands still) ends the animation: its frame is frame 0 again.
                    if (!(next > time)) break;
                    time = next;
                }
                if (options.stamp) picture.caption = DescribePage(document, {data.GetViewerPath(), data.GetPath()});
                CBitmap bitmap;
                if (!MakePagePicture(document, picture, bitmap, error)) {
                    ok = false;
                    break;
                }
                if (!opened) {
                    ok = gif.Open(target, bitmap.GetWidth(), bitmap.GetHeight(), result.delay, error);
                    opened = true;
                }
                bool exact = true;
                ok = ok && gif.AddFrame(bitmap, exact, error);
                result.exact = result.exact && exact;
                result.times.push_back(time);
                ++result.frames;
                if (progress) progress(static_cast<size_t>(result.frames), std::max(expected, static_cast<size_t>(result.frames)));
            }
            if (ok && result.frames == kMaxAnimationFrames)
                result.notes.push_back("stopped after " + std::to_string(kMaxAnimationFrames) +
                                       " frames; the limits and the increment ask for more");
            std::string closing;
            if (!gif.Close(closing) && ok) {
                error = closing;
                ok = false;
            }
            return ok;
        },
        why);
    if (!written) {
        if (error.empty()) error = why;
        error = options.outputPath + ": " + error;
        return false;
    }
    return true;
}
