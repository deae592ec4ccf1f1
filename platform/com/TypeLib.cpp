#include "platform/com/TypeLib.h"

#include <cassert>
#include <new>
#include <sstream>

#include "platform/com/ComObject.h"

namespace {

// ITypeInfo over one entry of a library (or over a lone dispatch interface).
class CTypeInfo final : public ITypeInfo, private CComRefCount {
public:
    CTypeInfo(const CTypeLibrary::Entry& entry, WORD major, WORD minor)
        : m_entry(entry), m_major(major), m_minor(minor) {}

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override {
        if (ppvObject == nullptr) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_ITypeInfo) {
            *ppvObject = static_cast<ITypeInfo*>(this);
            AddRef();
            return S_OK;
        }
        *ppvObject = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }

    HRESULT GetTypeAttr(TYPEATTR* pTypeAttr) override {
        if (pTypeAttr == nullptr) return E_POINTER;
        *pTypeAttr = TYPEATTR{};
        pTypeAttr->guid = m_entry.GetGuid();
        pTypeAttr->typekind = m_entry.kind;
        pTypeAttr->wMajorVerNum = m_major;
        pTypeAttr->wMinorVerNum = m_minor;
        if (m_entry.kind == TKIND_COCLASS) {
            pTypeAttr->cImplTypes = m_entry.cls.defaultSource ? 2 : 1;
        } else {
            for (const DispatchMember& m : m_entry.iface->GetMembers())
                ++(m.IsProperty() ? pTypeAttr->cVars : pTypeAttr->cFuncs);
        }
        return S_OK;
    }

    HRESULT GetDocumentation(MEMBERID memid, BSTR* pBstrName, BSTR* pBstrDocString, DWORD* pdwHelpContext,
                             BSTR* pBstrHelpFile) override {
        std::string name, doc;
        if (memid == MEMBERID_NIL) {
            name = m_entry.GetName();
            doc = m_entry.kind == TKIND_COCLASS ? m_entry.cls.help : m_entry.iface->GetHelp();
        } else {
            const DispatchMember* m = FindMember(memid);
            if (m == nullptr) return TYPE_E_ELEMENTNOTFOUND;
            name = m->name;
            doc = m->help;
        }
        if (pBstrName) *pBstrName = SysAllocStringFrom(name);
        if (pBstrDocString) *pBstrDocString = SysAllocStringFrom(doc);
        if (pdwHelpContext) *pdwHelpContext = 0;
        if (pBstrHelpFile) *pBstrHelpFile = nullptr;
        return S_OK;
    }

    HRESULT GetNames(MEMBERID memid, BSTR* rgBstrNames, UINT cMaxNames, UINT* pcNames) override {
        if (rgBstrNames == nullptr || pcNames == nullptr) return E_POINTER;
        const DispatchMember* m = FindMember(memid);
        if (m == nullptr) return TYPE_E_ELEMENTNOTFOUND;
        UINT n = 0;
        if (n < cMaxNames) rgBstrNames[n++] = SysAllocString(m->name);
        for (const DispatchParam& p : m->params)
            if (n < cMaxNames) rgBstrNames[n++] = SysAllocString(p.name);
        *pcNames = n;
        return S_OK;
    }

    HRESULT GetIDsOfNames(LPOLESTR* rgszNames, UINT cNames, MEMBERID* pMemId) override {
        if (m_entry.kind != TKIND_DISPATCH) return DISP_E_UNKNOWNNAME;
        return m_entry.iface->GetIDsOfNames(rgszNames, cNames, pMemId);
    }

    HRESULT GetMemberIdOfIndex(UINT index, MEMBERID* pMemId) override {
        if (pMemId == nullptr) return E_POINTER;
        if (m_entry.kind != TKIND_DISPATCH) return TYPE_E_ELEMENTNOTFOUND;
        const auto& order = m_entry.iface->GetDeclarationOrder();
        if (index >= order.size()) return TYPE_E_ELEMENTNOTFOUND;
        *pMemId = order[index];
        return S_OK;
    }

    const CDispatchInterface* GetDispatchInterface() override {
        return m_entry.kind == TKIND_DISPATCH ? m_entry.iface : nullptr;
    }

private:
    ~CTypeInfo() override = default;
    const DispatchMember* FindMember(MEMBERID memid) const {
        return m_entry.kind == TKIND_DISPATCH ? m_entry.iface->Find(memid) : nullptr;
    }
    CTypeLibrary::Entry m_entry;
    WORD m_major;
    WORD m_minor;
};

HRESULT MakeTypeInfo(const CTypeLibrary::Entry& entry, WORD major, WORD minor, ITypeInfo** ppTInfo) {
    if (ppTInfo == nullptr) return E_POINTER;
    *ppTInfo = new (std::nothrow) CTypeInfo(entry, major, minor);
    return *ppTInfo ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

CTypeLibrary::CTypeLibrary(const char* name, const GUID& libid, WORD majorVersion, WORD minorVersion, const char* help)
    : m_name(name), m_libid(libid), m_major(majorVersion), m_minor(minorVersion), m_help(help) {}

void CTypeLibrary::AddInterface(const CDispatchInterface& iface) {
    m_entries.push_back(Entry{TKIND_DISPATCH, &iface, TypeLibClass{}});
}

void CTypeLibrary::AddClass(const TypeLibClass& cls) {
    assert(cls.defaultInterface != nullptr);
    m_entries.push_back(Entry{TKIND_COCLASS, nullptr, cls});
}

HRESULT CTypeLibrary::GetTypeInfo(UINT index, ITypeInfo** ppTInfo) const {
    if (ppTInfo == nullptr) return E_POINTER;
    *ppTInfo = nullptr;
    if (index >= m_entries.size()) return TYPE_E_ELEMENTNOTFOUND;
    return MakeTypeInfo(m_entries[index], m_major, m_minor, ppTInfo);
}

HRESULT CTypeLibrary::GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** ppTInfo) const {
    if (ppTInfo == nullptr) return E_POINTER;
    *ppTInfo = nullptr;
    for (const Entry& e : m_entries)
        if (e.GetGuid() == guid) return MakeTypeInfo(e, m_major, m_minor, ppTInfo);
    return TYPE_E_ELEMENTNOTFOUND;
}

HRESULT CreateDispatchTypeInfo(const CDispatchInterface& iface, ITypeInfo** ppTInfo) {
    return MakeTypeInfo(CTypeLibrary::Entry{TKIND_DISPATCH, &iface, TypeLibClass{}}, 1, 0, ppTInfo);
}

std::string TypeNameOf(VARTYPE vt) {
    std::string name;
    switch (vt & VT_TYPEMASK) {
    case VT_EMPTY: name = "void"; break;
    case VT_I2: name = "short"; break;
    case VT_I4: name = "long"; break;
    case VT_R4: name = "float"; break;
    case VT_R8: name = "double"; break;
    case VT_BSTR: name = "BSTR"; break;
    case VT_DISPATCH: name = "IDispatch*"; break;
    case VT_BOOL: name = "boolean"; break;
    case VT_VARIANT: name = "VARIANT"; break;
    case VT_UNKNOWN: name = "IUnknown*"; break;
    case VT_UI1: name = "unsigned char"; break;
    default: name = "?"; break;
    }
    if (vt & VT_ARRAY) name = "SAFEARRAY(" + name + ")";
    if (vt & VT_BYREF) name += "*";
    return name;
}

namespace {

void DescribeMember(std::ostringstream& out, const DispatchMember& m) {
    out << "            [id(" << m.id << ")";
    if (m.IsReadOnly()) out << ", readonly";
    if (!m.help.empty()) out << ", helpstring(\"" << m.help << "\")";
    out << "] ";
    if (m.IsProperty()) {
        out << TypeNameOf(m.type) << " " << m.name << ";\n";
        return;
    }
    out << TypeNameOf(m.type) << " " << m.name << "(";
    for (size_t i = 0; i < m.params.size(); ++i)
        out << (i ? ", " : "") << TypeNameOf(m.params[i].vt) << " " << m.params[i].name;
    out << ");\n";
}

void DescribeInterface(std::ostringstream& out, const CDispatchInterface& iface) {
    out << "    [ uuid(" << StringFromGUID(iface.GetIID()).substr(1, 36) << "), helpstring(\"" << iface.GetHelp()
        << "\") ]\n";
    out << "    dispinterface " << iface.GetName() << "\n    {\n";
    out << "        properties:\n";
    for (DISPID id : iface.GetDeclarationOrder())
        if (const DispatchMember* m = iface.Find(id); m && m->IsProperty()) DescribeMember(out, *m);
    out << "        methods:\n";
    for (DISPID id : iface.GetDeclarationOrder())
        if (const DispatchMember* m = iface.Find(id); m && !m->IsProperty()) DescribeMember(out, *m);
    out << "    };\n\n";
}

}  // namespace

std::string CTypeLibrary::Describe() const {
    std::ostringstream out;
    out << "[ uuid(" << StringFromGUID(m_libid).substr(1, 36) << "), version(" << m_major << "." << m_minor
        << "), helpstring(\"" << m_help << "\") ]\n";
    out << "library " << m_name << "\n{\n";
    for (const Entry& e : m_entries) {
        if (e.kind == TKIND_DISPATCH) {
            DescribeInterface(out, *e.iface);
            continue;
        }
        out << "    [ uuid(" << StringFromGUID(e.cls.clsid).substr(1, 36) << "), helpstring(\"" << e.cls.help
            << "\") ]\n";
        out << "    coclass " << e.cls.name << "\n    {\n";
        out << "        [default] dispinterface " << e.cls.defaultInterface->GetName() << ";\n";
        if (e.cls.defaultSource)
            out << "        [default, source] dispinterface " << e.cls.defaultSource->GetName() << ";\n";
        out << "    };\n\n";
    }
    out << "};\n";
    return out.str();
}
