// The sandbox on its own: what macros cannot reach, runaway code stopped with one message naming
// the run and the line, and the state usable afterwards.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/LuaSandbox.h"

namespace {

class LuaSandboxTest : public ::testing::Test {
protected:
    LuaSandboxTest() : m_sandbox(Limits()) {
        m_sandbox.SetPrintSink([this](std::string_view line) { m_printed.emplace_back(line); });
    }
    static SMacroLimits Limits() {
        SMacroLimits limits;
        limits.maxInstructions = 2'000'000;
        limits.maxMemoryBytes = 8 * 1024 * 1024;
        return limits;
    }
    // Runs and returns the error ("" when the run succeeded).
    std::string Run(const std::string& source, const std::string& label = "macro Test") {
        std::string error;
        return m_sandbox.Run(source, label, error) ? std::string() : error;
    }
    CLuaSandbox m_sandbox;
    std::vector<std::string> m_printed;
};

TEST_F(LuaSandboxTest, EachEscapeIsRefused) {
    // Each line must run without error: it asserts the escape is closed from the inside.
    const char* escapes[] = {
        "assert(io == nil and os == nil and package == nil and debug == nil and coroutine == nil)",
        "assert(require == nil and dofile == nil and loadfile == nil)",
        "assert(not pcall(function() return io.open('/etc/passwd') end))",       // io.open
        "assert(not pcall(function() return os.execute('true') end))",            // os.execute
        "assert(not pcall(function() return debug.getregistry() end))",           // debug.getregistry
        "assert(string.dump == nil and ('').dump == nil)",                         // no bytecode to make
        // A binary chunk (the precompiled signature) is refused even when asked for by mode.
        "local f, e = load('\\27Lua\\84\\0', 'x', 'b'); assert(f == nil and e:find('text'))",
        "local f, e = load('\\27Lua\\84\\0'); assert(f == nil and e:find(\"mode is 't'\"))",
        // A reader function delivering a binary chunk piecewise is refused too.
        "local n = 0; local f = load(function() n = n + 1; if n == 1 then return '\\27Lua' end end)\n"
        "assert(f == nil)",
        // Text chunks still load, with or without an environment.
        "assert(load('return 1 + 1')() == 2 and load('return x', 'c', 't', {x = 5})() == 5)",
        // No finalizers: the collector would run them beyond the budget's reach.
        "assert(not pcall(setmetatable, {}, {__gc = function() end}))",
        "assert(not pcall(setmetatable, {}, {__gc = false}))",
        "assert(setmetatable({}, {__index = {a = 1}}).a == 1)",
        // The collector may be asked to collect, not to stop.
        "assert(not pcall(collectgarbage, 'stop')) collectgarbage() assert(collectgarbage('count') > 0)",
        "assert(warn == nil)",
    };
    for (const char* source : escapes) EXPECT_EQ(Run(source), "") << source;
}

TEST_F(LuaSandboxTest, ErrorsNameTheRunAndTheLine) {
    struct {
        const char* source;
        const char* label;
        const char* expected;
    } cases[] = {
        // a runtime error in the chunk itself
        {"local a = 1\nlocal b = nil + a", "macro Sum", "macro Sum, line 2: attempt to perform arithmetic on a nil value"},
        // error() with a string gets Lua's position, which is moved into the message
        {"\n\nerror('stop here')", "script s.lua", "script s.lua, line 3: stop here"},
        // error() without a position still names the line running
        {"local x = 0\nerror('bare', 0)", "macro M", "macro M, line 2: bare"},
        // an error object that is not a string is described, not run through __tostring
        {"error({})", "macro T", "macro T, line 1: (error object is a table value)"},
        // a syntax error
        {"x = = 1", "macro Syntax", "macro Syntax, line 1: unexpected symbol near '='"},
        // an error in a chunk loaded by the macro names that chunk
        {"local f = load('\\n\\nerror(\"inner\")', '=inner')\nf()", "macro Outer", "macro Outer: inner, line 3: inner"},
    };
    for (const auto& c : cases) EXPECT_EQ(Run(c.source, c.label).substr(0, std::string(c.expected).size()), c.expected);
}

TEST_F(LuaSandboxTest, RunawayCodeIsStoppedAndTheStateStaysUsable) {
    struct {
        const char* source;
        const char* expected;
    } cases[] = {
        {"x = 1\nwhile true do end", "macro Test, line 2: instruction limit of 2000000 reached"},
        // pcall cannot swallow the end of the budget
        {"while true do pcall(function() while true do end end) end", "instruction limit of 2000000 reached"},
        {"local function f() return f() end\nreturn f()", "line 1: instruction limit"},
        // a memory bomb ends at the cap, at its line
        {"local t = {}\nwhile true do t[#t + 1] = ('x'):rep(1000) .. #t end", "macro Test, line 2: memory limit of 8 MB reached"},
        {"local s = ('x'):rep(100 * 1024 * 1024)", "macro Test, line 1: memory limit of 8 MB reached"},
        // work done in C is charged: repeating nothing, moving a huge range, long pattern scans
        {"while true do local s = ('x'):rep(4000000) end", "instruction limit"},
        {"table.move({}, 1, math.maxinteger // 2, 1)", "instruction limit"},
        {"local s = ('a'):rep(1000000)\nfor i = 1, 100000 do s:find('b') end", "line 2: instruction limit"},
    };
    for (const auto& c : cases) {
        const std::string error = Run(c.source);
        EXPECT_NE(error.find(c.expected), std::string::npos) << c.source << "\n -> " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << "one line: " << error;
        // The next run has its full budget and memory, and sees what the failed one changed.
        EXPECT_EQ(Run("local t = {} for i = 1, 1000 do t[i] = ('y'):rep(100) end"), "");
    }
    EXPECT_EQ(Run("assert(x == 1)"), "");
    // string.rep of nothing returns at once instead of looping in C
    EXPECT_EQ(Run("assert(('').rep('', 1e15) == '')"), "");
}

TEST_F(LuaSandboxTest, PrintWritesLinesToTheSink) {
    EXPECT_EQ(Run("print('a', 1, 2.5, nil, true) print()"), "");
    EXPECT_EQ(m_printed, (std::vector<std::string>{"a\t1\t2.5\tnil\ttrue", ""}));
}

TEST(LuaSandboxLimitsTest, TooSmallACapForTheLibrariesIsReported) {
    SMacroLimits limits;
    limits.maxMemoryBytes = 4096;
    CLuaSandbox sandbox(limits);
    EXPECT_FALSE(sandbox.IsValid());
    std::string error;
    EXPECT_FALSE(sandbox.Run("x = 1", "macro M", error));
    EXPECT_EQ(error, "macro M: the macro layer could not start (memory limit of 4096 bytes reached)");
}

}  // namespace
