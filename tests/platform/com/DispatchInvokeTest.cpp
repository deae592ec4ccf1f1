// Invoke through a dispatch table: argument order, coercion, by-reference round trips, property
// puts and their errors, and reference balance on every path.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ComLeakCheck.h"
#include "TestDispatchObject.h"
#include "platform/com/ComPtr.h"

namespace {

VARIANT V(SHORT v) { VARIANT r; VariantInit(&r); r.vt = VT_I2; r.iVal = v; return r; }
VARIANT V(LONG v) { VARIANT r; VariantInit(&r); r.vt = VT_I4; r.lVal = v; return r; }
VARIANT V(float v) { VARIANT r; VariantInit(&r); r.vt = VT_R4; r.fltVal = v; return r; }
VARIANT V(double v) { VARIANT r; VariantInit(&r); r.vt = VT_R8; r.dblVal = v; return r; }
VARIANT VBool(bool v) { VARIANT r; VariantInit(&r); r.vt = VT_BOOL; r.boolVal = v ? VARIANT_TRUE : VARIANT_FALSE; return r; }
VARIANT VStrLen(const char* s, UINT n) { VARIANT r; VariantInit(&r); r.vt = VT_BSTR; r.bstrVal = SysAllocStringLen(s, n); return r; }
VARIANT VStr(const char* s) { VARIANT r; VariantInit(&r); r.vt = VT_BSTR; r.bstrVal = SysAllocString(s); return r; }

// Calls with the arguments given in declaration order; they are passed reversed, as the platform
// does, and cleared afterwards.
HRESULT Call(IDispatch* d, DISPID id, WORD flags, std::vector<VARIANT> args, VARIANT* result,
             EXCEPINFO* ei = nullptr, UINT* argErr = nullptr) {
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS dp{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    HRESULT hr = d->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, flags, &dp, result, ei, argErr);
    for (VARIANT& v : reversed) VariantClear(&v);
    return hr;
}

HRESULT Put(IDispatch* d, DISPID id, VARIANT value, EXCEPINFO* ei = nullptr) {
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS dp{&value, &named, 1, 1};
    HRESULT hr = d->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &dp, nullptr, ei, nullptr);
    VariantClear(&value);
    return hr;
}

class DispatchInvokeTest : public ComLeakCheck {
protected:
    void SetUp() override {
        ComLeakCheck::SetUp();
        obj.Attach(CTestObject::Create());
    }
    void TearDown() override {
        obj.Release();
        ComLeakCheck::TearDown();
    }
    CComPtr<CTestObject> obj;
};

TEST_F(DispatchInvokeTest, PropertiesRoundTripEveryScalarType) {
    struct Row {
        DISPID id;
        VARIANT in;
        VARTYPE expectType;
        double expectValue;  // numeric view of the read-back value
    };
    const Row rows[] = {
        {1, V(SHORT(-7)), VT_I2, -7},
        {2, V(LONG(123456)), VT_I4, 123456},
        {3, V(0.25f), VT_R4, 0.25},
        {4, V(-1e300), VT_R8, -1e300},
        {5, VBool(true), VT_BOOL, -1},          // VARIANT_TRUE reads back as -1
        {2, V(2.5), VT_I4, 2},                  // a double put into a long rounds half to even
        {2, V(3.5), VT_I4, 4},
        {1, VStr(" 12 "), VT_I2, 12},           // text converts to a number
        {5, V(LONG(0)), VT_BOOL, 0},
    };
    for (const Row& row : rows) {
        ASSERT_EQ(Put(obj.get(), row.id, row.in), S_OK) << row.id;
        VARIANT out;
        ASSERT_EQ(Call(obj.get(), row.id, DISPATCH_PROPERTYGET, {}, &out), S_OK);
        ASSERT_EQ(out.vt, row.expectType) << row.id;
        VARIANT asDouble;
        VariantInit(&asDouble);
        ASSERT_EQ(VariantChangeType(&asDouble, &out, 0, VT_R8), S_OK);
        EXPECT_DOUBLE_EQ(asDouble.dblVal, row.expectValue) << row.id;
        VariantClear(&out);
    }
}

TEST_F(DispatchInvokeTest, StringAndInterfacePropertiesOwnWhatTheyHold) {
    ASSERT_EQ(Put(obj.get(), 6, VStr("C:\\data\\a.orvex")), S_OK);
    VARIANT out;
    ASSERT_EQ(Call(obj.get(), 6, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, &out), S_OK);
    ASSERT_EQ(out.vt, VT_BSTR);
    EXPECT_STREQ(out.bstrVal, "C:\\data\\a.orvex");
    VariantClear(&out);

    CComPtr<CTestObject> peer;
    peer.Attach(CTestObject::Create());
    VARIANT p;
    VariantInit(&p);
    p.vt = VT_DISPATCH;
    p.pdispVal = peer.get();
    peer->AddRef();  // the VARIANT owns one reference, released by Put
    ASSERT_EQ(Put(obj.get(), 7, p), S_OK);
    ASSERT_EQ(Call(obj.get(), 7, DISPATCH_PROPERTYGET, {}, &out), S_OK);
    ASSERT_EQ(out.vt, VT_DISPATCH);
    EXPECT_EQ(out.pdispVal, static_cast<IDispatch*>(peer.get()));
    VariantClear(&out);
    // An empty value clears the interface property (a null interface).
    VARIANT empty;
    VariantInit(&empty);
    ASSERT_EQ(Put(obj.get(), 7, empty), S_OK);
    EXPECT_EQ(obj->m_pPeer, nullptr);
}

TEST_F(DispatchInvokeTest, MethodArgumentsArriveInDeclarationOrder) {
    VARIANT out;
    ASSERT_EQ(Call(obj.get(), 10, DISPATCH_METHOD, {V(SHORT(1)), V(LONG(2)), V(3.0f), V(4.0), VStr("x"), VBool(true)}, &out),
              S_OK);
    ASSERT_EQ(out.vt, VT_R8);
    EXPECT_DOUBLE_EQ(out.dblVal, 100000 + 2000 + 30 + 4 + 0.25 + 0.5);
}

TEST_F(DispatchInvokeTest, ByReferenceArgumentsRoundTripEveryType) {
    SHORT s = 41;
    LONG l = 21;
    float f = 1.5f;
    double d = 2.25;
    BSTR b = SysAllocString("label");
    VARIANT var;
    VariantInit(&var);
    var.vt = VT_I4;  // replaced by the callee, which clears it first
    var.lVal = 5;
    std::vector<VARIANT> args(6);
    for (VARIANT& a : args) VariantInit(&a);
    args[0].vt = VT_I2 | VT_BYREF; args[0].piVal = &s;
    args[1].vt = VT_I4 | VT_BYREF; args[1].plVal = &l;
    args[2].vt = VT_R4 | VT_BYREF; args[2].pfltVal = &f;
    args[3].vt = VT_R8 | VT_BYREF; args[3].pdblVal = &d;
    args[4].vt = VT_BSTR | VT_BYREF; args[4].pbstrVal = &b;
    args[5].vt = VT_VARIANT | VT_BYREF; args[5].pvarVal = &var;
    VARIANT out;
    ASSERT_EQ(Call(obj.get(), 11, DISPATCH_METHOD, args, &out), S_OK);
    EXPECT_EQ(out.vt, VT_BOOL);
    EXPECT_EQ(out.boolVal, VARIANT_TRUE);
    EXPECT_EQ(s, 42);
    EXPECT_EQ(l, 42);
    EXPECT_FLOAT_EQ(f, 2.0f);
    EXPECT_DOUBLE_EQ(d, -2.25);
    EXPECT_STREQ(b, "label!");
    ASSERT_EQ(var.vt, VT_ARRAY | VT_R4);
    LONG ub = 0;
    ASSERT_EQ(SafeArrayGetUBound(var.parray, 1, &ub), S_OK);
    EXPECT_EQ(ub, 2);
    float third = 0;
    LONG index = 2;
    ASSERT_EQ(SafeArrayGetElement(var.parray, &index, &third), S_OK);
    EXPECT_FLOAT_EQ(third, 3.0f);
    SysFreeString(b);
    VariantClear(&var);
}

TEST_F(DispatchInvokeTest, BooleanAndInterfaceReferencesRoundTrip) {
    CComPtr<CTestObject> previous;
    previous.Attach(CTestObject::Create());
    VARIANT_BOOL b = VARIANT_TRUE;
    IDispatch* d = previous.get();
    d->AddRef();  // the reference the callee releases when it replaces *d
    std::vector<VARIANT> args(2);
    args[0].vt = VT_BOOL | VT_BYREF;
    args[0].pboolVal = &b;
    args[1].vt = VT_DISPATCH | VT_BYREF;
    args[1].ppdispVal = &d;
    VARIANT out;
    ASSERT_EQ(Call(obj.get(), 14, DISPATCH_METHOD, args, &out), S_OK);
    EXPECT_EQ(out.vt, VT_EMPTY);
    EXPECT_EQ(b, VARIANT_FALSE);
    EXPECT_EQ(d, static_cast<IDispatch*>(obj.get()));
    d->Release();
}

TEST_F(DispatchInvokeTest, VariantByValueRoundTripsEveryType) {
    CComPtr<CTestObject> peer;
    peer.Attach(CTestObject::Create());
    std::vector<VARIANT> values = {V(SHORT(3)), V(LONG(-9)), V(1.5f), V(6.5), VStrLen("a\0b", 3), VBool(false)};
    VARIANT disp;
    VariantInit(&disp);
    disp.vt = VT_DISPATCH;
    disp.pdispVal = peer.get();
    peer->AddRef();
    values.push_back(disp);
    VARIANT arr;
    VariantInit(&arr);
    arr.vt = VT_ARRAY | VT_R4;
    arr.parray = SafeArrayCreateVector(VT_R4, 1, 4);
    values.push_back(arr);
    for (VARIANT& in : values) {
        VARIANT out;
        VARIANT arg;
        VariantInit(&arg);
        ASSERT_EQ(VariantCopy(&arg, &in), S_OK);
        ASSERT_EQ(Call(obj.get(), 13, DISPATCH_METHOD, {arg}, &out), S_OK);
        ASSERT_EQ(out.vt, in.vt);
        switch (in.vt) {
        case VT_BSTR: EXPECT_EQ(StringFromBstr(out.bstrVal), StringFromBstr(in.bstrVal)); break;
        case VT_DISPATCH: EXPECT_EQ(out.pdispVal, in.pdispVal); break;
        case VT_ARRAY | VT_R4:
            EXPECT_NE(out.parray, in.parray);  // a deep copy
            EXPECT_EQ(out.parray->rgsabound[0].lLbound, 1);
            EXPECT_EQ(out.parray->rgsabound[0].cElements, 4u);
            break;
        default: EXPECT_EQ(std::memcmp(&out, &in, sizeof out), 0) << in.vt; break;
        }
        VariantClear(&out);
        VariantClear(&in);
    }
}

TEST_F(DispatchInvokeTest, ReadOnlyPropertyGetsButRefusesPut) {
    VARIANT out;
    ASSERT_EQ(Call(obj.get(), 8, DISPATCH_PROPERTYGET, {}, &out), S_OK);
    EXPECT_DOUBLE_EQ(out.dblVal, 42.5);
    EXCEPINFO ei{};
    EXPECT_EQ(Put(obj.get(), 8, V(1.0), &ei), DISP_E_EXCEPTION);
    EXPECT_EQ(ei.scode, CTL_E_SETNOTSUPPORTED);
    EXPECT_STREQ(ei.bstrSource, "Constant");
    ClearExcepInfo(&ei);
    // Without an EXCEPINFO the call still fails the same way.
    EXPECT_EQ(Put(obj.get(), 8, V(1.0)), DISP_E_EXCEPTION);
}

TEST_F(DispatchInvokeTest, ErrorsComeBackAsResultsNeverExceptions) {
    VARIANT out;
    EXCEPINFO ei{};
    UINT argErr = 99;
    struct Row {
        const char* what;
        HRESULT hr;
    };
    std::vector<Row> rows;
    // Unknown member.
    rows.push_back({"unknown id", Call(obj.get(), 77, DISPATCH_METHOD, {}, &out)});
    // A method with too few arguments.
    rows.push_back({"too few", Call(obj.get(), 10, DISPATCH_METHOD, {V(SHORT(1))}, &out)});
    // A property read with an argument.
    rows.push_back({"get with argument", Call(obj.get(), 1, DISPATCH_PROPERTYGET, {V(SHORT(1))}, &out)});
    // A method reached only by property get.
    rows.push_back({"method as property", Call(obj.get(), 12, DISPATCH_PROPERTYGET, {}, &out)});
    // A put without the named DISPID_PROPERTYPUT argument.
    rows.push_back({"unnamed put", Call(obj.get(), 1, DISPATCH_PROPERTYPUT, {V(SHORT(1))}, &out)});
    const HRESULT expected[] = {DISP_E_MEMBERNOTFOUND, DISP_E_BADPARAMCOUNT, DISP_E_BADPARAMCOUNT,
                                DISP_E_MEMBERNOTFOUND, DISP_E_PARAMNOTFOUND};
    for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i].hr, expected[i]) << rows[i].what;

    // Text that is not a number, in the third argument (rgvarg index 3 of 6).
    EXPECT_EQ(Call(obj.get(), 10, DISPATCH_METHOD, {V(SHORT(1)), V(LONG(2)), VStr("abc"), V(4.0), VStr("x"), VBool(true)},
                   &out, &ei, &argErr),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 3u);
    // A value out of range of a short.
    EXPECT_EQ(Put(obj.get(), 1, V(LONG(40000))), DISP_E_OVERFLOW);
    // A by-reference parameter given a value.
    argErr = 99;
    EXPECT_EQ(Call(obj.get(), 11, DISPATCH_METHOD, {V(SHORT(1)), V(LONG(1)), V(1.0f), V(1.0), VStr(""), V(LONG(0))}, &out,
                   &ei, &argErr),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 5u);
    // A member raising an automation error or a C++ exception.
    EXPECT_EQ(Put(obj.get(), 9, V(LONG(1)), &ei), DISP_E_EXCEPTION);
    EXPECT_EQ(ei.scode, E_INVALIDARG);
    EXPECT_STREQ(ei.bstrDescription, "Refused.");
    ClearExcepInfo(&ei);
    EXPECT_EQ(Call(obj.get(), 12, DISPATCH_METHOD, {}, &out, &ei), DISP_E_EXCEPTION);
    EXPECT_EQ(ei.scode, E_FAIL);
    ClearExcepInfo(&ei);
    // A write-only property cannot be read.
    EXPECT_EQ(Call(obj.get(), 9, DISPATCH_PROPERTYGET, {}, &out, &ei), DISP_E_EXCEPTION);
    EXPECT_EQ(ei.scode, CTL_E_GETNOTSUPPORTED);
    ClearExcepInfo(&ei);
    EXPECT_EQ(obj->m_changes, 0);
}

TEST_F(DispatchInvokeTest, PropertyNotifyRunsTheHandlerAfterStoring) {
    ASSERT_EQ(Put(obj.get(), 2, V(LONG(5))), S_OK);
    EXPECT_EQ(obj->m_long, 5);
    EXPECT_EQ(obj->m_changes, 1);
}

TEST_F(DispatchInvokeTest, NamesResolveWithoutRegardToCase) {
    char member[] = "fillREFS";
    char p1[] = "v";
    char p2[] = "Nope";
    LPOLESTR names[] = {member, p1, p2};
    DISPID ids[3];
    EXPECT_EQ(obj->GetIDsOfNames(IID_NULL, names, 2, 0, ids), S_OK);
    EXPECT_EQ(ids[0], 11);
    EXPECT_EQ(ids[1], 5);  // parameter names answer their position
    EXPECT_EQ(obj->GetIDsOfNames(IID_NULL, names, 3, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[2], DISPID_UNKNOWN);
    char unknown[] = "Missing";
    LPOLESTR one[] = {unknown};
    EXPECT_EQ(obj->GetIDsOfNames(IID_NULL, one, 1, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], DISPID_UNKNOWN);
}

}  // namespace
