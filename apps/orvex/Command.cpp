#include "apps/orvex/Command.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace {

std::vector<const stCommand*>& Registry() {
    static std::vector<const stCommand*> commands;
    return commands;
}

}  // namespace

CCommandRegistrar::CCommandRegistrar(const stCommand& command) { Registry().push_back(&command); }

std::vector<const stCommand*> AllCommands() {
    std::vector<const stCommand*> list = Registry();
    std::sort(list.begin(), list.end(),
              [](const stCommand* a, const stCommand* b) { return std::string(a->m_name) < b->m_name; });
    return list;
}

const stCommand* FindCommand(const std::string& name) {
    for (const stCommand* c : Registry())
        if (name == c->m_name) return c;
    return nullptr;
}

void PrintCommandHelp(const stCommand& command, std::ostream& out) {
    out << "Usage: " << command.m_usage << "\n\n" << command.m_summary << "\n\n" << command.m_help;
}

int UsageError(const stCommand& command, std::ostream& err, const std::string& problem) {
    err << "orvex " << command.m_name << ": " << problem << "\nUsage: " << command.m_usage
        << "\nTry 'orvex help " << command.m_name << "' for more.\n";
    return kExitUsage;
}

int JobFailed(std::ostream& err, const std::string& problem) {
    std::string line = problem;
    std::replace(line.begin(), line.end(), '\n', ' ');
    err << "orvex: " << line << "\n";
    return kExitFailed;
}

COptionParser::COptionParser(std::vector<std::string> valued, std::vector<std::string> flags)
    : m_valued(std::move(valued)), m_flags(std::move(flags)) {}

bool COptionParser::Parse(const std::vector<std::string>& args, std::string& problem) {
    auto known = [](const std::vector<std::string>& list, const std::string& name) {
        return std::find(list.begin(), list.end(), name) != list.end();
    };
    bool onlyPositionals = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (onlyPositionals || a.size() < 2 || a[0] != '-') {
            m_positionals.push_back(a);
            continue;
        }
        if (a == "--") {
            onlyPositionals = true;
            continue;
        }
        std::string name = a, value;
        const size_t eq = a.find('=');
        const bool inlineValue = a.rfind("--", 0) == 0 && eq != std::string::npos;
        if (inlineValue) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
        }
        if (known(m_flags, name) && !inlineValue) {
            m_values[name] = "";
            continue;
        }
        if (!known(m_valued, name)) {
            problem = "unknown option " + name;
            return false;
        }
        if (!inlineValue) {
            if (i + 1 >= args.size()) {
                problem = name + " needs a value";
                return false;
            }
            value = args[++i];
        }
        if (m_values.count(name)) {
            problem = name + " given twice";
            return false;
        }
        m_values[name] = value;
    }
    return true;
}

std::optional<std::string> COptionParser::Value(const std::string& name) const {
    auto it = m_values.find(name);
    if (it == m_values.end()) return std::nullopt;
    return it->second;
}

bool ParseInteger(const std::string& text, long long lo, long long hi, long long& value) {
    long long v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return false;
    if (v < lo || v > hi) return false;
    value = v;
    return true;
}

bool ParseUnsigned(const std::string& text, unsigned long long& value) {
    unsigned long long v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return false;
    value = v;
    return true;
}

std::string FileExtension(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string ext = path.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}
