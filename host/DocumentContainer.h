#pragma once
// The container object of a document: it enumerates the document's controls in document order.
#include <vector>

#include "platform/com/ComObject.h"
#include "platform/com/OleInterfaces.h"

class CDocumentContainer final : public IOleContainer, private CComRefCount {
public:
    static CDocumentContainer* Create();

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    // The controls are embedded objects: they are listed when OLECONTF_EMBEDDINGS is asked for;
    // other flags alone give an empty list.
    HRESULT EnumObjects(DWORD grfFlags, IEnumUnknown** ppenum) override;

    // Appends a control (which gets a reference) after those already there.
    void AddObject(IUnknown* object);
    // Takes one control out of the list (a control being closed).
    void RemoveObject(IUnknown* object);
    // Lets go of every control.
    void Clear();

private:
    CDocumentContainer() = default;
    ~CDocumentContainer() override;
    std::vector<IUnknown*> m_objects;
};
