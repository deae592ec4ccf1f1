#include "host/RenderJob.h"

#include "geometry/CSimulationData.h"
#include "geometry/OrvexFile.h"
#include "host/DispatchCalls.h"
#include "host/HostDocument.h"
#include "host/JobDataFile.h"
#include "host/PagePicture.h"
#include "ids/OrvexViewerIds.h"
#include "platform/com/Variant.h"

namespace {

VARIANT MakeFloat(float value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_R4;
    v.fltVal = value;
    return v;
}

bool CallWithAngle(IDispatch* viewer, const char* method, float degrees, std::string& error) {
    VARIANT arg = MakeFloat(degrees);
    return CallMethodByName(viewer, method, std::span<const VARIANT>(&arg, 1), error);
}

}  // namespace

bool RunRenderJob(const SRenderOptions& options, std::string& error) {
    // The viewer reads files silently (a bad file just empties it), so the file is checked here
    // first: a file that cannot be read is a failed job with its reason, not an empty picture.
    // The viewer's load then takes over the data set read here instead of reading the file again.
    CJobDataFile data;
    if (!data.Prepare(options.inputPath, error)) return false;

    SDocumentModel model;
    model.pageWidth = options.width;
    model.pageHeight = options.height;
    SDocumentControl viewerEntry;
    viewerEntry.progId = kOrvexViewerProgID;
    viewerEntry.name = kRenderViewerName;
    viewerEntry.rect = CRect(0, 0, options.width, options.height);
    model.controls.push_back(viewerEntry);

    CHostDocument document;
    if (!document.OpenModel(model, error)) return false;
    CComPtr<IDispatch> viewer = document.GetExtendedControl(kRenderViewerName);
    if (!viewer) {
        error = document.GetMessages().empty() ? "the viewer control is not available" : document.GetMessages().front();
        return false;
    }

    VARIANT fileName;
    VariantInit(&fileName);
    fileName.vt = VT_BSTR;
    fileName.bstrVal = SysAllocStringFrom(data.GetViewerPath());
    bool ok = PutPropertyByName(viewer.get(), "FileName", fileName, error);
    VariantClear(&fileName);

    if (ok && options.view) {
        const char* method = *options.view == SRenderOptions::EView::Top    ? "ViewFromTop"
                             : *options.view == SRenderOptions::EView::Side ? "ViewFromSide"
                                                                            : "ViewFromFront";
        ok = CallMethodByName(viewer.get(), method, {}, error);
    }
    if (ok && options.rotate) ok = CallWithAngle(viewer.get(), "Rotate", *options.rotate, error);
    if (ok && options.spin) ok = CallWithAngle(viewer.get(), "Spin", *options.spin, error);
    if (ok && options.tilt) ok = CallWithAngle(viewer.get(), "Tilt", *options.tilt, error);
    if (ok && options.plotType) {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_I2;
        v.iVal = *options.plotType;
        ok = PutPropertyByName(viewer.get(), "RayPlotType", v, error);
    }
    if (ok && options.time) {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_R8;
        v.dblVal = *options.time;
        ok = PutPropertyByName(viewer.get(), "RayEndTime", v, error);
    }
    viewer.Release();
    if (!ok) return false;

    document.Pump(0);
    SPictureOptions picture;
    picture.scale = options.scale;
    if (options.stamp) picture.caption = DescribePage(document, {data.GetViewerPath(), data.GetPath()});
    return WritePagePicture(document, picture, options.outputPath, error);
}
