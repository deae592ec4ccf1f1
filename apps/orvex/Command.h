#pragma once
// The orvex tool's command table. Each command lives in its own source and registers itself with
// a static CCommandRegistrar, so adding a command touches no other file.
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// Exit statuses of every command.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // the job failed (a file that cannot be read or written, ...)
constexpr int kExitUsage = 2;   // the command line is wrong

struct stCommandContext {
    std::vector<std::string> m_args;  // the arguments after the command name
    std::ostream& m_out;
    std::ostream& m_err;
};

struct stCommand {
    const char* m_name;
    const char* m_summary;  // one line for the command list
    const char* m_usage;    // the synopsis line(s)
    const char* m_help;     // the options and what the command does
    int (*m_run)(stCommandContext& context);
};

class CCommandRegistrar {
public:
    explicit CCommandRegistrar(const stCommand& command);
};

// All commands, sorted by name.
std::vector<const stCommand*> AllCommands();
const stCommand* FindCommand(const std::string& name);
void PrintCommandHelp(const stCommand& command, std::ostream& out);

// Reports a usage error for a command ("orvex convert: missing OUT") with a pointer to its help;
// returns kExitUsage.
int UsageError(const stCommand& command, std::ostream& err, const std::string& problem);
// Reports a failed job in one line ("orvex: s.orvex: unexpected end of file"); returns kExitFailed.
int JobFailed(std::ostream& err, const std::string& problem);

// A small option parser: "--name value", "--name=value", "-o value", flags, and positionals.
class COptionParser {
public:
    // Options that take a value, and flags that do not; names include their dashes.
    COptionParser(std::vector<std::string> valued, std::vector<std::string> flags);
    // False with a problem ("unknown option --foo", "--rays needs a value").
    bool Parse(const std::vector<std::string>& args, std::string& problem);

    bool Has(const std::string& name) const { return m_values.count(name) != 0; }
    std::optional<std::string> Value(const std::string& name) const;
    const std::vector<std::string>& Positionals() const { return m_positionals; }

private:
    std::vector<std::string> m_valued;
    std::vector<std::string> m_flags;
    std::map<std::string, std::string> m_values;
    std::vector<std::string> m_positionals;
};

// Parses a whole decimal integer within [lo, hi]; false for anything else.
bool ParseInteger(const std::string& text, long long lo, long long hi, long long& value);
bool ParseUnsigned(const std::string& text, unsigned long long& value);
// The lower-case extension of a path without its dot ("orvex", "json"; empty if none).
std::string FileExtension(const std::string& path);
