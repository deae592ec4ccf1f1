#include "host/AscanJob.h"

#include <cstdio>

#include "geometry/CSimulationData.h"
#include "geometry/OrvexFile.h"
#include "host/AscanTraces.h"
#include "host/DispatchCalls.h"
#include "host/HostDocument.h"
#include "host/JobDataFile.h"
#include "host/PagePicture.h"
#include "ids/OrvexAscanViewerIds.h"
#include "ids/OrvexViewerIds.h"
#include "platform/com/Variant.h"
#include "platform/gdi/Png.h"

namespace {

// A name no control on the job's page has: the A-scan control searches for it at its first draw,
// finds nothing and waits, so the snapshot can be chosen before the link builds the plot.
constexpr const char* kNoViewerYet = "(no viewer yet)";

bool PutFloat(IDispatch* disp, const char* name, float value, std::string& error) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_R4;
    v.fltVal = value;
    return PutPropertyByName(disp, name, v, error);
}

bool PutString(IDispatch* disp, const char* name, const std::string& value, std::string& error) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocStringFrom(value);
    bool ok = PutPropertyByName(disp, name, v, error);
    VariantClear(&v);
    return ok;
}

bool GetFloat(IDispatch* disp, const char* name, float& value, std::string& error) {
    VARIANT v;
    VariantInit(&v);
    if (!InvokeByName(disp, name, DISPATCH_PROPERTYGET, {}, &v, error)) return false;
    bool ok = v.vt == VT_R4;
    if (ok) value = v.fltVal;
    else error = std::string(name) + ": not a single-precision number";
    VariantClear(&v);
    return ok;
}

// Writes one axis's two range properties. The plot takes each write at once, so the bound that
// would cross the current other bound goes second: the window never turns inside out on the way.
bool PutRange(IDispatch* ascan, const char* minName, const char* maxName, const SAscanOptions::SRange& range,
              std::string& error) {
    float currentMax = 0.0f;
    if (!GetFloat(ascan, maxName, currentMax, error)) return false;
    if (range.min >= currentMax)
        return PutFloat(ascan, maxName, range.max, error) && PutFloat(ascan, minName, range.min, error);
    return PutFloat(ascan, minName, range.min, error) && PutFloat(ascan, maxName, range.max, error);
}

// The A-scan control plots amplitudes within -1..1 and times from 0 to the end of the A-scan the
// viewer hands out; a window beyond them is cut to them, or kept as it was when nothing is left.
constexpr double kAmplitudeLow = -1.0, kAmplitudeHigh = 1.0;

// The time span of the viewer's A-scan: 0 to its element count times its resolution.
bool AscanTimeSpan(IDispatch* viewer, double& low, double& high) {
    SAscanTrace trace;
    std::string error;
    if (!ReadViewerAscan(viewer, trace, error)) return false;
    low = 0.0;
    high = static_cast<double>(trace.samples.size()) * trace.resolution;
    return true;
}

std::string Number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

// One line when a requested window reaches beyond what the plot can show.
void NoteRange(const char* option, const SAscanOptions::SRange& range, double low, double high,
               std::vector<std::string>* notes) {
    if (notes == nullptr || (range.min >= low && range.max <= high)) return;
    const std::string asked = std::string(option) + " " + Number(range.min) + ":" + Number(range.max);
    const std::string span = Number(low) + " to " + Number(high);
    if (range.max <= low || range.min >= high)
        notes->push_back(asked + " lies outside the A-scan (" + span + "): the plot keeps the window it had");
    else
        notes->push_back(asked + " reaches beyond the A-scan (" + span + "): the plot shows only the part within it");
}

}  // namespace

bool RunAscanJob(const SAscanOptions& options, std::string& error, std::vector<std::string>* notes) {
    // The viewer reads files silently (a bad file just empties it), so the file is checked here
    // first: a file that cannot be read is a failed job with its reason, not an empty plot. The
    // viewer's load then takes over the data set read here instead of reading the file again.
    CJobDataFile data;
    if (!data.Prepare(options.inputPath, error)) return false;
    {
        if (options.snapshot) {
            const LONG count = static_cast<LONG>(data.GetSnapshotCount());
            if (*options.snapshot < 0 || *options.snapshot >= count) {
                error = options.inputPath + ": no snapshot " + std::to_string(*options.snapshot) + " (the file has " +
                        std::to_string(count) + ", numbered from 0)";
                return false;
            }
        }
    }

    SDocumentModel model;
    model.pageWidth = options.width;
    model.pageHeight = options.height;
    // The viewer takes no room: only its A-scan is wanted.
    SDocumentControl viewerEntry;
    viewerEntry.progId = kOrvexViewerProgID;
    viewerEntry.name = kAscanJobViewerName;
    viewerEntry.rect = CRect(0, 0, 0, 0);
    viewerEntry.properties.push_back({"FileName", data.GetViewerPath()});
    model.controls.push_back(viewerEntry);
    SDocumentControl ascanEntry;
    ascanEntry.progId = kOrvexAscanViewerProgID;
    ascanEntry.name = kAscanJobAscanName;
    ascanEntry.rect = CRect(0, 0, options.width, options.height);
    ascanEntry.properties.push_back(
        {"OrvexViewerName", std::string(options.snapshot ? kNoViewerYet : kAscanJobViewerName)});
    model.controls.push_back(ascanEntry);

    CHostDocument document;
    if (!document.OpenModel(model, error)) return false;
    CComPtr<IDispatch> viewer = document.GetExtendedControl(kAscanJobViewerName);
    CComPtr<IDispatch> ascan = document.GetExtendedControl(kAscanJobAscanName);
    if (!viewer || !ascan) {
        error = document.GetMessages().empty() ? "the controls are not available" : document.GetMessages().front();
        return false;
    }

    bool ok = true;
    if (options.snapshot) {
        // The snapshot first, then the name: setting the name links and builds from the display
        // window of the viewer's current snapshot, as the first draw would have.
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_I4;
        v.lVal = *options.snapshot;
        ok = PutPropertyByName(viewer.get(), "CurrentSnapShot", v, error) &&
             PutString(ascan.get(), "OrvexViewerName", kAscanJobViewerName, error);
    }
    if (ok && options.x) {
        double low = 0.0, high = 0.0;
        if (AscanTimeSpan(viewer.get(), low, high)) NoteRange("--x", *options.x, low, high, notes);
        ok = PutRange(ascan.get(), "AscanXMin", "AscanXMax", *options.x, error);
    }
    if (ok && options.y) {
        NoteRange("--y", *options.y, kAmplitudeLow, kAmplitudeHigh, notes);
        ok = PutRange(ascan.get(), "AscanYMin", "AscanYMax", *options.y, error);
    }
    viewer.Release();
    ascan.Release();
    if (!ok) return false;

    document.Pump(0);
    // Written as any output is (WritePagePicture: a temporary file renamed over a regular file, a
    // FIFO or device written as such, or handed to the job's background writer), so a failed write
    // leaves no partial picture.
    SPictureOptions picture;
    picture.scale = options.scale;
    if (options.stamp) picture.caption = DescribePage(document, {data.GetViewerPath(), data.GetPath()});
    picture.caption.insert(picture.caption.end(), options.readout.begin(), options.readout.end());
    return WritePagePicture(document, picture, options.outputPath, error);
}
