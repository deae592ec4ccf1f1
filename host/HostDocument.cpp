// Opening and closing documents: controls created, sited, loaded and activated in the platform's
// order, and taken down again without leaving a COM object alive.
#include "host/HostDocument.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "host/ControlAccess.h"
#include "host/ControlSite.h"
#include "host/DocumentContainer.h"
#include "host/ExtendedControl.h"
#include "host/PageWnd.h"
#include "host/PropertyFrame.h"
#include "module/EntryPoints.h"
#include "module/OrvexViewerApp.h"
#include "host/StoredPropertyBag.h"
#include "platform/afx/COleControl.h"
#include "platform/afx/COleObjectFactory.h"
#include "platform/afx/DebugOutput.h"
#include "platform/win/CWindowManager.h"

// One control of the document. `control` is null for an entry that could not be created; the
// entry is kept so that saving does not lose it.
struct CHostDocument::SEntry {
    SDocumentControl stored;
    IUnknown* unknown = nullptr;  // our reference to the control
    COleControl* control = nullptr;
    CControlSite* site = nullptr;
    CExtendedControl* extended = nullptr;
    // What the control saved once the document had opened: a property it still saves the same
    // way is unchanged, and saving writes the file's own value for it.
    std::vector<SStoredProperty> baseline;
    bool hasBaseline = false;
};

// The folder the process worked in before the document opened, given back on close.
struct CHostDocument::SWorkingFolder {
    std::filesystem::path previous;
    bool changed = false;
};

// Collects the debugger output for Trace() and passes it on to the sink that was there before
// (stderr with --trace), which it puts back when the document closes.
class CHostDocument::CTraceSink {
public:
    explicit CTraceSink(std::vector<std::string>* lines) {
        m_previous = SetDebugOutputSink([lines, this](const char* text) {
            std::string line = text ? text : "";
            if (!line.empty() && line.back() == '\n') line.pop_back();
            lines->push_back(std::move(line));
            if (m_previous) m_previous(text);
        });
    }
    ~CTraceSink() { SetDebugOutputSink(std::move(m_previous)); }
    CTraceSink(const CTraceSink&) = delete;
    CTraceSink& operator=(const CTraceSink&) = delete;

private:
    DebugOutputSink m_previous;
};

CHostDocument::CHostDocument() = default;

CHostDocument::~CHostDocument() { Close(); }

bool CHostDocument::Open(const std::string& path, std::string& error) {
    if (m_bOpen) Close();
    m_messages.clear();
    SDocumentModel model;
    if (!LoadDocumentFile(path, model, error, m_messages)) return false;
    m_model = std::move(model);

    auto folder = std::make_unique<SWorkingFolder>();
    std::error_code ec;
    folder->previous = std::filesystem::current_path(ec);
    std::filesystem::path dir = std::filesystem::path(path).parent_path();
    if (!ec && !dir.empty()) {
        std::filesystem::current_path(dir, ec);
        if (ec) {
            error = path + ": cannot work in the document's folder (" + ec.message() + ")";
            return false;
        }
        folder->changed = true;
    }
    m_pFolder = std::move(folder);
    return OpenPrepared(error);
}

bool CHostDocument::OpenModel(const SDocumentModel& model, std::string& error) {
    if (m_bOpen) Close();
    m_messages.clear();
    if (model.pageWidth < 1 || model.pageHeight < 1 || model.pageWidth > kMaxPageExtent ||
        model.pageHeight > kMaxPageExtent) {
        error = "page: width and height must be from 1 to " + std::to_string(kMaxPageExtent);
        return false;
    }
    m_model = model;
    return OpenPrepared(error);
}

bool CHostDocument::OpenPrepared(std::string& error) {
    // The container loads the module before it creates any of its controls.
    if (!LoadOrvexModule()) {
        error = "the control module could not be started";
        return false;
    }
    m_trace.clear();
    m_frameRequests.clear();
    m_pTraceSink = std::make_unique<CTraceSink>(&m_trace);
    m_pWindowManager = std::make_unique<CWindowManager>();
    m_bOpen = true;

    auto page = std::make_unique<CPageWnd>();
    if (!page->CreatePage(m_model.pageWidth, m_model.pageHeight)) {
        error = "cannot create a page of " + std::to_string(m_model.pageWidth) + "x" +
                std::to_string(m_model.pageHeight) + " pixels";
        Close();
        return false;
    }
    m_pPage = std::move(page);
    m_pContainer = CDocumentContainer::Create();

    // The document opened before this one gets its hook back when this one closes.
    m_previousFrameHook = COleControl::SetPropertyFrameHook([this](COleControl& control, HWND hWndOwner) -> BOOL {
        std::string name;
        for (const auto& e : m_entries)
            if (e->control == &control) name = e->stored.name;
        m_frameRequests.push_back({name, hWndOwner});
        return OpenPropertyFrame(control.GetControllingUnknown(), name);
    });

    uint64_t picturePixels = static_cast<uint64_t>(m_model.pageWidth) * static_cast<uint64_t>(m_model.pageHeight);
    for (size_t i = 0; i < m_model.controls.size(); ++i) {
        m_entries.push_back(std::make_unique<SEntry>());
        m_entries.back()->stored = m_model.controls[i];
        const CRect& r = m_model.controls[i].rect;
        const uint64_t pixels = kPicturesPerControl * static_cast<uint64_t>(std::max(0, r.Width())) *
                                static_cast<uint64_t>(std::max(0, r.Height()));
        if (picturePixels + pixels > kPictureBudgetPixels) {
            m_messages.push_back("controls[" + std::to_string(i) + "] (\"" + m_model.controls[i].name + "\"): " +
                                 std::to_string(r.Width()) + "x" + std::to_string(r.Height()) +
                                 " pixels do not fit the memory budget for pictures (" +
                                 std::to_string(kPictureBudgetPixels) +
                                 " pixels, 1 GiB, for the page and its controls in all); the control is left out");
            continue;
        }
        picturePixels += pixels;
        CreateControl(*m_entries.back(), i);
    }
    // A container shows a document it opens.
    m_pWindowManager->Pump(0);
    return true;
}

namespace {

// The properties a control saves now, or nothing when it cannot save.
bool SaveProperties(COleControl& control, std::vector<SStoredProperty>& out) {
    CStoredPropertyBag* bag = CStoredPropertyBag::Create({}, {});
    if (bag == nullptr) return false;
    const bool ok = SUCCEEDED(control.Save(bag, FALSE, TRUE));
    if (ok) out = bag->GetProperties();
    bag->Release();
    return ok;
}

const SStoredProperty* FindProperty(const std::vector<SStoredProperty>& properties, const std::string& name) {
    const SStoredProperty* found = nullptr;
    for (const SStoredProperty& p : properties)
        if (p.name == name) found = &p;  // the last of repeated keys, as reading takes it
    return found;
}

}  // namespace

void CHostDocument::CreateControl(SEntry& entry, size_t index) {
    const SDocumentControl& stored = entry.stored;
    std::string where = "controls[" + std::to_string(index) + "] (\"" + stored.name + "\")";
    void* pv = nullptr;
    // The module's own classes come through its class factories, as a container creates them;
    // other classes on the factory list (a host's own controls) directly.
    HRESULT hr = OrvexCreateInstance(stored.progId, IID_IUnknown, &pv);
    if (FAILED(hr) || pv == nullptr) hr = COleObjectFactory::CreateInstanceByProgID(stored.progId, IID_IUnknown, &pv);
    if (FAILED(hr) || pv == nullptr) {
        m_messages.push_back(where + ": unknown ProgID \"" + stored.progId + "\"; the control is left out");
        return;
    }
    entry.unknown = static_cast<IUnknown*>(pv);

    CComPtr<IDispatch> dispatch;
    {
        void* pDispatch = nullptr;
        if (SUCCEEDED(entry.unknown->QueryInterface(IID_IDispatch, &pDispatch)))
            dispatch.Attach(static_cast<IDispatch*>(pDispatch));
    }
    entry.control = dispatch ? dynamic_cast<COleControl*>(dispatch.get()) : nullptr;
    if (entry.control == nullptr) {
        m_messages.push_back(where + ": \"" + stored.progId + "\" is not a control; it is left out");
        entry.unknown->Release();
        entry.unknown = nullptr;
        return;
    }
    COleControl& control = *entry.control;

    // The site first, so the control knows its container and name while it loads.
    entry.extended = CExtendedControl::Create(dispatch.get(), stored.name, GetControlDispatchIid(control),
                                              GetControlEventIid(control));
    entry.site = entry.extended ? CControlSite::Create(m_pContainer, entry.extended) : nullptr;
    if (entry.site == nullptr) {
        m_messages.push_back(where + ": out of memory; the control is left out");
        if (entry.extended) entry.extended->Release();
        entry.extended = nullptr;
        entry.unknown->Release();
        entry.unknown = nullptr;
        entry.control = nullptr;
        return;
    }
    m_pContainer->AddObject(entry.unknown);
    control.SetClientSite(static_cast<IOleClientSite*>(entry.site));
    control.SetControlSize(stored.rect.Width(), stored.rect.Height());

    // Then the stored properties. A missing key takes its stored default, unless an earlier key
    // changed it (a FileName whose file sets the view and animation limits): a control made from a
    // file looks as after loading that file.
    if (CStoredPropertyBag* bag = CStoredPropertyBag::Create(stored.properties, where)) {
        bag->FollowControl(dispatch.get());
        if (FAILED(control.Load(bag))) m_messages.push_back(where + ": the stored properties could not be loaded");
        for (const std::string& problem : bag->GetProblems()) m_messages.push_back(problem);
        bag->Release();
    }
    // What the control makes of the file, before its window exists (saving has no side effects
    // yet): the measure of "unchanged" when the document is saved.
    entry.hasBaseline = SaveProperties(control, entry.baseline);

    // Then the window, so a stored animation resumes when it is created.
    if (!control.ActivateInPlace(m_pPage.get(), stored.rect))
        m_messages.push_back(where + ": the control's window could not be created");
}

void CHostDocument::Close() {
    if (!m_bOpen) return;
    // Lua goes first: its references to the controls must go before the controls do.
    if (m_closeHook) {
        auto hook = std::move(m_closeHook);
        m_closeHook = nullptr;
        hook();
    }
    // An open property frame holds references to the controls: it closes (as Cancel) before them.
    ClosePropertyFrame();
    for (auto& entry : m_entries) {
        if (entry->control == nullptr) continue;
        entry->control->DeactivateInPlace();
        entry->control->SetClientSite(nullptr);
        entry->site->Detach();
        entry->site->Release();
        entry->extended->Release();
        entry->site = nullptr;
        entry->extended = nullptr;
        entry->control = nullptr;
        m_pContainer->RemoveObject(entry->unknown);
        entry->unknown->Release();
        entry->unknown = nullptr;
    }
    m_entries.clear();
    COleControl::SetPropertyFrameHook(std::move(m_previousFrameHook));
    m_previousFrameHook = nullptr;
    if (m_pContainer) {
        m_pContainer->Clear();
        m_pContainer->Release();
        m_pContainer = nullptr;
    }
    if (m_pPage) {
        m_pPage->DestroyWindow();
        m_pPage.reset();
    }
    m_pWindowManager.reset();
    m_pTraceSink.reset();
    if (m_pFolder && m_pFolder->changed) {
        std::error_code ec;
        std::filesystem::current_path(m_pFolder->previous, ec);
    }
    m_pFolder.reset();
    m_bOpen = false;
}



SDocumentModel CHostDocument::GetModel() {
    SDocumentModel model;
    model.pageWidth = m_model.pageWidth;
    model.pageHeight = m_model.pageHeight;
    model.macros = m_model.macros;
    model.source = m_model.source;
    for (const auto& entry : m_entries) {
        SDocumentControl stored = entry->stored;
        std::vector<SStoredProperty> saved;
        if (entry->control != nullptr && SaveProperties(*entry->control, saved)) {
            // A property the control saves as it saved it when the document had opened is
            // unchanged: the file's value stays (and one the file did not have stays out), so
            // saving an unchanged document writes what it read. Keys the control does not
            // exchange are kept, so saving loses nothing.
            auto changed = [&entry](const SStoredProperty& now) {
                const SStoredProperty* before = entry->hasBaseline ? FindProperty(entry->baseline, now.name) : nullptr;
                return before == nullptr || !SameStoredValue(before->value, now.value);
            };
            std::vector<SStoredProperty> merged;
            for (const SStoredProperty& p : stored.properties) {
                const SStoredProperty* now = FindProperty(saved, p.name);
                merged.push_back(now != nullptr && changed(*now) ? SStoredProperty{p.name, now->value} : p);
            }
            for (const SStoredProperty& now : saved)
                if (FindProperty(stored.properties, now.name) == nullptr && changed(now)) merged.push_back(now);
            stored.properties = std::move(merged);
        }
        model.controls.push_back(std::move(stored));
    }
    return model;
}

bool CHostDocument::Save(const std::string& path, std::string& error) {
    if (!m_bOpen) {
        error = path + ": no document is open";
        return false;
    }
    return SaveDocumentFile(path, GetModel(), error);
}

std::vector<std::string> CHostDocument::GetControlNames() const {
    std::vector<std::string> names;
    for (const auto& entry : m_entries)
        if (entry->control) names.push_back(entry->stored.name);
    return names;
}

CHostDocument::SEntry* CHostDocument::FindEntry(std::string_view name) const {
    for (const auto& entry : m_entries)
        if (entry->control && entry->stored.name == name) return entry.get();
    return nullptr;
}

CComPtr<IDispatch> CHostDocument::GetExtendedControl(std::string_view name) const {
    SEntry* entry = FindEntry(name);
    return entry ? CComPtr<IDispatch>(entry->extended) : CComPtr<IDispatch>();
}

COleControl* CHostDocument::GetControl(std::string_view name) const {
    SEntry* entry = FindEntry(name);
    return entry ? entry->control : nullptr;
}
