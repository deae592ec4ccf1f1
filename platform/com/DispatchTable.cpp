#include "platform/com/DispatchTable.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <set>

bool DispatchNamesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

void FillExcepInfo(EXCEPINFO* pExcepInfo, SCODE scode, std::string_view description, std::string_view source) {
    if (pExcepInfo == nullptr) return;
    std::memset(pExcepInfo, 0, sizeof *pExcepInfo);
    pExcepInfo->scode = scode;
    pExcepInfo->bstrDescription = SysAllocStringFrom(description);
    pExcepInfo->bstrSource = SysAllocStringFrom(source);
}

CDispatchInterface::CDispatchInterface(const char* name, const IID& iid, const char* help,
                                       std::span<const DispatchMember> members, std::vector<DISPID> declarationOrder,
                                       Role role)
    : m_name(name), m_iid(iid), m_help(help), m_members(members), m_order(std::move(declarationOrder)), m_role(role) {
    if (m_order.empty())
        for (const DispatchMember& m : m_members) m_order.push_back(m.id);
#ifndef NDEBUG
    // A table with two members of one id or one name, or a declaration order that is not a
    // permutation of the ids, is a programming error.
    std::set<DISPID> ids;
    for (const DispatchMember& m : m_members) {
        assert(ids.insert(m.id).second && "duplicate dispatch id");
        for (const DispatchMember& o : m_members)
            assert((&o == &m || !DispatchNamesEqual(o.name, m.name)) && "duplicate member name");
    }
    std::set<DISPID> ordered(m_order.begin(), m_order.end());
    assert(ordered == ids && m_order.size() == ids.size() && "declaration order must list every member once");
#endif
}

const DispatchMember* CDispatchInterface::Find(DISPID id) const {
    for (const DispatchMember& m : m_members)
        if (m.id == id) return &m;
    return nullptr;
}

const DispatchMember* CDispatchInterface::FindByName(std::string_view name) const {
    for (const DispatchMember& m : m_members)
        if (DispatchNamesEqual(m.name, name)) return &m;
    return nullptr;
}

HRESULT CDispatchInterface::GetIDsOfNames(LPOLESTR* rgszNames, UINT cNames, DISPID* rgDispId) const {
    if (cNames == 0) return S_OK;
    if (rgszNames == nullptr || rgDispId == nullptr) return E_INVALIDARG;
    for (UINT i = 0; i < cNames; ++i) rgDispId[i] = DISPID_UNKNOWN;
    const DispatchMember* m = rgszNames[0] ? FindByName(rgszNames[0]) : nullptr;
    if (m == nullptr) return DISP_E_UNKNOWNNAME;
    rgDispId[0] = m->id;
    HRESULT hr = S_OK;
    for (UINT i = 1; i < cNames; ++i) {
        for (size_t p = 0; p < m->params.size(); ++p)
            if (rgszNames[i] && DispatchNamesEqual(m->params[p].name, rgszNames[i])) rgDispId[i] = static_cast<DISPID>(p);
        if (rgDispId[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

namespace {

// Owns the coerced copies of the arguments for the duration of one call.
struct CoercedArgs {
    std::vector<VARIANT> values;
    std::vector<VARIANT*> pointers;
    explicit CoercedArgs(size_t n) : values(n), pointers(n, nullptr) {
        for (VARIANT& v : values) VariantInit(&v);
    }
    ~CoercedArgs() {
        for (VARIANT& v : values) VariantClear(&v);
    }
    CoercedArgs(const CoercedArgs&) = delete;
    CoercedArgs& operator=(const CoercedArgs&) = delete;
};

// Brings one argument to its declared type. By-reference parameters take the caller's storage as
// it is (only exactly the declared VT_BYREF type, with a non-null pointer), so the member's writes
// reach the caller.
HRESULT Coerce(VARIANT& arg, VARTYPE declared, VARIANT& slot, VARIANT*& pointer) {
    if (declared & VT_BYREF) {
        if (arg.vt != declared || arg.byref == nullptr) return DISP_E_TYPEMISMATCH;
        slot = arg;  // a by-reference copy owns nothing; clearing it frees nothing
        pointer = &slot;
        return S_OK;
    }
    if (declared == VT_VARIANT) {
        HRESULT hr = VariantCopyInd(&slot, &arg);
        pointer = &slot;
        return hr;
    }
    HRESULT hr = VariantChangeType(&slot, &arg, 0, declared);
    pointer = &slot;
    return hr;
}

}  // namespace

HRESULT CDispatchInterface::Invoke(CDispatchTarget& target, DISPID dispIdMember, WORD wFlags, DISPPARAMS* pDispParams,
                                   VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) const {
    if (pVarResult) VariantInit(pVarResult);
    const DispatchMember* m = Find(dispIdMember);
    if (m == nullptr) return DISP_E_MEMBERNOTFOUND;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    DISPPARAMS& dp = pDispParams ? *pDispParams : none;
    if ((dp.cArgs && dp.rgvarg == nullptr) || (dp.cNamedArgs && dp.rgdispidNamedArgs == nullptr)) return E_INVALIDARG;

    try {
        VARIANT result;
        VariantInit(&result);
        if (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
            if (!m->IsProperty()) return DISP_E_MEMBERNOTFOUND;
            if (dp.cArgs != 1) return DISP_E_BADPARAMCOUNT;
            if (dp.cNamedArgs != 1 || dp.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) return DISP_E_PARAMNOTFOUND;
            if (!m->put) {
                FillExcepInfo(pExcepInfo, CTL_E_SETNOTSUPPORTED, "Property is read-only.", m->name);
                return DISP_E_EXCEPTION;
            }
            CoercedArgs args(1);
            HRESULT hr = Coerce(dp.rgvarg[0], m->type, args.values[0], args.pointers[0]);
            if (FAILED(hr)) {
                if (puArgErr) *puArgErr = 0;
                return hr;
            }
            m->put(target, *args.pointers[0]);
            return S_OK;
        }
        if (dp.cNamedArgs != 0) return DISP_E_NONAMEDARGS;
        if (m->IsProperty()) {
            if ((wFlags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)) == 0) return DISP_E_MEMBERNOTFOUND;
            if (dp.cArgs != 0) return DISP_E_BADPARAMCOUNT;
            if (!m->get) {
                FillExcepInfo(pExcepInfo, CTL_E_GETNOTSUPPORTED, "Property is write-only.", m->name);
                return DISP_E_EXCEPTION;
            }
            m->get(target, result);
        } else {
            if ((wFlags & DISPATCH_METHOD) == 0 || !m->call) return DISP_E_MEMBERNOTFOUND;
            if (dp.cArgs != m->params.size()) return DISP_E_BADPARAMCOUNT;
            CoercedArgs args(dp.cArgs);
            for (UINT i = 0; i < dp.cArgs; ++i) {
                // Arguments arrive last first.
                const UINT slot = dp.cArgs - 1 - i;
                HRESULT hr = Coerce(dp.rgvarg[slot], m->params[i].vt, args.values[i], args.pointers[i]);
                if (FAILED(hr)) {
                    if (puArgErr) *puArgErr = slot;
                    return hr;
                }
            }
            m->call(target, args.pointers.data(), result);
        }
        if (pVarResult)
            *pVarResult = result;
        else
            VariantClear(&result);
        return S_OK;
    } catch (const CDispatchException& e) {
        FillExcepInfo(pExcepInfo, e.GetSCode(), e.GetDescription(), e.GetSource().empty() ? m->name : e.GetSource());
        return DISP_E_EXCEPTION;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::exception& e) {
        FillExcepInfo(pExcepInfo, E_FAIL, e.what(), m->name);
        return DISP_E_EXCEPTION;
    } catch (...) {
        FillExcepInfo(pExcepInfo, E_FAIL, "Unexpected error.", m->name);
        return DISP_E_EXCEPTION;
    }
}
