// orvex: the command line tool. Commands register themselves (apps/orvex/Command.h); this file
// only dispatches and prints the overview.
#include <iostream>
#include <string>
#include <vector>

#include "apps/orvex/Command.h"

namespace {

void PrintOverview(std::ostream& out) {
    out << "Usage: orvex COMMAND [OPTIONS]\n\n"
           "Simulate, inspect and convert ultrasonic-testing simulation files.\n\nCommands:\n";
    for (const stCommand* c : AllCommands()) {
        std::string name = c->m_name;
        name.resize(std::max<size_t>(name.size() + 2, 12), ' ');
        out << "  " << name << c->m_summary << "\n";
    }
    out << "\n'orvex help COMMAND' or 'orvex COMMAND --help' describes a command; 'orvex --version'\n"
           "prints the version.\n"
           "Exit status: 0 success, 1 the job failed, 2 bad usage.\n";
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        PrintOverview(std::cerr);
        return kExitUsage;
    }
    const std::string& first = args[0];
    if (first == "--version" || first == "version") {
        std::cout << "orvex " << ORVEX_VERSION << " (OrvexViewer for Linux)\n";
        return kExitOk;
    }
    if (first == "--help" || first == "-h" || (first == "help" && args.size() == 1)) {
        PrintOverview(std::cout);
        return kExitOk;
    }
    if (first == "help") {
        const stCommand* c = FindCommand(args[1]);
        if (!c || args.size() > 2) {
            std::cerr << "orvex help: unknown command '" << args[1] << "'\nTry 'orvex --help'.\n";
            return kExitUsage;
        }
        PrintCommandHelp(*c, std::cout);
        return kExitOk;
    }
    const stCommand* c = FindCommand(first);
    if (!c) {
        std::cerr << "orvex: unknown command '" << first << "'\nTry 'orvex --help'.\n";
        return kExitUsage;
    }
    std::vector<std::string> rest(args.begin() + 1, args.end());
    for (const std::string& a : rest) {
        if (a == "--") break;
        if (a == "--help" || a == "-h") {
            PrintCommandHelp(*c, std::cout);
            return kExitOk;
        }
    }
    stCommandContext context{rest, std::cout, std::cerr};
    try {
        return c->m_run(context);
    } catch (const std::bad_alloc&) {
        return JobFailed(std::cerr, "not enough memory");
    } catch (const std::exception& e) {
        return JobFailed(std::cerr, e.what());
    }
}
