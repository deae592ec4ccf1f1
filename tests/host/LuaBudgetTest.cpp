// The one budget against every way a script can spend time: Lua instructions, the pattern
// matcher, work that grows with string size, error handlers, and the host's own calls. Each
// runaway ends with the budget's message, and the state stays usable.
#include <gtest/gtest.h>

#include <lua.hpp>

#include <string>
#include <vector>

#include "host/LuaSandbox.h"

namespace {

constexpr uint64_t kBudget = 100'000;
constexpr const char* kExhausted = "instruction limit of 100000 reached";

class LuaBudgetTest : public ::testing::Test {
protected:
    LuaBudgetTest() : m_sandbox(Limits()) {
        m_sandbox.SetPrintSink([this](std::string_view line) { m_printedBytes += line.size(); });
    }
    static SMacroLimits Limits() {
        SMacroLimits limits;
        limits.maxInstructions = kBudget;
        limits.maxMemoryBytes = 32 * 1024 * 1024;
        return limits;
    }
    std::string Run(const std::string& source) {
        std::string error;
        return m_sandbox.Run(source, "macro Test", error) ? std::string() : error;
    }
    CLuaSandbox m_sandbox;
    size_t m_printedBytes = 0;
};

// A plain Lua state with the stock string library, to compare the sandbox's matcher against.
class CPlainLua {
public:
    CPlainLua() : m_L(luaL_newstate()) { luaL_openlibs(m_L); }
    ~CPlainLua() { lua_close(m_L); }
    // The results of `expr` (or its error) as one line.
    std::string Eval(const std::string& expr) { return EvalIn(m_L, expr); }
    static std::string EvalIn(lua_State* L, const std::string& expr) {
        const std::string chunk = "local r = table.pack(pcall(function() return " + expr +
                                  " end)) local out = {} for i = 1, r.n do out[i] = tostring(r[i]) end "
                                  "return table.concat(out, '|')";
        if (luaL_loadstring(L, chunk.c_str()) != LUA_OK || lua_pcall(L, 0, 1, 0) != LUA_OK) {
            std::string e = lua_tostring(L, -1);
            lua_pop(L, 1);
            return "load error: " + e;
        }
        std::string result = lua_tostring(L, -1);
        lua_pop(L, 1);
        return result;
    }

private:
    lua_State* m_L;
};

}  // namespace

// Every kind of runaway ends at the budget, however it spends its time.
TEST_F(LuaBudgetTest, EveryWayOfSpendingTimeMeetsTheBudget) {
    const char* runaways[] = {
        "while true do end",
        // A message handler that loops: Lua runs it with hooks off when the budget ends inside
        // the protected call.
        "xpcall(function() error('x') end, function(m) while true do end end)",
        "while true do xpcall(function() while true do end end, function(m) while true do end end) end",
        // The end of the budget cannot be swallowed by pcall or xpcall in a loop.
        "while true do pcall(function() while true do end end) end",
        "while true do xpcall(function() while true do end end, function(m) return m end) end",
        // Backtracking patterns: cubic and quadratic work inside one C call.
        "local s = string.rep('a', 20000) string.find(s, '.-.-.-b')",
        "local s = string.rep('a', 20000) string.match(s, '(.-)(.-)(.-)b')",
        "local s = string.rep('(', 20000) string.find(s, '%b()')",
        "local s = string.rep('a', 20000) for _ in s:gmatch('.-.-b') do end",
        "local s = string.rep('a', 20000) s:gsub('a-a-a-b', '')",
        // Work that grows with string size, one instruction each.
        "local s = string.rep('x', 1000000) while true do local t = s .. 'y' end",
        "local s = string.rep('x', 1000000) while true do print(s) end",
        "local s = string.rep('x', 1000000) while true do load(s) end",
        "local s = string.rep('x', 100000) while true do local t = tostring(s) .. 1 end",
        "local s = string.rep('x', 100000) while true do local t = string.format('%s', s) end",
        "local t = {} for i = 1, 1000 do t[i] = string.rep('x', 1000) end while true do table.concat(t) end",
    };
    for (const char* source : runaways) {
        const std::string error = Run(source);
        EXPECT_NE(error.find(kExhausted), std::string::npos) << source << "\n" << error;
        // The state is usable at once, with a fresh budget.
        EXPECT_EQ(Run("local n = 0 for i = 1, 1000 do n = n + i end assert(n == 500500)"), "") << source;
    }
    // print floods stop within the budget's worth of bytes.
    EXPECT_LT(m_printedBytes, 40 * 64 * kBudget);
}

// Time the VM spends where no count sees it is charged by the CPU time it takes: comparing two
// long strings is one instruction however long they are, a full collection of a large heap one
// call. Counted by instructions alone, each loop below would run for a minute or more.
TEST_F(LuaBudgetTest, TimeNoCountSeesIsChargedByCpuTime) {
    SMacroLimits limits = Limits();
    limits.maxInstructions = 1'000'000;
    // Runs `source` to the end of the budget; the number of rounds it counted in `n`.
    auto roundsBeforeTheEnd = [&limits](const std::string& source) {
        CLuaSandbox sandbox(limits);
        std::string error;
        EXPECT_FALSE(sandbox.Run(source, "macro Test", error));
        EXPECT_NE(error.find("instruction limit of 1000000 reached"), std::string::npos) << error;
        lua_getglobal(sandbox.GetState(), "n");
        return lua_tointeger(sandbox.GetState(), -1);
    };
    // Two distinct 4 MB strings with the same bytes (about 200 000 instructions to make): each
    // comparison reads both to the end. The rest of the budget pays for some 160 000 rounds by
    // instructions, for a few thousand by time.
    const std::string strings = "local a = string.rep('x', 4194304) local b = string.rep('x', 4194303) .. ";
    const lua_Integer equal = roundsBeforeTheEnd(strings + "'x' n = 0 while true do if a == b then n = n + 1 end end");
    EXPECT_GT(equal, 0);
    EXPECT_LT(equal, 40000);
    EXPECT_LT(roundsBeforeTheEnd(strings + "'y' n = 0 while true do if a < b then n = n + 1 end end"), 40000);
    // 100 000 tables: the rest of the budget pays for over 100 000 full collections of them by
    // instructions, a few hundred by time.
    EXPECT_LT(roundsBeforeTheEnd("local t = {} for i = 1, 100000 do t[i] = {} end\n"
                                 "n = 0 while true do collectgarbage('collect') n = n + 1 end"),
              5000);
    // Ordinary work is charged by its count alone: a loop of about 600 000 instructions fits a
    // budget of a million on any machine that runs an instruction within a microsecond.
    CLuaSandbox plain(limits);
    std::string error;
    EXPECT_TRUE(plain.Run("local s = 0 for i = 1, 200000 do s = s + i * 2 end assert(s == 40000200000)", "macro Plain",
                          error))
        << error;
}

// A message handler still runs for ordinary errors, under the budget.
TEST_F(LuaBudgetTest, MessageHandlersStillHandleOrdinaryErrors) {
    EXPECT_EQ(Run("local ok, m = xpcall(function() error('bad', 0) end, function(m) return 'seen ' .. m end)\n"
                  "assert(not ok and m == 'seen bad')"),
              "");
    EXPECT_EQ(Run("local ok, a, b = xpcall(function(x, y) return x + y, x * y end, print, 2, 3)\n"
                  "assert(ok and a == 5 and b == 6)"),
              "");
    EXPECT_NE(Run("xpcall(function() end)").find("bad argument #2 to 'xpcall'"), std::string::npos);
}

// The sandbox's matcher answers as Lua's own does: results, captures, positions and errors.
TEST_F(LuaBudgetTest, PatternsMatchAsLuasOwnLibrary) {
    const char* cases[] = {
        "string.find('hello world', 'o w')",              // plain text
        "string.find('hello world', 'l+')",               // a repetition
        "string.find('hello', 'l', 1, true)",             // plain flag
        "string.find('a.b', '.', 1, true)",
        "string.find('hello', '')",                       // empty pattern
        "string.find('hello', 'x')",                      // no match
        "string.find('hello', 'l', -2)",                  // negative start
        "string.find('hello', 'l', 10)",                  // start past the end
        "string.find('ab\\0cd', '%z')",                    // the deprecated class of the zero byte
        "string.find('ab\\0cd', '\\0c')",                  // a zero byte in the pattern
        "string.match('key = value', '^(%w+)%s*=%s*(.-)$')",
        "string.match('  trim  ', '^%s*(.-)%s*$')",
        "string.match('2024-01-31', '(%d+)-(%d+)-(%d+)')",
        "string.match('hello', '()ll()')",                // position captures
        "string.match('THE (quick) fox', '%((%a+)%)')",
        "string.match('f(a(b)c)d', '%b()')",
        "string.match('THE quick', '%f[%a]%a+', 4)",      // frontier
        "string.match('hello', '%f[%l]')",
        "string.match('abcabc', '(abc)%1')",             // back reference
        "string.match('[x]', '[%[%]]')",
        "string.match('a-z', '[a%-z]+')",
        "string.match('hello', '[^aeiou]+')",
        "string.match('x', '[a-')",                        // malformed: missing ]
        "string.match('x', '%')",                          // malformed: ends with %
        "string.match('x', '(()')",                        // unfinished capture
        "string.match('x', '%1')",                         // invalid capture index
        "string.match('x', '%b')",                         // missing arguments to %b
        "string.match('x', '%f')",                         // missing [ after %f
        "string.match('x', ')')",                          // invalid pattern capture
        "string.match(string.rep('a', 300), string.rep('(a)', 33))",  // too many captures
        "string.gsub('hello world', 'o', '0')",
        "string.gsub('hello world', '(%w+)', '<%1>')",
        "string.gsub('hello', '', '-')",
        "string.gsub('abc', '%w', '%0%0')",
        "string.gsub('abc', '%w', '%%')",
        "string.gsub('abc', '%w', '%2')",                  // invalid capture index in replacement
        "string.gsub('abc', '%w', '%x')",                  // invalid use of %
        "string.gsub('hello world', '%w+', {hello = 'HI', world = false})",
        "string.gsub('hello world', '%w+', function(w) return w:upper() end)",
        "string.gsub('hello world', '%w+', function(w) return {} end)",  // invalid replacement value
        "string.gsub('abc', '^a', 'x')",
        "string.gsub('aaa', 'a', 'b', 2)",
        "string.gsub('abc', '()', '%1')",
        "string.gsub('abc', 'b', 1)",                      // a number as replacement
        "string.gsub('abc', 'b', true)",
        "select('#', string.gsub('abc', 'x', 'y'))",
        "(function() local t = {} for k, v in string.gmatch('a=1, b=2', '(%w+)=(%w+)') do t[#t + 1] = k .. v end "
        "return table.concat(t, ',') end)()",
        "(function() local t = {} for w in string.gmatch('one two  three', '%a+') do t[#t + 1] = w end "
        "return table.concat(t, ',') end)()",
        "(function() local t = {} for p in string.gmatch('abc', '()') do t[#t + 1] = p end return table.concat(t, ',') end)()",
        "(function() local t = {} for w in string.gmatch('abc', '.', 3) do t[#t + 1] = w end return table.concat(t, ',') end)()",
        "('x'):rep(3):find('xx')",
    };
    CPlainLua plain;
    for (const char* expr : cases) {
        // The sandbox prints its answer; the plain state computes the expected one.
        const std::string expected = plain.Eval(expr);
        EXPECT_EQ(CPlainLua::EvalIn(m_sandbox.GetState(), expr), expected) << expr;
    }
}

// A pattern on a long subject that does not backtrack is cheap: the budget is for runaways.
TEST_F(LuaBudgetTest, LinearPatternsOnLongSubjectsFitTheBudget) {
    EXPECT_EQ(Run("local s = string.rep('ab', 8000) .. 'c'\n"
                  "assert(s:find('c') == 16001 and s:find('b+c') == 16000 and #s:gsub('a', '') == 8001)"),
              "");
}
