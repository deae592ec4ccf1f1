// orvex typelib: the module's type library as interface definition text.
#include "apps/orvex/Command.h"
#include "module/OrvexTypeLib.h"

namespace {

int RunTypelib(stCommandContext& ctx);

const stCommand kTypelibCommand{
    "typelib",
    "print the type library",
    "orvex typelib",
    "Prints the type library ORVEXVIEWERLib 1.0 (both controls' dispatch and event interfaces and\n"
    "classes, in the library's declaration order) as interface definition text.\n",
    RunTypelib};
const CCommandRegistrar kRegistrar(kTypelibCommand);

int RunTypelib(stCommandContext& ctx) {
    if (!ctx.m_args.empty()) return UsageError(kTypelibCommand, ctx.m_err, "unexpected argument " + ctx.m_args.front());
    ctx.m_out << GetOrvexTypeLibrary().Describe();
    return kExitOk;
}

}  // namespace
