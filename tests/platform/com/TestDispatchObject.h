#pragma once
// A small automation object with a member of every type the controls exchange, used to drive
// Invoke through each path, and a sink that records the calls it receives.
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/com/ComObject.h"
#include "platform/com/DispatchTable.h"
#include "platform/com/SafeArray.h"

// {6C1E58A0-3B7D-4E0E-9A51-2D7F0C9B1A01}
constexpr IID IID_ITestObject = {0x6C1E58A0, 0x3B7D, 0x4E0E, {0x9A, 0x51, 0x2D, 0x7F, 0x0C, 0x9B, 0x1A, 0x01}};

class CTestObject final : public IDispatch, public CDispatchTarget, private CComRefCount {
public:
    static CTestObject* Create() { return new CTestObject(); }

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_ITestObject) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    HRESULT GetTypeInfoCount(UINT* p) override {
        *p = 1;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT n, LCID, DISPID* ids) override {
        return Interface().GetIDsOfNames(names, n, ids);
    }
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* dp, VARIANT* result, EXCEPINFO* ei,
                   UINT* argErr) override {
        return Interface().Invoke(*this, id, flags, dp, result, ei, argErr);
    }
    static const CDispatchInterface& Interface();

    // Properties.
    SHORT m_short = 0;
    LONG m_long = 0;
    float m_float = 0.0f;
    double m_double = 0.0;
    BOOL m_bool = FALSE;
    std::string m_text;
    IDispatch* m_pPeer = nullptr;
    int m_changes = 0;

    SHORT GetShort() { return m_short; }
    void SetShort(SHORT v) { m_short = v; }
    BSTR GetText() { return SysAllocStringFrom(m_text); }
    void SetText(const char* v) { m_text = v; }
    IDispatch* GetPeer() {
        if (m_pPeer) m_pPeer->AddRef();
        return m_pPeer;
    }
    void SetPeer(IDispatch* p) {
        if (p) p->AddRef();
        if (m_pPeer) m_pPeer->Release();
        m_pPeer = p;
    }
    double GetConstant() { return 42.5; }
    void OnChanged() { ++m_changes; }
    void SetThrowing(LONG) { throw CDispatchException(E_INVALIDARG, "Refused."); }

    // Methods: arguments arrive in declaration order.
    double Combine(SHORT a, LONG b, float c, double d, const char* e, BOOL f) {
        return a * 100000.0 + b * 1000.0 + c * 10.0 + d + (e[0] == 'x' ? 0.25 : 0.0) + (f ? 0.5 : 0.0);
    }
    // Writes through every kind of reference and returns TRUE.
    BOOL FillRefs(SHORT* s, LONG* l, float* f, double* d, BSTR* b, VARIANT* v) {
        *s = static_cast<SHORT>(*s + 1);
        *l = *l * 2;
        *f = *f + 0.5f;
        *d = -*d;
        std::string text = StringFromBstr(*b) + "!";
        SysFreeString(*b);
        *b = SysAllocStringFrom(text);
        VariantClear(v);
        v->vt = VT_ARRAY | VT_R4;
        v->parray = SafeArrayCreateVector(VT_R4, 0, 3);
        float* data = nullptr;
        SafeArrayAccessData(v->parray, reinterpret_cast<void**>(&data));
        data[0] = 1.0f;
        data[1] = 2.0f;
        data[2] = 3.0f;
        SafeArrayUnaccessData(v->parray);
        return TRUE;
    }
    // Flips a boolean and hands back this object through an interface reference.
    void SwapRefs(VARIANT_BOOL* b, IDispatch** d) {
        *b = *b ? VARIANT_FALSE : VARIANT_TRUE;
        if (*d) (*d)->Release();
        *d = this;
        AddRef();
    }
    void Fail() { throw std::runtime_error("broken"); }
    VARIANT Echo(VARIANT v) {
        VARIANT out;
        VariantInit(&out);
        VariantCopy(&out, &v);
        return out;
    }

private:
    CTestObject() = default;
    ~CTestObject() override {
        if (m_pPeer) m_pPeer->Release();
    }
};
