#pragma once
// The type library model: a library of dispatch interfaces, event interfaces and classes, built
// from the same dispatch tables that serve Invoke, and kept in the library's declaration order.
#include <string>
#include <vector>

#include "platform/com/DispatchTable.h"

// A creatable class of the library with its default interface and default event source.
struct TypeLibClass {
    const char* name;
    CLSID clsid;
    const char* help;
    const CDispatchInterface* defaultInterface;
    const CDispatchInterface* defaultSource;  // may be null
};

class CTypeLibrary {
public:
    // One type description: a dispatch or event interface, or a class.
    struct Entry {
        TYPEKIND kind;
        const CDispatchInterface* iface;  // for TKIND_DISPATCH
        TypeLibClass cls;                 // for TKIND_COCLASS
        const GUID& GetGuid() const { return kind == TKIND_COCLASS ? cls.clsid : iface->GetIID(); }
        const char* GetName() const { return kind == TKIND_COCLASS ? cls.name : iface->GetName(); }
    };

    CTypeLibrary(const char* name, const GUID& libid, WORD majorVersion, WORD minorVersion, const char* help);

    // Appends in declaration order.
    void AddInterface(const CDispatchInterface& iface);
    void AddClass(const TypeLibClass& cls);

    const char* GetName() const { return m_name; }
    const GUID& GetLibId() const { return m_libid; }
    WORD GetMajorVersion() const { return m_major; }
    WORD GetMinorVersion() const { return m_minor; }
    const char* GetHelp() const { return m_help; }
    const std::vector<Entry>& GetEntries() const { return m_entries; }

    UINT GetTypeInfoCount() const { return static_cast<UINT>(m_entries.size()); }
    // A type description by position, with a reference for the caller.
    HRESULT GetTypeInfo(UINT index, ITypeInfo** ppTInfo) const;
    HRESULT GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** ppTInfo) const;

    // The library in the platform's interface definition language, for documentation and tools.
    std::string Describe() const;

private:
    const char* m_name;
    GUID m_libid;
    WORD m_major;
    WORD m_minor;
    const char* m_help;
    std::vector<Entry> m_entries;
};

// A type description of one dispatch interface on its own (outside a library), with a reference
// for the caller; what an object's IDispatch::GetTypeInfo hands out.
HRESULT CreateDispatchTypeInfo(const CDispatchInterface& iface, ITypeInfo** ppTInfo);

// The interface definition language name of an automation type ("double*", "BSTR", "VARIANT*").
std::string TypeNameOf(VARTYPE vt);
