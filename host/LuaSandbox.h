#pragma once
// The Lua state macros run in: only the safe parts of the base, string, table, math and utf8
// libraries, text chunks only, an instruction budget and a memory cap. Every run ends with one
// message naming what ran ("macro Animate", "script turn.lua") and the line, whatever went wrong.
//
// Lua reports errors with longjmp, which skips C++ destructors. Code that calls into Lua while it
// holds C++ objects does so through CallProtected, and raises the resulting error only after those
// objects are gone.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

struct lua_State;

// The functor CallProtected passed, taken off the stack (an implementation detail).
void* LuaSandboxTakeFunctor(lua_State* L);

// Defaults of the limits; `orvex run --max-instructions N --max-memory MB` change them.
constexpr uint64_t kDefaultMaxInstructions = 100'000'000;
constexpr size_t kDefaultMaxMemoryMB = 64;

// What a call on the host table or a control costs at least, in instructions of the budget.
constexpr uint64_t kHostCallCost = 1000;

struct SMacroLimits {
    // Lua VM instructions (and charges for work done in C and C++) per run of a macro or script.
    uint64_t maxInstructions = kDefaultMaxInstructions;
    // Bytes the Lua state may hold at once; the allocator refuses past it.
    size_t maxMemoryBytes = kDefaultMaxMemoryMB * 1024 * 1024;
};

class CLuaSandbox {
public:
    explicit CLuaSandbox(const SMacroLimits& limits);
    ~CLuaSandbox();
    CLuaSandbox(const CLuaSandbox&) = delete;
    CLuaSandbox& operator=(const CLuaSandbox&) = delete;

    // False when the state could not be made (the memory cap is too small for the libraries).
    bool IsValid() const { return m_L != nullptr; }
    lua_State* GetState() const { return m_L; }
    const SMacroLimits& GetLimits() const { return m_limits; }
    // The sandbox a state belongs to.
    static CLuaSandbox* FromState(lua_State* L);

    // Where `print` writes (standard output unless set).
    void SetPrintSink(std::function<void(std::string_view)> sink) { m_print = std::move(sink); }
    // Writes one line of `print` output.
    void Print(std::string_view line);

    // Loads `source` as a text chunk named `label` and runs it with a fresh budget. False with one
    // line in `error`: "<label>, line <n>: <what went wrong>".
    bool Run(std::string_view source, const std::string& label, std::string& error);
    // Calls the function below its `nargs` arguments on the stack (both are popped). Inside a run
    // it shares the run's budget; on its own it gets a fresh one. Errors as for Run.
    bool Call(int nargs, const std::string& label, std::string& error);
    // True while Lua code runs (a run, or a call made from C++).
    bool IsRunning() const { return m_depth > 0; }

    // Charges work done outside the VM against the budget; false once the budget is spent (the
    // caller then raises ExhaustedMessage()).
    bool Charge(uint64_t cost);
    bool IsExhausted() const { return m_exhausted; }
    std::string ExhaustedMessage() const;
    std::string MemoryMessage() const { return MemoryLimitMessage(m_limits.maxMemoryBytes); }
    // "memory limit of 64 MB reached".
    static std::string MemoryLimitMessage(size_t maxMemoryBytes);

    // Runs fn(L) in protected mode, in a frame of its own whose stack holds the `nargs` values
    // taken from the top of the caller's stack. Its Lua errors (memory included) are caught: on
    // failure the error value is left on the stack and false is returned; on success fn's
    // `nresults` results are. fn must hold nothing that needs a destructor.
    template <class Fn>
    bool CallProtected(Fn& fn, int nresults, int nargs = 0) {
        return CallProtectedRaw(&Trampoline<Fn>, &fn, nargs, nresults);
    }
    // Pushes a string in protected mode (the memory error takes its place on failure).
    void PushStringProtected(std::string_view text);
    // Charges `cost` or raises the budget's error (from a C function Lua called). A state that is
    // no sandbox's (a test's plain state) has no budget and is not charged.
    static void ChargeOrRaise(lua_State* L, uint64_t cost);
    // Wraps every function of the table at `index` so each call is charged `cost` first.
    static void ChargeEachCall(lua_State* L, int index, uint64_t cost);

private:
    template <class Fn>
    static int Trampoline(lua_State* L);
    static void* Allocate(void* ud, void* ptr, size_t osize, size_t nsize);
    static void CountHook(lua_State* L, struct lua_Debug* ar);
    static int MessageHandler(lua_State* L);
    bool CallProtectedRaw(int (*fn)(lua_State*), void* ud, int nargs, int nresults);
    void OpenLibraries();
    bool Execute(int nargs, const std::string& label, std::string& error);
    void RecordMemoryRefusal();
    void BeginRun();
    void EndRun();
    // Charges the CPU time since the last look beyond what was charged meanwhile; false once
    // the budget is spent.
    bool ChargeCpuTime();

    SMacroLimits m_limits;
    lua_State* m_L = nullptr;
    std::function<void(std::string_view)> m_print;
    size_t m_memoryUsed = 0;
    // Where the allocator last refused, found from the running Lua code.
    std::string m_refusedSource;
    int m_refusedLine = 0;
    bool m_memoryRefused = false;
    uint64_t m_used = 0;
    bool m_exhausted = false;
    int m_depth = 0;
    // Where the CPU time was last looked at: the thread's CPU time, the coarse clock's tick and
    // the budget used then.
    uint64_t m_cpuMarkNs = 0;
    uint64_t m_tickMark = 0;
    uint64_t m_usedAtMark = 0;
    // What the message handler found for the error being raised.
    std::string m_errorSource;
    int m_errorLine = 0;
    std::string m_errorText;
};

// Implementation detail of CallProtected: calls the functor passed as light userdata.
template <class Fn>
int CLuaSandbox::Trampoline(lua_State* L) {
    Fn* fn = static_cast<Fn*>(LuaSandboxTakeFunctor(L));
    return (*fn)(L);
}
