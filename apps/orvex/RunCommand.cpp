// orvex run: opens a document, runs its macros and a script in the order given, writes the page.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "apps/orvex/Command.h"
#include "apps/orvex/OptionValues.h"
#include "host/DocumentFile.h"
#include "host/HostDocument.h"
#include "host/MacroHost.h"
#include "host/PagePicture.h"
#include "platform/afx/DebugOutput.h"
#include "platform/base/SafeFile.h"

namespace {

int RunRun(stCommandContext& ctx);

const stCommand kRun{
    "run",
    "open a document, run its macros and a Lua script, write the page",
    "orvex run DOC.json [--macro NAME]... [--script FILE.lua] [-o OUT.png] [--trace]\n"
    "             [--max-instructions N] [--max-memory MB] [--scale F] [--stamp]\n"
    "orvex run DOC.json --list-macros",
    "Opens the document headless, runs the named macros and the script in the order they are\n"
    "given (docs/macros.md describes the Lua API), then writes the page when -o is given.\n\n"
    "Options:\n"
    "  --macro NAME          run the document's macro NAME (may be given several times)\n"
    "  --script FILE.lua     run a Lua script against the document\n"
    "  -o OUT.png            write the page as a PNG after the runs\n"
    "  --trace               print the controls' debugger output on stderr\n"
    "  --max-instructions N  instruction budget of each macro and the script (default 100000000)\n"
    "  --max-memory MB       memory the Lua state may hold (default 64)\n"
    "  --scale F             write the page F times larger (1 to 4): page, fonts and pens together\n"
    "  --stamp               a caption below the page: each viewer's file, snapshot and rays\n"
    "  --list-macros         print the document's macros, one a line with its first comment line,\n"
    "                        and run nothing\n\n"
    "A macro or script that fails prints one line naming it and the line; the others still run,\n"
    "the page is still written, and the exit status is 1.\n",
    RunRun};
const CCommandRegistrar kRegister(kRun);

// Largest scripts and memory caps the command accepts.
constexpr std::uintmax_t kMaxScriptBytes = 16 * 1024 * 1024;
constexpr long long kMaxMemoryMB = 64 * 1024;

struct SStep {
    bool isMacro;
    std::string text;  // the macro name, or the script path as given
};

bool ReadScript(const std::string& path, std::string& source, std::string& error) {
    std::string why;
    if (!ReadRegularFile(path, kMaxScriptBytes, source, why)) {
        error = path + ": cannot read the script (" + why + ")";
        return false;
    }
    return true;
}

// The macro's name and, when its source starts with a comment, that first comment line.
void ListMacros(const SDocumentModel& model, std::ostream& out) {
    size_t width = 0;
    for (const auto& macro : model.macros) width = std::max(width, macro.first.size());
    for (const auto& [name, source] : model.macros) {
        std::string line = name;
        const std::string first = source.substr(0, source.find('\n'));
        if (first.rfind("--", 0) == 0) {
            line.resize(width + 2, ' ');
            const size_t text = first.find_first_not_of("- ");
            line += text == std::string::npos ? std::string() : first.substr(text);
        }
        out << line << "\n";
    }
}

int RunRun(stCommandContext& ctx) {
    // --macro repeats and its order against --script matters, which the shared parser does not
    // keep; the steps are taken from the arguments first and the rest is parsed as usual.
    std::vector<SStep> steps;
    std::vector<std::string> rest;
    for (size_t i = 0; i < ctx.m_args.size(); ++i) {
        const std::string& a = ctx.m_args[i];
        if (a == "--") {
            rest.insert(rest.end(), ctx.m_args.begin() + static_cast<std::ptrdiff_t>(i), ctx.m_args.end());
            break;
        }
        const bool macro = a == "--macro" || a.rfind("--macro=", 0) == 0;
        const bool script = a == "--script" || a.rfind("--script=", 0) == 0;
        if (!macro && !script) {
            rest.push_back(a);
            continue;
        }
        const size_t eq = a.find('=');
        std::string value;
        if (eq != std::string::npos) {
            value = a.substr(eq + 1);
        } else if (i + 1 < ctx.m_args.size()) {
            value = ctx.m_args[++i];
        } else {
            return UsageError(kRun, ctx.m_err, std::string(macro ? "--macro" : "--script") + " needs a value");
        }
        if (script && std::any_of(steps.begin(), steps.end(), [](const SStep& s) { return !s.isMacro; }))
            return UsageError(kRun, ctx.m_err, "--script given twice");
        if (value.empty()) return UsageError(kRun, ctx.m_err, std::string(macro ? "--macro" : "--script") + " needs a value");
        steps.push_back({macro, value});
    }

    COptionParser parser({"-o", "--max-instructions", "--max-memory", "--scale"}, {"--trace", "--list-macros", "--stamp"});
    std::string problem;
    if (!parser.Parse(rest, problem)) return UsageError(kRun, ctx.m_err, problem);
    if (parser.Positionals().size() != 1)
        return UsageError(kRun, ctx.m_err, parser.Positionals().empty() ? "missing DOC.json" : "one DOC.json only");
    if (parser.Has("--list-macros")) {
        // Only reads the document: no control is created and nothing runs.
        if (!steps.empty() || parser.Has("-o"))
            return UsageError(kRun, ctx.m_err, "--list-macros runs nothing: no --macro, --script or -o with it");
        SDocumentModel model;
        std::string error;
        std::vector<std::string> warnings;
        if (!LoadDocumentFile(parser.Positionals()[0], model, error, warnings)) return JobFailed(ctx.m_err, error);
        ListMacros(model, ctx.m_out);
        return kExitOk;
    }
    SMacroLimits limits;
    if (auto text = parser.Value("--max-instructions")) {
        unsigned long long n = 0;
        if (!ParseUnsigned(*text, n) || n == 0) return UsageError(kRun, ctx.m_err, "--max-instructions needs a whole number above 0");
        limits.maxInstructions = n;
    }
    if (auto text = parser.Value("--max-memory")) {
        long long mb = 0;
        if (!ParseInteger(*text, 1, kMaxMemoryMB, mb))
            return UsageError(kRun, ctx.m_err, "--max-memory needs a whole number of megabytes from 1 to 65536");
        limits.maxMemoryBytes = static_cast<size_t>(mb) * 1024 * 1024;
    }
    auto output = parser.Value("-o");
    if (output && output->empty()) return UsageError(kRun, ctx.m_err, "-o needs a file name");
    if (output && !HasExtension(*output, "png")) return UsageError(kRun, ctx.m_err, "-o needs a file ending in .png");
    SPictureOptions picture;
    if (auto scale = parser.Value("--scale"); scale && !ParseScale(*scale, picture.scale))
        return UsageError(kRun, ctx.m_err, "--scale needs a number from 1 to 4");
    if ((parser.Has("--scale") || parser.Has("--stamp")) && !output)
        return UsageError(kRun, ctx.m_err, "--scale and --stamp are for the picture: give -o OUT.png");

    // The document is worked on in its own folder; names given here are relative to ours.
    std::error_code ec;
    std::string outputPath;
    if (output) outputPath = std::filesystem::absolute(*output, ec).string();
    std::string scriptSource;
    for (const SStep& step : steps) {
        std::string error;
        if (!step.isMacro && !ReadScript(step.text, scriptSource, error)) return JobFailed(ctx.m_err, error);
    }

    // With --trace the document passes the controls' output on to stderr as it comes.
    DebugOutputSink previous;
    const bool trace = parser.Has("--trace");
    if (trace) previous = SetDebugOutputSink(MakeStderrDebugOutputSink());

    int status = kExitOk;
    {
        CHostDocument document;
        std::string error;
        if (!document.Open(parser.Positionals()[0], error)) {
            if (trace) SetDebugOutputSink(std::move(previous));
            return JobFailed(ctx.m_err, error);
        }
        for (const std::string& message : document.GetMessages()) ctx.m_err << "orvex: " << message << "\n";

        CMacroHost macros(document, limits);
        macros.SetPrintSink([&ctx](std::string_view line) { ctx.m_out << line << "\n" << std::flush; });
        macros.SetReportSink([&ctx](const std::string& line) { ctx.m_err << "orvex: " << line << "\n"; });
        for (const SStep& step : steps) {
            const bool ok = step.isMacro ? macros.RunMacro(step.text, error)
                                         : macros.RunSource(scriptSource, "script " + step.text, error);
            if (!ok) {
                ctx.m_err << "orvex: " << error << "\n";
                status = kExitFailed;
            }
        }
        if (!outputPath.empty()) {
            // Written under a temporary name and renamed (CHostDocument::Render, WritePagePicture),
            // so a failed render leaves no partial picture (and a device or FIFO named as output is
            // written as such).
            if (parser.Has("--stamp")) picture.caption = DescribePage(document);
            if (!WritePagePicture(document, picture, outputPath, error)) status = JobFailed(ctx.m_err, error);
        }
        macros.Close();
        document.Close();
    }
    if (trace) SetDebugOutputSink(std::move(previous));
    return status;
}

}  // namespace
