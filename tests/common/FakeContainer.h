#pragma once
// A small container document for the control tests: a container that enumerates its objects in
// the order they were placed, a client site with a control site per object, and the extended
// control a real container wraps around each control (its name as property 0x80010000, every
// other member passed on). Header-only so that each test program takes it without a library.
#include <string>
#include <utility>
#include <vector>

#include "common/FakeDispatch.h"
#include "platform/com/Dispatch.h"
#include "platform/com/DispatchTable.h"
#include "platform/com/ComObject.h"
#include "platform/com/EnumUnknown.h"
#include "platform/com/OleInterfaces.h"

// How an extended control treats what it does not answer itself.
struct FakeExtenderBehaviour {
    // false: reading the name fails, as in a container that names nothing.
    bool hasName = true;
    // true: ids of the extender's own range other than the name go to the control as well, as an
    // extended control that knows fewer members than the control asks it for; the control then
    // meets its own forwarded request again.
    bool passesExtenderIds = false;
};

// The extended control: the name as property 0x80010000 (also by name through GetIDsOfNames),
// the control's own interface ids answered with itself, every other member passed on to the
// control. The control is borrowed: the document holds it and detaches the extender first.
class CFakeExtender final : public CFakeDispatchNoTypeInfo, private CComRefCount {
public:
    CFakeExtender(IDispatch* target, std::vector<IID> iids, std::string name, FakeExtenderBehaviour behaviour = {})
        : m_name(std::move(name)),
          m_bHasName(behaviour.hasName),
          m_bPassesExtenderIds(behaviour.passesExtenderIds),
          m_target(target),
          m_iids(std::move(iids)) {}

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        bool answered = riid == IID_IUnknown || riid == IID_IDispatch;
        for (const IID& iid : m_iids) answered = answered || riid == iid;
        return answered ? fake::Answer(static_cast<IDispatch*>(this), ppv) : fake::NoInterface(ppv);
    }
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override {
        if (m_bHasName && count == 1 && DispatchNamesEqual(names[0], "Name")) {
            ids[0] = DISPID_Name;
            return S_OK;
        }
        if (m_target == nullptr) return DISP_E_UNKNOWNNAME;
        return m_target->GetIDsOfNames(riid, names, count, lcid, ids);
    }
    HRESULT Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* info, UINT* argErr) override {
        if (id == DISPID_Name && (flags & DISPATCH_PROPERTYGET)) {
            if (!m_bHasName) return DISP_E_MEMBERNOTFOUND;
            return fake::AnswerName(m_name, result);
        }
        if (m_target == nullptr || (IsExtenderDispid(id) && !m_bPassesExtenderIds)) return DISP_E_MEMBERNOTFOUND;
        return m_target->Invoke(id, riid, lcid, flags, params, result, info, argErr);
    }

    // The control goes before the document lets go of the extender.
    void Detach() { m_target = nullptr; }

    std::string m_name;
    bool m_bHasName;
    bool m_bPassesExtenderIds;

private:
    ~CFakeExtender() override = default;
    IDispatch* m_target;
    std::vector<IID> m_iids;
};

// The container: its objects in the order they were placed, each held until Clear.
class CFakeContainer final : public IOleContainer, private CComRefCount {
public:
    CFakeContainer() = default;
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IOleContainer)
            return fake::Answer(static_cast<IOleContainer*>(this), ppv);
        return fake::NoInterface(ppv);
    }
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    HRESULT EnumObjects(DWORD flags, IEnumUnknown** ppenum) override {
        if (ppenum == nullptr) return E_POINTER;
        m_lastFlags = flags;
        *ppenum = nullptr;
        if (m_bFailEnum) return E_FAIL;
        return CEnumUnknown::Create(m_objects, ppenum);
    }

    void Add(IUnknown* object) {
        object->AddRef();
        m_objects.push_back(object);
    }
    void Clear() {
        std::vector<IUnknown*> objects;
        objects.swap(m_objects);
        for (IUnknown* o : objects) o->Release();
    }

    bool m_bFailEnum = false;  // enumeration fails
    DWORD m_lastFlags = 0;     // what the last enumeration asked for

private:
    ~CFakeContainer() override { Clear(); }
    std::vector<IUnknown*> m_objects;
};

// A client site with its control site; it hands out the container and the extended control.
class CFakeSite final : public IOleClientSite, public IOleControlSite, private CComRefCount {
public:
    CFakeSite(CFakeContainer* container, CFakeExtender* extender) : m_container(container), m_extender(extender) {
        m_container->AddRef();
        m_extender->AddRef();
    }
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IOleClientSite)
            return fake::Answer(static_cast<IOleClientSite*>(this), ppv);
        if (riid == IID_IOleControlSite) return fake::Answer(static_cast<IOleControlSite*>(this), ppv);
        return fake::NoInterface(ppv);
    }
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    HRESULT GetContainer(IOleContainer** ppContainer) override {
        if (ppContainer == nullptr) return E_POINTER;
        *ppContainer = nullptr;
        if (m_bFailGetContainer || m_container == nullptr) return E_NOINTERFACE;
        return fake::Answer(static_cast<IOleContainer*>(m_container), reinterpret_cast<void**>(ppContainer));
    }
    HRESULT GetExtendedControl(IDispatch** ppDisp) override {
        if (ppDisp == nullptr) return E_POINTER;
        *ppDisp = nullptr;
        if (m_extender == nullptr) return E_NOTIMPL;
        return fake::Answer(static_cast<IDispatch*>(m_extender), reinterpret_cast<void**>(ppDisp));
    }

    CFakeExtender* GetExtender() const { return m_extender; }
    // Lets go of the container and the extended control (breaks the document's cycles).
    void Detach() {
        if (CFakeContainer* c = std::exchange(m_container, nullptr)) c->Release();
        if (CFakeExtender* e = std::exchange(m_extender, nullptr)) {
            e->Detach();
            e->Release();
        }
    }

    bool m_bFailGetContainer = false;  // the site cannot reach its container

private:
    ~CFakeSite() override { Detach(); }
    CFakeContainer* m_container;
    CFakeExtender* m_extender;
};

// A document: a container whose embedded objects each get a site and an extended control.
class CFakeDocument {
public:
    CFakeDocument() : m_container(new CFakeContainer) {}
    ~CFakeDocument() { Close(); }
    CFakeDocument(const CFakeDocument&) = delete;
    CFakeDocument& operator=(const CFakeDocument&) = delete;

    // Places an object under a name; its extended control answers the ids given. An object with
    // IOleObject gets the site as its client site. Returns the site.
    CFakeSite* AddControl(IUnknown* object, const std::string& name, std::vector<IID> iids,
                          FakeExtenderBehaviour behaviour = {}) {
        void* pv = nullptr;
        object->QueryInterface(IID_IDispatch, &pv);
        auto* disp = static_cast<IDispatch*>(pv);
        auto* extender = new CFakeExtender(disp, std::move(iids), name, behaviour);
        if (disp) disp->Release();  // borrowed: the document holds the object below
        auto* site = new CFakeSite(m_container, extender);
        object->AddRef();
        m_entries.push_back({object, site, extender});
        m_container->Add(object);
        if (IOleObject* ole = OleObjectOf(object)) {
            ole->SetClientSite(site);
            ole->Release();
        }
        return site;
    }
    // Places an object that is not an embedded control: no site, only enumerated.
    void AddOther(IUnknown* object) { m_container->Add(object); }
    // Takes every site away from its object and lets go of everything.
    void Close() {
        std::vector<Entry> entries;
        entries.swap(m_entries);
        for (Entry& e : entries) {
            if (IOleObject* ole = OleObjectOf(e.object)) {
                ole->SetClientSite(nullptr);
                ole->Release();
            }
            e.site->Detach();
            e.site->Release();
            e.extender->Release();
            e.object->Release();
        }
        if (m_container) {
            m_container->Clear();
            std::exchange(m_container, nullptr)->Release();
        }
    }

    CFakeContainer* GetContainer() const { return m_container; }
    CFakeSite* LastSite() const { return m_entries.empty() ? nullptr : m_entries.back().site; }

private:
    static IOleObject* OleObjectOf(IUnknown* object) {
        void* pv = nullptr;
        return SUCCEEDED(object->QueryInterface(IID_IOleObject, &pv)) ? static_cast<IOleObject*>(pv) : nullptr;
    }
    struct Entry {
        IUnknown* object;
        CFakeSite* site;
        CFakeExtender* extender;
    };
    CFakeContainer* m_container;
    std::vector<Entry> m_entries;
};
