// The macro layer's life: the state made for an open document, controls bound as globals, events
// connected, runs, and closing before the controls go.
#include "host/MacroHost.h"

#include <lua.hpp>

#include <cstdio>

#include "host/HostDocument.h"
#include "host/LuaDispatch.h"
#include "host/LuaEventSink.h"
#include "host/LuaVariant.h"
#include "host/MacroHostTable.h"
#include "platform/afx/COleControl.h"
#include "platform/com/ComPtr.h"
#include "platform/com/DispatchTable.h"

namespace {

struct SBoundControl {
    std::string name;
    CComPtr<IDispatch> extended;
};

}  // namespace

CMacroHost::CMacroHost(CHostDocument& document, const SMacroLimits& limits) : m_document(document), m_limits(limits) {
    m_report = [](const std::string& line) { std::fprintf(stderr, "orvex: %s\n", line.c_str()); };
}

CMacroHost::~CMacroHost() {
    Close();
    m_document.SetCloseHook(nullptr);
}

void CMacroHost::SetPrintSink(std::function<void(std::string_view)> sink) {
    m_print = std::move(sink);
    if (m_pSandbox && m_print) m_pSandbox->SetPrintSink(m_print);
}

bool CMacroHost::Start(std::string& error) {
    if (m_pSandbox) return true;
    if (!m_document.IsOpen()) {
        error = "no document is open";
        return false;
    }
    auto sandbox = std::make_unique<CLuaSandbox>(m_limits);
    if (!sandbox->IsValid()) {
        error = "the macro layer could not start (" + sandbox->MemoryMessage() + ")";
        return false;
    }
    if (m_print) sandbox->SetPrintSink(m_print);

    std::vector<SBoundControl> controls;
    for (const std::string& name : m_document.GetControlNames())
        if (CComPtr<IDispatch> extended = m_document.GetExtendedControl(name)) controls.push_back({name, extended});

    auto bind = [&controls, this](lua_State* L) {
        RegisterDispatchObjects(L);
        lua_createtable(L, 0, static_cast<int>(controls.size()));
        for (const SBoundControl& c : controls) {
            lua_pushlstring(L, c.name.data(), c.name.size());
            if (lua_rawget(L, -2) != LUA_TNIL) {  // a repeated name: the first control keeps it
                lua_pop(L, 1);
                continue;
            }
            lua_pop(L, 1);
            PushDispatchObject(L, c.extended.get(), c.name);
            lua_pushlstring(L, c.name.data(), c.name.size());
            lua_pushvalue(L, -2);
            lua_rawset(L, -4);
            // A control whose name is taken by the libraries or the host table is only in
            // host.controls; overwriting `string` or `print` would break every macro.
            lua_rawgeti(L, LUA_REGISTRYINDEX, LUA_RIDX_GLOBALS);
            lua_pushlstring(L, c.name.data(), c.name.size());
            const bool taken = lua_rawget(L, -2) != LUA_TNIL || c.name == "host" || c.name.empty();
            lua_pop(L, 1);
            if (!taken) {
                lua_pushlstring(L, c.name.data(), c.name.size());
                lua_pushvalue(L, -3);
                lua_rawset(L, -3);
            }
            lua_pop(L, 2);  // the globals and the object
        }
        InstallHostTable(L, this);
        return 0;
    };
    m_pSandbox = std::move(sandbox);
    if (!m_pSandbox->CallProtected(bind, 0)) {
        lua_pop(m_pSandbox->GetState(), 1);
        m_pSandbox.reset();
        error = "the macro layer could not start (" + CLuaSandbox::MemoryLimitMessage(m_limits.maxMemoryBytes) + ")";
        return false;
    }
    ConnectEvents();
    m_document.SetCloseHook([this] { Close(); });
    return true;
}

void CMacroHost::ConnectEvents() {
    for (const std::string& name : m_document.GetControlNames()) {
        COleControl* control = m_document.GetControl(name);
        if (control == nullptr) continue;
        CLuaEventSink* sink = CLuaEventSink::Connect(
            *control, [this, name](const DispatchMember& event, const DISPPARAMS& params) { OnEvent(name, event, params); });
        if (sink) m_sinks.push_back(sink);
    }
}

void CMacroHost::OnEvent(const std::string& controlName, const DispatchMember& event, const DISPPARAMS& params) {
    CLuaSandbox* sandbox = m_pSandbox.get();
    // A run whose budget is spent is ending; its handlers would only fail again.
    if (sandbox == nullptr || sandbox->IsExhausted()) return;
    lua_State* L = sandbox->GetState();
    const std::string handler = controlName + "_" + event.name;
    const int nargs = static_cast<int>(params.cArgs);
    if (!lua_checkstack(L, nargs + 8)) {
        m_report("event handler " + handler + ": too many arguments");
        return;
    }
    auto push = [&handler, &params](lua_State* S) {
        lua_rawgeti(S, LUA_REGISTRYINDEX, LUA_RIDX_GLOBALS);
        lua_pushlstring(S, handler.data(), handler.size());
        lua_rawget(S, -2);
        lua_remove(S, -2);
        // Arguments travel last first.
        for (UINT i = 0; i < params.cArgs; ++i) PushVariant(S, params.rgvarg[params.cArgs - 1 - i]);
        return static_cast<int>(1 + params.cArgs);
    };
    if (!sandbox->CallProtected(push, 1 + nargs)) {
        lua_pop(L, 1);
        m_report("event handler " + handler + ": " + sandbox->MemoryMessage());
        return;
    }
    if (lua_type(L, -(nargs + 1)) != LUA_TFUNCTION) {
        lua_pop(L, nargs + 1);  // no handler for this event
        return;
    }
    std::string error;
    ++m_handlerDepth;
    const bool ok = sandbox->Call(nargs, "event handler " + handler, error);
    --m_handlerDepth;
    if (!ok) m_report(error);
}

bool CMacroHost::RunSource(std::string_view source, const std::string& label, std::string& error) {
    if (!Start(error)) {
        error = label + ": " + error;
        return false;
    }
    return m_pSandbox->Run(source, label, error);
}

bool CMacroHost::RunMacro(std::string_view name, std::string& error) {
    const std::string label = "macro " + std::string(name);
    for (const auto& [macroName, source] : m_document.GetMacros())
        if (macroName == name) return RunSource(source, label, error);
    error = label + ": the document has no macro of that name";
    if (m_document.GetMacros().empty()) {
        error += " (it has no macros)";
    } else {
        error += " (its macros:";
        for (const auto& macro : m_document.GetMacros()) error += " " + macro.first;
        error += ")";
    }
    return false;
}

void CMacroHost::Close() {
    for (CLuaEventSink* sink : m_sinks) {
        sink->Disconnect();
        sink->Release();
    }
    m_sinks.clear();
    // Closing the state collects every dispatch object, which gives back its reference.
    m_pSandbox.reset();
}
