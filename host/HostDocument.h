#pragma once
// An open document: its page (a top-level window on a headless surface with its own virtual
// clock), its controls created by ProgID, sited, loaded and activated in document order, the
// container that enumerates them, and the runner API the command line and the macro layer drive
// (pump, render, pixel, mouse, trace, save). One document is open per object; documents nest like
// window managers do (the last opened closes first).
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/DocumentFile.h"
#include "platform/base/WinDef.h"
#include "platform/com/ComPtr.h"
#include "platform/com/Dispatch.h"
#include "platform/win/WinUser.h"

class CBitmap;
class COleControl;
class CWindowManager;
class CWnd;
class CDocumentContainer;
class CControlSite;
class CExtendedControl;

class CHostDocument {
public:
    // A control asked for its property pages (properties verb or right-button release).
    struct SPropertyFrameRequest {
        std::string controlName;
        HWND hWndOwner;
    };

    CHostDocument();
    ~CHostDocument();
    CHostDocument(const CHostDocument&) = delete;
    CHostDocument& operator=(const CHostDocument&) = delete;

    // ---- Opening, saving and closing

    // Opens a document file and works in its folder while it is open. False, with one line in
    // `error`, when the file cannot be read or is not a document; problems with single controls
    // or properties do not fail the open: they are listed by GetMessages.
    bool Open(const std::string& path, std::string& error);
    // Opens a document given as a model; relative file names open against the current folder.
    bool OpenModel(const SDocumentModel& model, std::string& error);
    // Closes Lua (the close hook) first, then deactivates each control, detaches its site and
    // releases it, in document order; the working folder is given back.
    void Close();
    bool IsOpen() const { return m_bOpen; }
    // The document as it is now: each control's properties as its exchange saves them, followed
    // by stored keys the control does not exchange; entries that could not be created are kept
    // as they were read.
    SDocumentModel GetModel();
    // Saves GetModel() (a relative path is relative to the document's folder while it is open).
    bool Save(const std::string& path, std::string& error);

    // Problems found while opening, one line each, naming the control and the property.
    const std::vector<std::string>& GetMessages() const { return m_messages; }
    // Runs first when the document closes (the macro layer closes its Lua state there).
    void SetCloseHook(std::function<void()> hook) { m_closeHook = std::move(hook); }
    // Lua source by macro name, in document order.
    const std::vector<std::pair<std::string, std::string>>& GetMacros() const { return m_model.macros; }

    // ---- Controls

    // Names of the controls that were created, in document order.
    std::vector<std::string> GetControlNames() const;
    // The extended control of the first control of that name (a reference for the caller), or null.
    CComPtr<IDispatch> GetExtendedControl(std::string_view name) const;
    // The control object itself, for code inside the product (tests, the property frame).
    COleControl* GetControl(std::string_view name) const;
    // Property pages asked for so far (modeless headless: the request is recorded, the call that
    // made it returns at once).
    const std::vector<SPropertyFrameRequest>& GetPropertyFrameRequests() const { return m_frameRequests; }

    // ---- Runner: the page surface and the virtual clock

    // Advances the virtual clock by `ms` (to each due timer tick), dispatching and painting after
    // each step; 0 dispatches and paints without advancing time.
    void Pump(DWORD ms);
    // Paints what is invalid, then writes the page to a PNG file.
    bool Render(const std::string& path, std::string& error);
    // Paints what is invalid, then copies the page's pixels into `picture`; false with no page.
    bool CopyPage(CBitmap& picture);
    // Paints what is invalid, then the page colour 0x00BBGGRR at a point; CLR_INVALID outside.
    COLORREF Pixel(int x, int y);
    // True when a window of the page waits to be painted (the next Render or Pixel paints it).
    bool HasInvalidWindows() const;
    // Queues "move", "down", "up", "dblclick", "rdown" or "rup" at page coordinates for the next
    // Pump; false for another action name or with no document open.
    bool Mouse(std::string_view action, int x, int y);
    // The debugger output since the document opened, one line per call, final newline removed.
    const std::vector<std::string>& Trace() const { return m_trace; }
    // The virtual clock in milliseconds.
    uint64_t GetTime() const;
    int GetPageWidth() const { return m_model.pageWidth; }
    int GetPageHeight() const { return m_model.pageHeight; }
    HWND GetPageWindow() const;

private:
    struct SEntry;
    struct SWorkingFolder;
    class CTraceSink;

    bool OpenPrepared(std::string& error);
    void CreateControl(SEntry& entry, size_t index);
    SEntry* FindEntry(std::string_view name) const;

    bool m_bOpen = false;
    SDocumentModel m_model;
    std::vector<std::unique_ptr<SEntry>> m_entries;
    std::vector<std::string> m_messages;
    std::vector<std::string> m_trace;
    std::vector<SPropertyFrameRequest> m_frameRequests;
    std::function<void()> m_closeHook;
    std::function<BOOL(COleControl&, HWND)> m_previousFrameHook;
    std::unique_ptr<CWindowManager> m_pWindowManager;
    std::unique_ptr<CWnd> m_pPage;
    CDocumentContainer* m_pContainer = nullptr;
    std::unique_ptr<SWorkingFolder> m_pFolder;
    std::unique_ptr<CTraceSink> m_pTraceSink;
};
