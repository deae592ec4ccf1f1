// orvex register: registers (or unregisters) the module's type library and classes in a registry
// file, and prints what changed.
#include <cstdio>
#include <filesystem>

#include "apps/orvex/Command.h"
#include "module/EntryPoints.h"
#include "platform/com/Registry.h"
#include "platform/com/TypeLibRegistration.h"

namespace {

constexpr const char* kDefaultRegistryFile = "orvex-registry.reg";

int RunRegister(stCommandContext& ctx);

const stCommand kRegisterCommand{
    "register",
    "register the module's classes and type library in a registry file",
    "orvex register [--unregister] [--registry FILE.reg]",
    "Runs the module's self-registration against a registry kept in a REGEDIT4 text file, and\n"
    "prints each key and value added (+) or removed (-). The file is created when missing and is\n"
    "left untouched when registration fails.\n\n"
    "Options:\n"
    "  --unregister       remove the type library and classes instead\n"
    "  --registry FILE    the registry file (default: orvex-registry.reg in the current folder)\n",
    RunRegister};
const CCommandRegistrar kRegistrar(kRegisterCommand);

std::string ResultName(HRESULT hr) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
    if (hr == SELFREG_E_TYPELIB) return std::string("the type library could not be registered (SELFREG_E_TYPELIB, ") + code + ")";
    if (hr == SELFREG_E_CLASS) return std::string("a class could not be registered (SELFREG_E_CLASS, ") + code + ")";
    return std::string("the module could not be loaded (") + code + ")";
}

int RunRegister(stCommandContext& ctx) {
    COptionParser options({"--registry"}, {"--unregister"});
    std::string problem;
    if (!options.Parse(ctx.m_args, problem)) return UsageError(kRegisterCommand, ctx.m_err, problem);
    if (!options.Positionals().empty())
        return UsageError(kRegisterCommand, ctx.m_err, "unexpected argument " + options.Positionals().front());
    const std::string path = options.Value("--registry").value_or(kDefaultRegistryFile);
    const bool unregister = options.Has("--unregister");

    CRegistry registry;
    std::error_code ec;
    if (std::filesystem::exists(path, ec) && !registry.LoadFromFile(path, &problem)) return JobFailed(ctx.m_err, problem);
    const CRegistry before = registry;
    HRESULT hr;
    {
        CRegistryScope scope(registry);
        hr = unregister ? DllUnregisterServer() : DllRegisterServer();
    }
    if (FAILED(hr)) {
        std::string what = ResultName(hr);
        if (unregister && hr == SELFREG_E_TYPELIB) what = "the type library is not registered in " + path;
        return JobFailed(ctx.m_err, (unregister ? "unregister: " : "register: ") + what);
    }
    if (!registry.SaveToFile(path, &problem)) return JobFailed(ctx.m_err, problem);
    const std::vector<std::string> changes = registry.DescribeChangesSince(before);
    for (const std::string& line : changes) ctx.m_out << line << "\n";
    ctx.m_out << (unregister ? "Unregistered" : "Registered") << " in " << path << ": " << changes.size()
              << (changes.size() == 1 ? " change" : " changes") << "\n";
    return kExitOk;
}

}  // namespace
