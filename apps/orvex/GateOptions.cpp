#include "apps/orvex/GateOptions.h"

bool TakeGateOptions(std::vector<std::string>& args, std::vector<SMeasureGate>& gates, std::string& problem) {
    std::vector<std::string> rest;
    std::vector<std::string> texts;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--") {
            rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
            break;
        }
        if (a == "--gate") {
            if (i + 1 >= args.size()) {
                problem = "--gate needs a value";
                return false;
            }
            texts.push_back(args[++i]);
        } else if (a.rfind("--gate=", 0) == 0) {
            texts.push_back(a.substr(7));
        } else {
            rest.push_back(a);
        }
    }
    for (const std::string& text : texts) {
        SMeasureGate gate;
        if (!ParseGate(text, gate)) {
            problem = "--gate needs START:END[:THRESHOLD] with START not after END and THRESHOLD from 0 (got '" + text + "')";
            return false;
        }
        gates.push_back(gate);
    }
    args = std::move(rest);
    return true;
}
