#pragma once
// The macro layer of an open document: one sandboxed Lua state in which every control is a global
// named by its container name (and `host.controls[name]`) wrapping its extended control, events
// call `<control name>_<event name>` functions, and the `host` table drives the page (pump, render,
// pixel, mouse, trace, save). Macros and scripts run in it one after another and share its globals.
// A failed run ends with one message naming it and the line; what it changed stays, and the
// document and later runs stay usable.
//
// The layer closes itself when the document closes (through the document's close hook), before
// the controls go. It must not outlive the document.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/LuaSandbox.h"

class CHostDocument;
class CLuaEventSink;
struct DispatchMember;
struct DISPPARAMS;

class CMacroHost {
public:
    explicit CMacroHost(CHostDocument& document, const SMacroLimits& limits = {});
    ~CMacroHost();
    CMacroHost(const CMacroHost&) = delete;
    CMacroHost& operator=(const CMacroHost&) = delete;

    // Makes the Lua state for the open document. Runs start it when needed; false with one line
    // in `error` when there is no open document or the state cannot be made.
    bool Start(std::string& error);
    // Runs the document's macro of that name ("macro NAME" in messages).
    bool RunMacro(std::string_view name, std::string& error);
    // Runs Lua source under a label ("script turn.lua").
    bool RunSource(std::string_view source, const std::string& label, std::string& error);
    // Disconnects the events and closes the state, giving back every reference it held.
    void Close();
    bool IsStarted() const { return m_pSandbox != nullptr; }

    // Where `print` writes (standard output unless set).
    void SetPrintSink(std::function<void(std::string_view)> sink);
    // Where errors of event handlers are reported (standard error unless set); they do not end
    // the run that was going on.
    void SetReportSink(std::function<void(const std::string&)> sink) { m_report = std::move(sink); }

    CHostDocument& GetDocument() { return m_document; }
    CLuaSandbox* GetSandbox() { return m_pSandbox.get(); }
    // True while an event handler runs (host.pump refuses then).
    bool InEventHandler() const { return m_handlerDepth > 0; }

private:
    void ConnectEvents();
    void OnEvent(const std::string& controlName, const DispatchMember& event, const DISPPARAMS& params);

    CHostDocument& m_document;
    SMacroLimits m_limits;
    std::unique_ptr<CLuaSandbox> m_pSandbox;
    std::vector<CLuaEventSink*> m_sinks;
    std::function<void(std::string_view)> m_print;
    std::function<void(const std::string&)> m_report;
    int m_handlerDepth = 0;
};
