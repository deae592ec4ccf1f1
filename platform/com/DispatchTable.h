#pragma once
// Dispatch interfaces declared once, as tables of members with explicit ids. One table serves
// IDispatch::Invoke and GetIDsOfNames, the type library, the script binding and the documentation:
//
//   const DispatchMember CMyCtrl::kMembers[] = {
//       Property(1, "FileName", VT_BSTR, &CMyCtrl::GetFileName, &CMyCtrl::SetFileName),
//       Method(24, "Rotate", VT_EMPTY, {{"AngleInDeg", VT_R4}}, &CMyCtrl::Rotate),
//   };
#include <cassert>
#include <exception>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "platform/com/DispatchArgs.h"

// Base of every object that serves a dispatch table; members are called through it.
class CDispatchTarget {
public:
    virtual ~CDispatchTarget() = default;
};

// An automation error raised inside a dispatch member. Invoke reports it as DISP_E_EXCEPTION with
// the code in EXCEPINFO.scode; it never travels further.
class CDispatchException : public std::exception {
public:
    CDispatchException(SCODE scode, std::string description, std::string source = {})
        : m_scode(scode), m_description(std::move(description)), m_source(std::move(source)) {}
    const char* what() const noexcept override { return m_description.c_str(); }
    SCODE GetSCode() const { return m_scode; }
    const std::string& GetDescription() const { return m_description; }
    const std::string& GetSource() const { return m_source; }

private:
    SCODE m_scode;
    std::string m_description;
    std::string m_source;
};

enum class DispatchKind { Property, Method };

// A parameter of a method (or event) as the type library describes it.
struct DispatchParam {
    const char* name;
    VARTYPE vt;
};

// One member of a dispatch interface. Properties have a getter and, unless read-only, a setter;
// methods have a call; events (members of a source interface) have neither.
struct DispatchMember {
    DISPID id = DISPID_UNKNOWN;
    const char* name = "";
    DispatchKind kind = DispatchKind::Method;
    VARTYPE type = VT_EMPTY;  // property type or method result
    std::vector<DispatchParam> params;
    std::string help;

    // Writes the value into an empty VARIANT of `type`.
    std::function<void(CDispatchTarget&, VARIANT& result)> get;
    // Receives a VARIANT already coerced to `type`.
    std::function<void(CDispatchTarget&, VARIANT& value)> put;
    // Receives the arguments in declaration order, coerced to their declared types.
    std::function<void(CDispatchTarget&, VARIANT* const* args, VARIANT& result)> call;

    bool IsProperty() const { return kind == DispatchKind::Property; }
    bool IsReadOnly() const { return IsProperty() && !put; }
    // Adds the help string the type library shows.
    DispatchMember Help(const char* text) && {
        help = text;
        return std::move(*this);
    }
};

// A property served by a getter and a setter (nullptr for a read-only property).
template <class G, class S>
DispatchMember Property(DISPID id, const char* name, VARTYPE vt, G getter, S setter) {
    using namespace dispatch_detail;
    DispatchMember m;
    m.id = id;
    m.name = name;
    m.kind = DispatchKind::Property;
    m.type = vt;
    if constexpr (!std::is_null_pointer_v<G>) {
        using F = MemberFn<G>;
        using T = typename F::Class;
        static_assert(F::kArity == 0, "a property getter takes no arguments");
        assert(ResultAccepts<typename F::Result>(vt) && "getter result does not match the property type");
        m.get = [getter, vt](CDispatchTarget& t, VARIANT& r) { StoreResult((static_cast<T&>(t).*getter)(), vt, r); };
    }
    if constexpr (!std::is_null_pointer_v<S>) {
        using F = MemberFn<S>;
        using T = typename F::Class;
        static_assert(F::kArity == 1, "a property setter takes one argument");
        using A = std::tuple_element_t<0, typename F::Args>;
        assert(ArgAccepts<A>(vt) && "setter argument does not match the property type");
        m.put = [setter](CDispatchTarget& t, VARIANT& v) { (static_cast<T&>(t).*setter)(ArgFrom<A>(v)); };
    }
    return m;
}

// A property kept in a member field; a write stores the field, then calls the change handler
// (nullptr for none).
template <class T, class V, class H>
DispatchMember PropertyNotify(DISPID id, const char* name, VARTYPE vt, V T::*field, H onChanged) {
    using namespace dispatch_detail;
    assert(ResultAccepts<V>(vt) && ArgAccepts<V>(vt) && "field does not match the property type");
    DispatchMember m;
    m.id = id;
    m.name = name;
    m.kind = DispatchKind::Property;
    m.type = vt;
    m.get = [field, vt](CDispatchTarget& t, VARIANT& r) { StoreResult(V(static_cast<T&>(t).*field), vt, r); };
    m.put = [field, onChanged](CDispatchTarget& t, VARIANT& v) {
        T& self = static_cast<T&>(t);
        self.*field = ArgFrom<V>(v);
        if constexpr (!std::is_null_pointer_v<H>) (self.*onChanged)();
    };
    return m;
}

// A method with the given result type and parameters.
template <class Fn>
DispatchMember Method(DISPID id, const char* name, VARTYPE result, std::initializer_list<DispatchParam> params,
                      Fn fn) {
    using namespace dispatch_detail;
    using F = MemberFn<Fn>;
    using T = typename F::Class;
    using R = typename F::Result;
    DispatchMember m;
    m.id = id;
    m.name = name;
    m.kind = DispatchKind::Method;
    m.type = result;
    m.params.assign(params.begin(), params.end());
    assert(m.params.size() == F::kArity && "parameter list does not match the method");
    assert(ResultAccepts<R>(result) && "method result does not match its declared type");
    assert(ArgsAccept<typename F::Args>(m.params) && "method arguments do not match their declared types");
    m.call = [fn, result](CDispatchTarget& t, VARIANT* const* args, VARIANT& r) {
        T& self = static_cast<T&>(t);
        [&]<size_t... I>(std::index_sequence<I...>) {
            if constexpr (std::is_void_v<R>) {
                (void)args;
                (self.*fn)(ArgFrom<std::tuple_element_t<I, typename F::Args>>(*args[I])...);
                (void)r;
                (void)result;
            } else {
                StoreResult((self.*fn)(ArgFrom<std::tuple_element_t<I, typename F::Args>>(*args[I])...), result, r);
            }
        }(std::make_index_sequence<F::kArity>{});
    };
    return m;
}

// A member of an event (source) interface: described, never called on the object that declares it.
inline DispatchMember Event(DISPID id, const char* name, std::initializer_list<DispatchParam> params = {}) {
    DispatchMember m;
    m.id = id;
    m.name = name;
    m.kind = DispatchKind::Method;
    m.type = VT_EMPTY;
    m.params.assign(params.begin(), params.end());
    return m;
}

// A dispatch interface: its identity, its members, and the order in which a type library declares
// them (which need not be id order).
class CDispatchInterface {
public:
    enum class Role { Dispatch, Events };

    // `declarationOrder` lists every member id once; empty means table order.
    CDispatchInterface(const char* name, const IID& iid, const char* help, std::span<const DispatchMember> members,
                       std::vector<DISPID> declarationOrder = {}, Role role = Role::Dispatch);

    const char* GetName() const { return m_name; }
    const IID& GetIID() const { return m_iid; }
    const char* GetHelp() const { return m_help; }
    Role GetRole() const { return m_role; }
    std::span<const DispatchMember> GetMembers() const { return m_members; }
    // Member ids in the type library's declaration order.
    const std::vector<DISPID>& GetDeclarationOrder() const { return m_order; }

    const DispatchMember* Find(DISPID id) const;
    // Case-insensitive, as automation names are.
    const DispatchMember* FindByName(std::string_view name) const;

    // IDispatch::GetIDsOfNames over this table.
    HRESULT GetIDsOfNames(LPOLESTR* rgszNames, UINT cNames, DISPID* rgDispId) const;
    // IDispatch::Invoke over this table for `target`. Arguments are coerced to the declared types;
    // a by-reference parameter takes only a VT_BYREF argument of exactly its type. Errors raised by
    // a member (CDispatchException, allocation failure, anything else) come back as HRESULTs; no C++
    // exception leaves this function. *pVarResult is overwritten, not cleared: pass an empty one.
    HRESULT Invoke(CDispatchTarget& target, DISPID dispIdMember, WORD wFlags, DISPPARAMS* pDispParams,
                   VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) const;

private:
    const char* m_name;
    IID m_iid;
    const char* m_help;
    std::span<const DispatchMember> m_members;
    std::vector<DISPID> m_order;
    Role m_role;
};

// Fills an EXCEPINFO (when given) for an error reported as DISP_E_EXCEPTION.
void FillExcepInfo(EXCEPINFO* pExcepInfo, SCODE scode, std::string_view description, std::string_view source);

// Case-insensitive comparison of automation names (ASCII letters only).
bool DispatchNamesEqual(std::string_view a, std::string_view b);
