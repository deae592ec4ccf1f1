// Printing a document page through the controls' draw entries into PDF or SVG.
#include "host/Printing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "host/HostDocument.h"
#include "platform/afx/COleControl.h"
#include "platform/base/SafeFile.h"
#include "platform/base/Saturate.h"
#include "platform/gdi/CDCStateSaver.h"
#include "platform/gdi/CairoPlayback.h"

namespace {

int RoundToInt(double v) { return TruncateToInt(std::floor(v + 0.5)); }

std::string LowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

}  // namespace

SPrintLayout LayOutPrintedPage(int pageWidth, int pageHeight, CSize printerPage, int dpi, double marginInches) {
    SPrintLayout layout;
    const double margin = marginInches * dpi;
    const double availableX = printerPage.cx - 2 * margin, availableY = printerPage.cy - 2 * margin;
    if (pageWidth <= 0 || pageHeight <= 0 || availableX <= 0 || availableY <= 0) return layout;
    layout.scale = std::min(availableX / pageWidth, availableY / pageHeight);
    layout.origin = CPoint(RoundToInt((printerPage.cx - pageWidth * layout.scale) / 2),
                           RoundToInt((printerPage.cy - pageHeight * layout.scale) / 2));
    return layout;
}

bool PrintDocumentPage(CHostDocument& document, CPrinterDC& printer, std::string& error) {
    if (!document.IsOpen()) {
        error = "no document is open";
        return false;
    }
    const SPrintLayout layout =
        LayOutPrintedPage(document.GetPageWidth(), document.GetPageHeight(),
                          CSize(printer.GetDeviceCaps(HORZRES), printer.GetDeviceCaps(VERTRES)),
                          printer.GetDeviceCaps(LOGPIXELSX));
    if (layout.scale <= 0) {
        error = "the page does not fit on the paper";
        return false;
    }
    return PrintDocumentPage(document, printer, layout, std::string(), error);
}

bool PrintDocumentPage(CHostDocument& document, CDC& printer, const SPrintLayout& layout, const std::string& only,
                       std::string& error) {
    if (!document.IsOpen()) {
        error = "no document is open";
        return false;
    }
    const SDocumentModel model = document.GetModel();
    for (const SDocumentControl& entry : model.controls) {
        if (!only.empty() && entry.name != only) continue;
        COleControl* control = document.GetControl(entry.name);
        if (control == nullptr) continue;  // not created: nothing to print
        const CRect& r = entry.rect;  // left, top, right, bottom in page pixels
        if (r.Width() <= 0 || r.Height() <= 0) continue;
        // Edges are placed by rounding, so neighbouring controls meet without gaps or overlaps.
        const int left = layout.origin.x + RoundToInt(r.left * layout.scale);
        const int top = layout.origin.y + RoundToInt(r.top * layout.scale);
        const int right = layout.origin.x + RoundToInt(r.right * layout.scale);
        const int bottom = layout.origin.y + RoundToInt(r.bottom * layout.scale);
        if (right <= left || bottom <= top) continue;
        CDCStateSaver saved(printer);
        printer.SetMapMode(MM_ANISOTROPIC);
        printer.SetWindowOrg(0, 0);
        printer.SetWindowExt(r.Width(), r.Height());
        printer.SetViewportOrg(left, top);
        printer.SetViewportExt(right - left, bottom - top);
        // A control's drawing stays inside its place on the page, as in a container's window.
        printer.IntersectClipRect(0, 0, r.Width(), r.Height());
        // The controls' drawing is anchored at the bounds' origin.
        const CRect bounds(0, 0, r.Width(), r.Height());
        static_cast<IViewObject*>(control)->Draw(DVASPECT_CONTENT, &printer, &bounds);
        if (!only.empty()) break;  // the first of that name, as a lookup by name finds it
    }
    return true;
}

namespace {

// Sets up the printer for the options: the sheet with the page laid on it, or for one control the
// same sheet cropped to that control, at the size it has there.
bool PreparePrinter(CHostDocument& document, const SPrintOptions& options, CPrinterDC& printer, SPrintLayout& layout,
                    std::string& error) {
    const int dpi = CPrinterDC::kDefaultDpi;
    const CSize sheet = CPrinterDC::PageSize(options.paper, dpi, options.orientation);
    const double margin = options.fit ? 0.0 : kPrintMarginInches;
    layout = LayOutPrintedPage(document.GetPageWidth(), document.GetPageHeight(), sheet, dpi, margin);
    if (layout.scale <= 0) {
        error = "the page does not fit on the paper";
        return false;
    }
    if (options.control.empty()) {
        if (!printer.CreatePrinterDC(options.paper, dpi, options.orientation)) {
            error = "cannot make a printer context";
            return false;
        }
        return true;
    }
    const SDocumentModel model = document.GetModel();
    const SDocumentControl* entry = nullptr;
    for (const SDocumentControl& c : model.controls)
        if (c.name == options.control && document.GetControl(c.name) != nullptr) {
            entry = &c;
            break;
        }
    if (entry == nullptr) {
        error = "the page has no control named \"" + options.control + "\"";
        return false;
    }
    const CRect& r = entry->rect;
    if (r.Width() <= 0 || r.Height() <= 0) {
        error = "control \"" + options.control + "\" takes no room on the page";
        return false;
    }
    // The control's corner at the cropped sheet's corner, its edges rounded as on the whole sheet.
    layout.origin = CPoint(-RoundToInt(r.left * layout.scale), -RoundToInt(r.top * layout.scale));
    const CSize cropped(layout.origin.x + RoundToInt(r.right * layout.scale),
                        layout.origin.y + RoundToInt(r.bottom * layout.scale));
    if (!printer.CreatePrinterDC(cropped, dpi)) {
        error = "cannot make a printer context";
        return false;
    }
    return true;
}

}  // namespace

bool PrintDocument(CHostDocument& document, const std::string& outputPath, EPaperSize paper, std::string& error) {
    SPrintOptions options;
    options.paper = paper;
    return PrintDocument(document, outputPath, options, error);
}

bool PrintDocument(CHostDocument& document, const std::string& outputPath, const SPrintOptions& options,
                   std::string& error) {
    const std::string ext = LowerExtension(outputPath);
    if (ext != ".pdf" && ext != ".svg") {
        error = outputPath + ": the output must end in .pdf or .svg";
        return false;
    }
    if (!document.IsOpen()) {
        error = "no document is open";
        return false;
    }
    CPrinterDC printer;
    SPrintLayout layout;
    if (!PreparePrinter(document, options, printer, layout, error)) return false;
    if (!PrintDocumentPage(document, printer, layout, options.control, error)) return false;
    // Written under a temporary name and renamed, so a failure leaves no partial file.
    std::string why;
    const bool written = WriteOutputFile(
        outputPath,
        [&printer, &ext](const std::string& target, std::string& writeWhy) {
            return ext == ".pdf" ? gdi::WriteRecordingPdf(printer.GetRecording(), target, &writeWhy)
                                 : gdi::WriteRecordingSvg(printer.GetRecording(), target, &writeWhy);
        },
        why);
    if (!written) {
        error = outputPath + ": " + why;
        return false;
    }
    return true;
}
