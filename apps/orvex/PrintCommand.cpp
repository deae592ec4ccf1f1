// orvex print: a document's page printed through the controls into PDF or SVG.
#include <filesystem>

#include "apps/orvex/Command.h"
#include "host/HostDocument.h"
#include "host/Printing.h"

namespace {

int RunPrint(stCommandContext& ctx);

const stCommand kPrint{
    "print",
    "print a document's page into a PDF or SVG file",
    "orvex print DOC.json -o OUT.pdf|OUT.svg [--page a4|letter] [--landscape] [--fit] [--control NAME]",
    "Opens the document headless and prints its page on one sheet: the page is scaled to fit\n"
    "inside half-inch margins, its aspect kept, and each control draws itself into the printer\n"
    "(600 dots per inch) as it does for any printer: the viewer without its off-screen picture,\n"
    "the A-scan plot with its axes and trace but no gates or readout.\n\n"
    "Options:\n"
    "  -o OUT.pdf|OUT.svg  the file to write (required); the extension chooses the format\n"
    "  --page PAPER        a4 (default) or letter\n"
    "  --landscape         the sheet turned on its side\n"
    "  --fit               scaled to the sheet's whole printable area, without the margins\n"
    "  --control NAME      only the control NAME, as on the sheet, the sheet cropped to it (a figure)\n\n"
    "A document that cannot be opened or a file that cannot be written fails the job (exit\n"
    "status 1) and leaves no file.\n",
    RunPrint};
const CCommandRegistrar kRegister(kPrint);

int RunPrint(stCommandContext& ctx) {
    COptionParser parser({"-o", "--page", "--control"}, {"--landscape", "--fit"});
    std::string problem;
    if (!parser.Parse(ctx.m_args, problem)) return UsageError(kPrint, ctx.m_err, problem);
    if (parser.Positionals().size() != 1)
        return UsageError(kPrint, ctx.m_err, parser.Positionals().empty() ? "missing DOC.json" : "one DOC.json only");
    auto output = parser.Value("-o");
    if (!output || output->empty()) return UsageError(kPrint, ctx.m_err, "missing -o OUT.pdf or OUT.svg");
    const std::string ext = FileExtension(*output);
    if (ext != "pdf" && ext != "svg") return UsageError(kPrint, ctx.m_err, "-o needs a file ending in .pdf or .svg");
    SPrintOptions options;
    if (auto page = parser.Value("--page")) {
        if (*page == "a4") options.paper = EPaperSize::A4;
        else if (*page == "letter") options.paper = EPaperSize::Letter;
        else return UsageError(kPrint, ctx.m_err, "--page needs a4 or letter");
    }
    if (parser.Has("--landscape")) options.orientation = EPaperOrientation::Landscape;
    options.fit = parser.Has("--fit");
    if (auto control = parser.Value("--control")) {
        if (control->empty()) return UsageError(kPrint, ctx.m_err, "--control needs a control's name");
        options.control = *control;
    }

    // The document works in its own folder while open; the output is named from here.
    std::error_code ec;
    const std::string outputPath = std::filesystem::absolute(*output, ec).string();
    CHostDocument document;
    std::string error;
    if (!document.Open(parser.Positionals()[0], error)) return JobFailed(ctx.m_err, error);
    const bool printed = PrintDocument(document, outputPath, options, error);
    document.Close();
    if (!printed) return JobFailed(ctx.m_err, error);
    return kExitOk;
}

}  // namespace
