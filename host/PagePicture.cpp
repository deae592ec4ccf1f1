// Pictures of the page for reports: scaled drawing through a metafile, and the caption band.
#include "host/PagePicture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "host/DispatchCalls.h"
#include "host/DocumentFile.h"
#include "host/HostDocument.h"
#include "host/Printing.h"
#include "ids/OrvexViewerIds.h"
#include "platform/base/SafeFile.h"
#include "platform/base/Saturate.h"
#include "platform/com/Variant.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDCStateSaver.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/CMetaFileDC.h"
#include "platform/gdi/CSelectObject.h"
#include "platform/gdi/Png.h"

namespace {

// The caption: a sans-serif face at 13 pixels a line on a light band, scaled with the picture.
constexpr const char* kCaptionFace = "Arial";
constexpr int kCaptionFontHeight = 13;
constexpr int kCaptionLineHeight = 17;
constexpr int kCaptionPadding = 5;
constexpr COLORREF kCaptionBand = RGB(242, 242, 242);
constexpr COLORREF kCaptionRule = RGB(190, 190, 190);
constexpr COLORREF kCaptionText = RGB(40, 40, 40);
constexpr COLORREF kPageColour = RGB(255, 255, 255);

int Scaled(int v, double scale) { return TruncateToInt(std::floor(v * scale + 0.5)); }

bool ReadProperty(IDispatch* control, const char* name, VARTYPE vt, VARIANT& value) {
    VARIANT raw;
    VariantInit(&raw);
    std::string error;
    if (!InvokeByName(control, name, DISPATCH_PROPERTYGET, {}, &raw, error)) return false;
    VariantInit(&value);
    const bool ok = SUCCEEDED(VariantChangeType(&value, &raw, 0, vt));
    VariantClear(&raw);
    return ok;
}

std::string DescribeViewer(IDispatch* viewer, bool showsRays, const std::pair<std::string, std::string>& shownAs) {
    VARIANT file, snapshot, plot, time;
    std::string text;
    if (ReadProperty(viewer, "FileName", VT_BSTR, file)) {
        text = StringFromBstr(file.bstrVal);
        VariantClear(&file);
        if (!shownAs.first.empty() && text == shownAs.first) text = shownAs.second;
    }
    if (text.empty()) text = "(no file)";
    if (ReadProperty(viewer, "CurrentSnapShot", VT_I4, snapshot)) text += "  |  snapshot " + std::to_string(snapshot.lVal);
    if (showsRays && ReadProperty(viewer, "RayPlotType", VT_I2, plot) && ReadProperty(viewer, "RayEndTime", VT_R8, time)) {
        char at[64];
        std::snprintf(at, sizeof at, "%.2f us", time.dblVal);
        switch (plot.iVal) {
            case 0: text += "  |  full rays"; break;
            case 1: text += std::string("  |  rays cut at ") + at; break;
            default: text += std::string("  |  pulse at ") + at; break;
        }
    }
    return text;
}

// The page drawn control by control into a metafile at the scale, played back onto a bitmap.
bool DrawScaledPage(CHostDocument& document, double scale, CBitmap& page, std::string& error) {
    const int width = Scaled(document.GetPageWidth(), scale), height = Scaled(document.GetPageHeight(), scale);
    // The scaled picture is one more picture of the document: the same budget holds.
    if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > kPictureBudgetPixels) {
        error = "a picture of " + std::to_string(width) + "x" + std::to_string(height) +
                " pixels does not fit the memory budget for pictures (" + std::to_string(kPictureBudgetPixels) +
                " pixels, 1 GiB)";
        return false;
    }
    CMetaFileDC meta;
    // The resolution scales too, so fonts given in points come out as large as the rest.
    if (!meta.Create(width, height, Scaled(96, scale))) {
        error = "cannot make a picture of " + std::to_string(width) + "x" + std::to_string(height) + " pixels";
        return false;
    }
    SPrintLayout layout;
    layout.scale = scale;
    if (!PrintDocumentPage(document, meta, layout, std::string(), error)) return false;
    if (!page.CreateBitmap(width, height, 1, 32, nullptr)) {
        error = "a picture of " + std::to_string(width) + "x" + std::to_string(height) + " pixels is too large";
        return false;
    }
    CDC dc;
    if (!dc.CreateCompatibleDC(nullptr)) {
        error = "cannot make a drawing context";
        return false;
    }
    CSelectObject target(dc, page);
    dc.FillSolidRect(0, 0, width, height, kPageColour);
    gdi::PlayRecording(meta.GetRecording(), dc);
    return true;
}

}  // namespace

std::vector<std::string> DescribePage(CHostDocument& document, const std::pair<std::string, std::string>& shownAs) {
    std::vector<std::string> lines;
    const SDocumentModel model = document.GetModel();
    for (const SDocumentControl& entry : model.controls) {
        if (entry.progId != kOrvexViewerProgID) continue;
        CComPtr<IDispatch> viewer = document.GetExtendedControl(entry.name);
        if (!viewer) continue;
        const bool showsRays = entry.rect.Width() > 0 && entry.rect.Height() > 0;
        lines.push_back(DescribeViewer(viewer.get(), showsRays, shownAs));
    }
    return lines;
}

bool MakePagePicture(CHostDocument& document, const SPictureOptions& options, CBitmap& picture, std::string& error) {
    if (!document.IsOpen()) {
        error = "no document is open";
        return false;
    }
    if (!(options.scale >= kMinPictureScale && options.scale <= kMaxPictureScale)) {
        error = "the scale must be from 1 to 4";
        return false;
    }
    CBitmap page;
    if (options.scale == 1.0) {
        if (!document.CopyPage(page)) {
            error = "the page cannot be copied";
            return false;
        }
    } else {
        document.Pump(0);
        if (!DrawScaledPage(document, options.scale, page, error)) return false;
    }
    if (options.caption.empty()) {
        if (!picture.CreateBitmap(page.GetWidth(), page.GetHeight(), 1, 32, page.GetPixels())) {
            error = "not enough memory for the picture";
            return false;
        }
        return true;
    }

    // The band below the page: a rule, then one line of text per caption line.
    const double s = options.scale;
    const int lineHeight = Scaled(kCaptionLineHeight, s), padding = Scaled(kCaptionPadding, s);
    const int band = 2 * padding + lineHeight * static_cast<int>(options.caption.size());
    const int width = page.GetWidth(), height = page.GetHeight() + band;
    if (!picture.CreateBitmap(width, height, 1, 32, nullptr)) {
        error = "a picture of " + std::to_string(width) + "x" + std::to_string(height) + " pixels is too large";
        return false;
    }
    std::copy(page.GetPixels(), page.GetPixels() + static_cast<size_t>(page.GetWidth()) * page.GetHeight(),
              picture.GetPixels());
    CDC dc;
    if (!dc.CreateCompatibleDC(nullptr)) {
        error = "cannot make a drawing context";
        return false;
    }
    CSelectObject target(dc, picture);
    dc.FillSolidRect(0, page.GetHeight(), width, band, kCaptionBand);
    dc.FillSolidRect(0, page.GetHeight(), width, std::max(1, Scaled(1, s)), kCaptionRule);
    CFont font;
    font.CreateFont(-Scaled(kCaptionFontHeight, s), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                    OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, kCaptionFace);
    CSelectObject selectFont(dc, font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(kCaptionText);
    int y = page.GetHeight() + padding;
    for (const std::string& line : options.caption) {
        dc.TextOut(padding, y, line.c_str(), static_cast<int>(line.size()));
        y += lineHeight;
    }
    return true;
}

bool WritePagePicture(CHostDocument& document, const SPictureOptions& options, const std::string& path,
                      std::string& error) {
    if (options.scale == 1.0 && options.caption.empty()) return document.Render(path, error);
    CBitmap picture;
    if (!MakePagePicture(document, options, picture, error)) return false;
    if (CPngBackgroundWrites::Active()) return SaveBitmapPng(picture, path);
    std::string why;
    const bool written = WriteOutputFile(
        path, [&picture](const std::string& target, std::string&) { return SaveBitmapPng(picture, target); }, why);
    if (!written) {
        error = path + ": cannot write the picture" + (why.empty() ? std::string() : " (" + why + ")");
        return false;
    }
    return true;
}
