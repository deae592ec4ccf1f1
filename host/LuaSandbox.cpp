// The sandboxed Lua state: the allocator with its cap, the instruction budget, the safe libraries
// and the one-line error messages.
#include "host/LuaSandbox.h"

#include <lua.hpp>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "host/LuaPatterns.h"

namespace {

// The count hook fires every this many VM instructions; the budget is checked there.
constexpr int kHookInterval = 1000;

// CPU time a run takes beyond what its instructions and charges account for is charged at one
// instruction per this many nanoseconds. The VM runs a few instructions a nanosecond and every
// charge of the host is set well within this, so only time nothing else counts reaches it: long
// strings compared, a large heap collected over and over.
constexpr uint64_t kCpuNanosPerInstruction = 1000;

uint64_t ReadClock(clockid_t clock) {
    timespec t{};
    if (clock_gettime(clock, &t) != 0) return 0;
    return static_cast<uint64_t>(t.tv_sec) * 1'000'000'000u + static_cast<uint64_t>(t.tv_nsec);
}

constexpr const char* kNotEnoughMemory = "not enough memory";

// Work that grows with string size (making a string by concatenation, conversion or formatting,
// compiling a chunk, printing a line) costs one instruction per this many bytes.
constexpr uint64_t kBytesPerCost = 64;

// ---- Replacements for library functions that would reach outside or never return -------------

// print: tostring of each argument, tab-separated, one line to the host's sink.
int SafePrint(lua_State* L) {
    const int n = lua_gettop(L);
    luaL_checkstack(L, 2 * n + 2, "too many arguments to print");
    for (int i = 1; i <= n; ++i) {
        if (i > 1) lua_pushliteral(L, "\t");
        luaL_tolstring(L, i, nullptr);
    }
    if (n == 0) lua_pushliteral(L, "");
    else if (n > 1) lua_concat(L, 2 * n - 1);
    size_t len = 0;
    const char* text = lua_tolstring(L, -1, &len);
    CLuaSandbox* sandbox = CLuaSandbox::FromState(L);
    // The line is written by the host, which the instruction count does not see.
    if (!sandbox->Charge(1 + len / kBytesPerCost)) {
        sandbox->PushStringProtected(sandbox->ExhaustedMessage());
        return lua_error(L);
    }
    sandbox->Print(std::string_view(text, len));
    return 0;
}

// load: text chunks only, whatever mode the caller asks for. A refused mode gives the usual
// failure result of load (nil and a message).
int SafeLoad(lua_State* L) {
    int n = lua_gettop(L);
    if (!lua_isnoneornil(L, 3)) {
        size_t len = 0;
        const char* mode = lua_tolstring(L, 3, &len);
        if (mode == nullptr || std::strcmp(mode, "t") != 0) {
            luaL_pushfail(L);
            lua_pushliteral(L, "load: only text chunks can be loaded (mode \"t\")");
            return 2;
        }
    }
    if (n < 3) {
        lua_settop(L, 3);
        n = 3;
    }
    // Compiling reads every byte of the chunk (a reader function's pieces are charged as strings
    // when they are made).
    if (lua_type(L, 1) == LUA_TSTRING) {
        CLuaSandbox* sandbox = CLuaSandbox::FromState(L);
        if (!sandbox->Charge(1 + lua_rawlen(L, 1) / kBytesPerCost)) {
            sandbox->PushStringProtected(sandbox->ExhaustedMessage());
            return lua_error(L);
        }
    }
    lua_pushliteral(L, "t");
    lua_replace(L, 3);
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_insert(L, 1);
    lua_call(L, n, LUA_MULTRET);
    return lua_gettop(L);
}

// setmetatable: no finalizers. The collector runs __gc with the count hook switched off, so a
// finalizer could loop for ever out of the budget's reach; Lua decides whether an object has one
// when its metatable is set, so refusing here is enough.
int SafeSetMetatable(lua_State* L) {
    if (lua_type(L, 2) == LUA_TTABLE) {
        lua_pushliteral(L, "__gc");
        const int type = lua_rawget(L, 2);
        lua_pop(L, 1);
        if (type != LUA_TNIL) return luaL_error(L, "setmetatable: finalizers (__gc) are not allowed in macros");
    }
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_insert(L, 1);
    lua_call(L, lua_gettop(L) - 1, 1);
    return 1;
}

// collectgarbage: collecting and measuring only; stopping the collector or retuning it is not a
// macro's business.
int SafeCollectGarbage(lua_State* L) {
    static const char* const kAllowed[] = {"collect", "count", "step", "isrunning", nullptr};
    luaL_checkoption(L, 1, "collect", kAllowed);
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_insert(L, 1);
    lua_call(L, lua_gettop(L) - 1, LUA_MULTRET);
    return lua_gettop(L);
}

// The message handler of an xpcall, around the macro's own. The budget's end passes through it
// untouched: Lua runs a message handler for an error raised in the count hook with hooks off, so
// the macro's handler would run out of the budget's reach (and could swallow its end). Any other
// error goes to the macro's handler, which runs under the budget like all other code.
int GuardedMessageHandler(lua_State* L) {
    if (CLuaSandbox::FromState(L)->IsExhausted()) return 1;
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_insert(L, 1);
    lua_call(L, lua_gettop(L) - 1, 1);
    return 1;
}

int SafeXpcall(lua_State* L) {
    luaL_checktype(L, 2, LUA_TFUNCTION);
    lua_pushvalue(L, 2);
    lua_pushcclosure(L, GuardedMessageHandler, 1);
    lua_replace(L, 2);
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_insert(L, 1);
    lua_call(L, lua_gettop(L) - 1, LUA_MULTRET);
    return lua_gettop(L);
}

// How a library function's work grows with its arguments, beyond the generic charge.
enum class ECost { Generic, Repeat, Range };

uint64_t SaturatingAdd(uint64_t a, uint64_t b) { return a + b < a ? UINT64_MAX : a + b; }
uint64_t SaturatingMul(uint64_t a, uint64_t b) { return b != 0 && a > UINT64_MAX / b ? UINT64_MAX : a * b; }

// A library function in C does work the VM does not count (a string scanned, a table shifted).
// Each call is charged one instruction per 64 bytes of string and per table element it is given,
// more where the work grows faster, so a loop over such calls still meets the budget.
int ChargedCall(lua_State* L) {
    const int n = lua_gettop(L);
    const auto kind = static_cast<ECost>(lua_tointeger(L, lua_upvalueindex(2)));
    uint64_t cost = 1;
    uint64_t stringBytes = 0;
    for (int i = 1; i <= n; ++i) {
        if (lua_type(L, i) == LUA_TSTRING) stringBytes = SaturatingAdd(stringBytes, lua_rawlen(L, i));
        else if (lua_type(L, i) == LUA_TTABLE) cost = SaturatingAdd(cost, lua_rawlen(L, i));
    }
    cost = SaturatingAdd(cost, stringBytes / 64);
    if (kind == ECost::Repeat) {
        int isInteger = 0;
        lua_Integer count = lua_tointegerx(L, 2, &isInteger);
        if (!isInteger) count = 0;
        const size_t unit = (lua_type(L, 1) == LUA_TSTRING ? lua_rawlen(L, 1) : 0) +
                            (lua_type(L, 3) == LUA_TSTRING ? lua_rawlen(L, 3) : 0);
        // string.rep of nothing loops count times in C producing nothing.
        if (count > 0 && unit == 0 && lua_type(L, 1) == LUA_TSTRING) {
            lua_pushliteral(L, "");
            return 1;
        }
        if (count > 0) cost = SaturatingAdd(cost, SaturatingMul(static_cast<uint64_t>(count), unit) / 64);
    } else if (kind == ECost::Range) {
        int firstOk = 0, lastOk = 0;
        const lua_Integer first = lua_tointegerx(L, 2, &firstOk), last = lua_tointegerx(L, 3, &lastOk);
        if (firstOk && lastOk && last >= first) cost = SaturatingAdd(cost, static_cast<uint64_t>(last) - static_cast<uint64_t>(first));
    }
    CLuaSandbox* sandbox = CLuaSandbox::FromState(L);
    if (!sandbox->Charge(cost)) {
        sandbox->PushStringProtected(sandbox->ExhaustedMessage());
        return lua_error(L);
    }
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_insert(L, 1);
    lua_call(L, n, LUA_MULTRET);
    return lua_gettop(L);
}

// Wraps every function of the library table on the top of the stack with ChargedCall.
void ChargeLibrary(lua_State* L, const char* repeat, const char* range) {
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
        if (lua_type(L, -1) == LUA_TFUNCTION && lua_type(L, -2) == LUA_TSTRING) {
            const char* name = lua_tostring(L, -2);
            ECost kind = ECost::Generic;
            if (repeat && std::strcmp(name, repeat) == 0) kind = ECost::Repeat;
            if (range && std::strcmp(name, range) == 0) kind = ECost::Range;
            lua_pushinteger(L, static_cast<lua_Integer>(kind));
            lua_pushcclosure(L, ChargedCall, 2);  // the original and the kind
            lua_pushvalue(L, -2);                 // the key
            lua_insert(L, -2);
            lua_rawset(L, -4);                    // replacing an existing key keeps lua_next valid
        } else {
            lua_pop(L, 1);
        }
    }
}

// Replaces global `name` by a closure of `fn` over the original.
void WrapGlobal(lua_State* L, const char* name, lua_CFunction fn) {
    lua_getglobal(L, name);
    lua_pushcclosure(L, fn, 1);
    lua_setglobal(L, name);
}

int OpenSafeLibraries(lua_State* L) {
    static const luaL_Reg kLibraries[] = {{LUA_GNAME, luaopen_base},
                                          {LUA_STRLIBNAME, luaopen_string},
                                          {LUA_TABLIBNAME, luaopen_table},
                                          {LUA_MATHLIBNAME, luaopen_math},
                                          {LUA_UTF8LIBNAME, luaopen_utf8}};
    for (const luaL_Reg& lib : kLibraries) {
        luaL_requiref(L, lib.name, lib.func, 1);
        lua_pop(L, 1);
    }
    // What reaches files, other code or the interpreter's output goes.
    for (const char* name : {"dofile", "loadfile", "require", "warn"}) {
        lua_pushnil(L);
        lua_setglobal(L, name);
    }
    WrapGlobal(L, "load", SafeLoad);
    WrapGlobal(L, "setmetatable", SafeSetMetatable);
    WrapGlobal(L, "collectgarbage", SafeCollectGarbage);
    WrapGlobal(L, "xpcall", SafeXpcall);
    lua_pushcfunction(L, SafePrint);
    lua_setglobal(L, "print");

    lua_getglobal(L, LUA_STRLIBNAME);
    lua_pushnil(L);
    lua_setfield(L, -2, "dump");  // binary chunks are refused anyway; there is nothing to make them for
    ChargeLibrary(L, "rep", nullptr);
    // The pattern functions charge each step of their matcher themselves (and, called directly,
    // their errors name the macro's line).
    InstallBudgetedPatterns(L, -1);
    lua_pop(L, 1);
    lua_getglobal(L, LUA_TABLIBNAME);
    ChargeLibrary(L, nullptr, "move");
    lua_pop(L, 1);
    lua_getglobal(L, LUA_UTF8LIBNAME);
    ChargeLibrary(L, nullptr, nullptr);
    lua_pop(L, 1);
    return 0;
}

// "<source>:<line>: " at the start of `text`: the line, and the length of the prefix.
bool SplitPosition(std::string_view text, std::string_view source, int& line, size_t& prefix) {
    if (source.empty() || text.size() <= source.size() + 1 || text.substr(0, source.size()) != source ||
        text[source.size()] != ':')
        return false;
    size_t i = source.size() + 1;
    long value = 0;
    const size_t digits = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && value < 100'000'000) value = value * 10 + (text[i++] - '0');
    if (i == digits || i + 1 >= text.size() || text[i] != ':' || text[i + 1] != ' ') return false;
    line = static_cast<int>(value);
    prefix = i + 2;
    return true;
}

std::string Compose(const std::string& label, const std::string& source, int line, const std::string& text) {
    if (line <= 0) return label + ": " + text;
    if (source.empty() || source == label) return label + ", line " + std::to_string(line) + ": " + text;
    return label + ": " + source + ", line " + std::to_string(line) + ": " + text;
}

}  // namespace

namespace {

int ChargedHostCall(lua_State* L) {
    CLuaSandbox::ChargeOrRaise(L, static_cast<uint64_t>(lua_tointeger(L, lua_upvalueindex(2))));
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_insert(L, 1);
    lua_call(L, lua_gettop(L) - 1, LUA_MULTRET);
    return lua_gettop(L);
}

}  // namespace

void CLuaSandbox::ChargeOrRaise(lua_State* L, uint64_t cost) {
    void* ud = nullptr;
    if (lua_getallocf(L, &ud) != &CLuaSandbox::Allocate) return;
    CLuaSandbox* sandbox = static_cast<CLuaSandbox*>(ud);
    if (sandbox->Charge(cost)) return;
    sandbox->PushStringProtected(sandbox->ExhaustedMessage());
    lua_error(L);
}

void CLuaSandbox::ChargeEachCall(lua_State* L, int index, uint64_t cost) {
    index = lua_absindex(L, index);
    lua_pushnil(L);
    while (lua_next(L, index) != 0) {
        if (lua_type(L, -1) == LUA_TFUNCTION && lua_type(L, -2) == LUA_TSTRING) {
            lua_pushinteger(L, static_cast<lua_Integer>(cost));
            lua_pushcclosure(L, ChargedHostCall, 2);
            lua_pushvalue(L, -2);
            lua_insert(L, -2);
            lua_rawset(L, index);  // replacing an existing key keeps lua_next valid
        } else {
            lua_pop(L, 1);
        }
    }
}

void* LuaSandboxTakeFunctor(lua_State* L) {
    void* p = lua_touserdata(L, 1);
    lua_remove(L, 1);
    return p;
}

CLuaSandbox::CLuaSandbox(const SMacroLimits& limits) : m_limits(limits) {
    m_print = [](std::string_view line) {
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    };
    lua_State* L = lua_newstate(&CLuaSandbox::Allocate, this);
    if (L == nullptr) return;
    lua_atpanic(L, [](lua_State*) -> int {
        // Every call into Lua is protected; reaching here is a programming error.
        std::fputs("orvex: unprotected error in the macro layer\n", stderr);
        std::abort();
    });
    lua_pushcfunction(L, OpenSafeLibraries);
    if (lua_pcall(L, 0, 0, 0) != LUA_OK) {
        lua_close(L);
        return;
    }
    m_L = L;
    lua_sethook(L, &CLuaSandbox::CountHook, LUA_MASKCOUNT, kHookInterval);
}

CLuaSandbox::~CLuaSandbox() {
    if (m_L) lua_close(m_L);
}

CLuaSandbox* CLuaSandbox::FromState(lua_State* L) {
    void* ud = nullptr;
    lua_getallocf(L, &ud);
    return static_cast<CLuaSandbox*>(ud);
}

void CLuaSandbox::Print(std::string_view line) {
    if (m_print) m_print(line);
}

void* CLuaSandbox::Allocate(void* ud, void* ptr, size_t osize, size_t nsize) {
    auto* self = static_cast<CLuaSandbox*>(ud);
    const size_t old = ptr ? osize : 0;
    if (nsize == 0) {
        std::free(ptr);
        self->m_memoryUsed -= old;
        return nullptr;
    }
    if (nsize > old && (nsize - old > self->m_limits.maxMemoryBytes ||
                        self->m_memoryUsed + (nsize - old) > self->m_limits.maxMemoryBytes)) {
        self->RecordMemoryRefusal();
        return nullptr;
    }
    // A new string is written byte by byte in C (concatenation, tostring, string.format, ...);
    // the allocator is the one place that sees them all. Lua tells the kind of a new object in
    // `osize`. Exhausting the budget here ends the run at the next instruction.
    if (ptr == nullptr && osize == LUA_TSTRING && self->m_depth > 0) self->Charge(nsize / kBytesPerCost);
    void* p = std::realloc(ptr, nsize);
    if (p == nullptr) return nullptr;
    self->m_memoryUsed = self->m_memoryUsed - old + nsize;
    return p;
}

void CLuaSandbox::RecordMemoryRefusal() {
    m_memoryRefused = true;
    if (m_L == nullptr || m_depth == 0) return;
    // The allocation was asked for by the innermost Lua code running; its line is what the
    // message names. Reading the stack allocates nothing.
    lua_Debug ar;
    for (int level = 0; lua_getstack(m_L, level, &ar); ++level) {
        if (!lua_getinfo(m_L, "Sl", &ar) || ar.currentline <= 0) continue;
        m_refusedSource = ar.short_src;
        m_refusedLine = ar.currentline;
        return;
    }
}

void CLuaSandbox::CountHook(lua_State* L, lua_Debug*) {
    CLuaSandbox* self = FromState(L);
    if (!self->Charge(kHookInterval) || !self->ChargeCpuTime()) {
        lua_pushstring(L, self->ExhaustedMessage().c_str());
        lua_error(L);
    }
}

bool CLuaSandbox::Charge(uint64_t cost) {
    if (!m_exhausted) {
        m_used = SaturatingAdd(m_used, cost);
        if (m_used <= m_limits.maxInstructions) return true;
        m_exhausted = true;
        // From now on every instruction fails, so no pcall in the macro can swallow the end.
        if (m_L) lua_sethook(m_L, &CLuaSandbox::CountHook, LUA_MASKCOUNT, 1);
    }
    return false;
}

bool CLuaSandbox::ChargeCpuTime() {
    if (m_exhausted) return false;
    if (m_depth == 0) return true;  // the clock is marked when a run begins
    // Reading the thread's CPU time is a system call; the coarse clock (a few nanoseconds) says
    // when a tick has passed, so it is read a few hundred times a second at most.
    const uint64_t tick = ReadClock(CLOCK_MONOTONIC_COARSE);
    if (tick == m_tickMark) return true;
    m_tickMark = tick;
    const uint64_t cpu = ReadClock(CLOCK_THREAD_CPUTIME_ID);
    if (cpu <= m_cpuMarkNs) return true;
    const uint64_t spent = (cpu - m_cpuMarkNs) / kCpuNanosPerInstruction;
    const uint64_t charged = m_used - m_usedAtMark;
    m_cpuMarkNs = cpu;
    const bool ok = spent <= charged || Charge(spent - charged);
    m_usedAtMark = m_used;
    return ok;
}

std::string CLuaSandbox::ExhaustedMessage() const {
    return "instruction limit of " + std::to_string(m_limits.maxInstructions) + " reached";
}

std::string CLuaSandbox::MemoryLimitMessage(size_t maxMemoryBytes) {
    const size_t mb = maxMemoryBytes / (1024 * 1024);
    return mb * 1024 * 1024 == maxMemoryBytes ? "memory limit of " + std::to_string(mb) + " MB reached"
                                              : "memory limit of " + std::to_string(maxMemoryBytes) + " bytes reached";
}

bool CLuaSandbox::CallProtectedRaw(int (*fn)(lua_State*), void* ud, int nargs, int nresults) {
    lua_pushcfunction(m_L, fn);
    lua_pushlightuserdata(m_L, ud);
    lua_rotate(m_L, -(nargs + 2), 2);  // the function and its functor go below the arguments
    return lua_pcall(m_L, nargs + 1, nresults, 0) == LUA_OK;
}

void CLuaSandbox::PushStringProtected(std::string_view text) {
    auto push = [text](lua_State* L) {
        lua_pushlstring(L, text.data(), text.size());
        return 1;
    };
    CallProtected(push, 1);
}

int CLuaSandbox::MessageHandler(lua_State* L) {
    CLuaSandbox* self = FromState(L);
    self->m_errorSource.clear();
    self->m_errorLine = 0;
    size_t len = 0;
    const char* text = lua_type(L, 1) == LUA_TSTRING ? lua_tolstring(L, 1, &len) : nullptr;
    if (text == nullptr) {
        // Not a string: say what it is rather than run its __tostring.
        self->m_errorText = std::string("(error object is a ") + luaL_typename(L, 1) + " value)";
    } else if (self->m_memoryRefused && std::string_view(text, len) == kNotEnoughMemory) {
        // A memory error re-raised by the host's own functions.
        self->m_errorText = self->MemoryMessage();
        self->m_errorSource = self->m_refusedSource;
        self->m_errorLine = self->m_refusedLine;
        return 1;
    } else {
        self->m_errorText.assign(text, len);
    }
    // A position Lua put in front of the message names the line; otherwise the innermost Lua code
    // running does.
    lua_Debug ar;
    for (int level = 0; lua_getstack(L, level, &ar); ++level) {
        if (!lua_getinfo(L, "Sl", &ar) || ar.currentline <= 0) continue;
        int line = 0;
        size_t prefix = 0;
        if (SplitPosition(self->m_errorText, ar.short_src, line, prefix)) {
            self->m_errorSource = ar.short_src;
            self->m_errorLine = line;
            self->m_errorText.erase(0, prefix);
            return 1;
        }
        if (self->m_errorLine == 0) {
            self->m_errorSource = ar.short_src;
            self->m_errorLine = ar.currentline;
        }
    }
    return 1;
}

void CLuaSandbox::BeginRun() {
    if (m_depth++ > 0) return;
    m_used = 0;
    m_exhausted = false;
    m_cpuMarkNs = ReadClock(CLOCK_THREAD_CPUTIME_ID);
    m_tickMark = ReadClock(CLOCK_MONOTONIC_COARSE);
    m_usedAtMark = 0;
    m_memoryRefused = false;
    m_refusedSource.clear();
    m_refusedLine = 0;
    lua_sethook(m_L, &CLuaSandbox::CountHook, LUA_MASKCOUNT, kHookInterval);
}

void CLuaSandbox::EndRun() {
    if (--m_depth > 0) return;
    if (m_exhausted) lua_sethook(m_L, &CLuaSandbox::CountHook, LUA_MASKCOUNT, kHookInterval);
    m_exhausted = false;
    // What a failed macro left unreachable goes now, so the next one has the memory back.
    if (m_memoryRefused) lua_gc(m_L, LUA_GCCOLLECT);
}

bool CLuaSandbox::Execute(int nargs, const std::string& label, std::string& error) {
    lua_State* L = m_L;
    const int base = lua_gettop(L) - nargs;
    lua_pushcfunction(L, &CLuaSandbox::MessageHandler);
    lua_insert(L, base);
    m_errorText.clear();
    const int status = lua_pcall(L, nargs, 0, base);
    if (status == LUA_OK) {
        lua_remove(L, base);
        return true;
    }
    if (status == LUA_ERRMEM) {
        error = Compose(label, m_refusedSource, m_refusedLine, MemoryMessage());
    } else if (status == LUA_ERRRUN && !m_errorText.empty()) {
        error = Compose(label, m_errorSource, m_errorLine, m_errorText);
    } else if (m_exhausted) {
        error = Compose(label, m_errorSource, m_errorLine, ExhaustedMessage());
    } else if (m_memoryRefused) {
        error = Compose(label, m_refusedSource, m_refusedLine, MemoryMessage());
    } else {
        error = label + ": the error could not be reported (an error while handling an error)";
    }
    lua_pop(L, 2);  // the error and the handler
    return false;
}

bool CLuaSandbox::Run(std::string_view source, const std::string& label, std::string& error) {
    if (m_L == nullptr) {
        error = label + ": the macro layer could not start (" + MemoryMessage() + ")";
        return false;
    }
    lua_State* L = m_L;
    if (!lua_checkstack(L, 8)) {
        error = label + ": " + MemoryMessage();
        return false;
    }
    BeginRun();
    const std::string chunkName = "=" + label;
    const int status = luaL_loadbufferx(L, source.data(), source.size(), chunkName.c_str(), "t");
    if (status != LUA_OK) {
        if (status == LUA_ERRMEM) {
            error = label + ": " + MemoryMessage();
        } else {
            size_t len = 0;
            const char* text = lua_tolstring(L, -1, &len);  // always a string from the parser
            std::string message = text ? std::string(text, len) : std::string("cannot load");
            int line = 0;
            size_t prefix = 0;
            if (SplitPosition(message, label, line, prefix)) message.erase(0, prefix);
            error = Compose(label, label, line, message);
        }
        lua_pop(L, 1);
        EndRun();
        return false;
    }
    const bool ok = Execute(0, label, error);
    EndRun();
    return ok;
}

bool CLuaSandbox::Call(int nargs, const std::string& label, std::string& error) {
    BeginRun();
    const bool ok = Execute(nargs, label, error);
    EndRun();
    return ok;
}
