// VARIANT ownership and conversions, BSTR lengths, GUID text.
#include <gtest/gtest.h>

#include <cmath>

#include "ComLeakCheck.h"
#include "TestDispatchObject.h"
#include "platform/com/ComPtr.h"
#include "platform/com/SafeArray.h"

namespace {

class VariantTest : public ComLeakCheck {};

TEST_F(VariantTest, BstrKeepsItsLengthAndZeroBytes) {
    BSTR s = SysAllocStringLen("ab\0cd", 5);
    EXPECT_EQ(SysStringLen(s), 5u);
    EXPECT_EQ(StringFromBstr(s), std::string("ab\0cd", 5));
    EXPECT_EQ(s[5], '\0');  // terminated after its length
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(StringFromBstr(nullptr), "");
    EXPECT_TRUE(SysReAllocString(&s, "xyz"));
    EXPECT_STREQ(s, "xyz");
    SysFreeString(s);
}

TEST_F(VariantTest, CopyDuplicatesWhatTheSourceOwns) {
    CComPtr<CTestObject> obj;
    obj.Attach(CTestObject::Create());
    VARIANT a, b;
    VariantInit(&a);
    VariantInit(&b);
    a.vt = VT_BSTR;
    a.bstrVal = SysAllocString("text");
    ASSERT_EQ(VariantCopy(&b, &a), S_OK);
    EXPECT_NE(a.bstrVal, b.bstrVal);
    EXPECT_EQ(GetLiveBstrCount(), 2);
    // Copying an interface over the string frees the string and adds one reference.
    VARIANT d;
    VariantInit(&d);
    d.vt = VT_DISPATCH;
    d.pdispVal = obj.get();
    ASSERT_EQ(VariantCopy(&b, &d), S_OK);
    EXPECT_EQ(GetLiveBstrCount(), 1);
    EXPECT_EQ(obj->AddRef(), 3u);  // ours, the variant's, and this one
    obj->Release();
    VariantClear(&b);
    VariantClear(&a);
}

TEST_F(VariantTest, ByReferenceFormsAreReadThroughButNotOwned) {
    double d = 2.5;
    VARIANT ref;
    VariantInit(&ref);
    ref.vt = VT_R8 | VT_BYREF;
    ref.pdblVal = &d;
    VARIANT copy;
    VariantInit(&copy);
    ASSERT_EQ(VariantCopy(&copy, &ref), S_OK);
    EXPECT_EQ(copy.pdblVal, &d);  // a reference copies as a reference
    ASSERT_EQ(VariantCopyInd(&copy, &ref), S_OK);
    EXPECT_EQ(copy.vt, VT_R8);
    EXPECT_EQ(copy.dblVal, 2.5);
    VariantClear(&ref);  // frees nothing
    EXPECT_EQ(d, 2.5);

    VARIANT inner;
    VariantInit(&inner);
    inner.vt = VT_BSTR;
    inner.bstrVal = SysAllocString("in");
    VARIANT outer;
    VariantInit(&outer);
    outer.vt = VT_VARIANT | VT_BYREF;
    outer.pvarVal = &inner;
    ASSERT_EQ(VariantCopyInd(&copy, &outer), S_OK);
    EXPECT_EQ(copy.vt, VT_BSTR);
    EXPECT_NE(copy.bstrVal, inner.bstrVal);
    VariantClear(&copy);
    VariantClear(&inner);
}

TEST_F(VariantTest, ClearRefusesALockedArrayAndKeepsIt) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_ARRAY | VT_R4;
    v.parray = SafeArrayCreateVector(VT_R4, 0, 10);
    void* data = nullptr;
    ASSERT_EQ(SafeArrayAccessData(v.parray, &data), S_OK);
    EXPECT_EQ(VariantClear(&v), DISP_E_ARRAYISLOCKED);
    EXPECT_EQ(v.vt, VT_ARRAY | VT_R4);
    // Copying over a variant that holds a locked array fails the same way and leaks nothing.
    VARIANT s;
    VariantInit(&s);
    s.vt = VT_I4;
    EXPECT_EQ(VariantCopy(&v, &s), DISP_E_ARRAYISLOCKED);
    ASSERT_EQ(SafeArrayUnaccessData(v.parray), S_OK);
    EXPECT_EQ(VariantClear(&v), S_OK);
    EXPECT_EQ(v.vt, VT_EMPTY);
}

TEST_F(VariantTest, ChangeTypeFollowsThePlatformRules) {
    struct Row {
        VARTYPE from;
        double number;        // source value for numeric sources
        const char* text;     // source value for VT_BSTR sources
        VARTYPE to;
        HRESULT hr;
        double expect;        // numeric view of the result
        const char* expectText;
    };
    const Row rows[] = {
        {VT_R8, 2.5, nullptr, VT_I4, S_OK, 2, nullptr},           // half to even
        {VT_R8, -2.5, nullptr, VT_I2, S_OK, -2, nullptr},
        {VT_R8, 2.6, nullptr, VT_I4, S_OK, 3, nullptr},           // rounds, does not truncate
        {VT_R8, 32767.4, nullptr, VT_I2, S_OK, 32767, nullptr},
        {VT_R8, 32767.5, nullptr, VT_I2, DISP_E_OVERFLOW, 0, nullptr},
        {VT_R8, NAN, nullptr, VT_I4, DISP_E_OVERFLOW, 0, nullptr},
        {VT_R8, 1e300, nullptr, VT_R4, DISP_E_OVERFLOW, 0, nullptr},
        {VT_R8, INFINITY, nullptr, VT_R4, S_OK, INFINITY, nullptr},
        {VT_I4, 0, nullptr, VT_BOOL, S_OK, 0, nullptr},
        {VT_I4, 7, nullptr, VT_BOOL, S_OK, -1, nullptr},          // any non-zero is VARIANT_TRUE
        {VT_EMPTY, 0, nullptr, VT_R8, S_OK, 0, nullptr},          // empty is zero
        {VT_EMPTY, 0, nullptr, VT_BSTR, S_OK, 0, ""},             // and the empty string
        {VT_BSTR, 0, "1e3", VT_I4, S_OK, 1000, nullptr},
        {VT_BSTR, 0, "12abc", VT_I4, DISP_E_TYPEMISMATCH, 0, nullptr},
        {VT_BSTR, 0, "", VT_R8, DISP_E_TYPEMISMATCH, 0, nullptr},
        {VT_BSTR, 0, "1e999", VT_R8, DISP_E_OVERFLOW, 0, nullptr},
        {VT_BSTR, 0, "TRUE", VT_BOOL, S_OK, -1, nullptr},
        {VT_R8, 0.1, nullptr, VT_BSTR, S_OK, 0, "0.1"},
        {VT_BOOL, -1, nullptr, VT_BSTR, S_OK, 0, "-1"},
        {VT_NULL, 0, nullptr, VT_I4, DISP_E_TYPEMISMATCH, 0, nullptr},
    };
    for (const Row& row : rows) {
        VARIANT src, dst;
        VariantInit(&src);
        VariantInit(&dst);
        src.vt = row.from;
        if (row.from == VT_BSTR) src.bstrVal = SysAllocString(row.text);
        if (row.from == VT_R8) src.dblVal = row.number;
        if (row.from == VT_I4) src.lVal = static_cast<LONG>(row.number);
        if (row.from == VT_BOOL) src.boolVal = row.number ? VARIANT_TRUE : VARIANT_FALSE;
        EXPECT_EQ(VariantChangeType(&dst, &src, 0, row.to), row.hr) << row.from << "->" << row.to;
        if (row.hr == S_OK) {
            EXPECT_EQ(dst.vt, row.to);
            if (row.expectText) {
                EXPECT_STREQ(dst.bstrVal ? dst.bstrVal : "", row.expectText);
            } else {
                VARIANT d;
                VariantInit(&d);
                ASSERT_EQ(VariantChangeType(&d, &dst, 0, VT_R8), S_OK);
                EXPECT_EQ(d.dblVal, row.expect) << row.from << "->" << row.to;
            }
        } else {
            EXPECT_EQ(dst.vt, VT_EMPTY);  // a failed conversion leaves the destination alone
        }
        VariantClear(&src);
        VariantClear(&dst);
    }
}

TEST_F(VariantTest, ChangeTypeInPlaceAndThroughInterfaces) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString("17");
    ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_I2), S_OK);  // the old string is freed
    EXPECT_EQ(v.iVal, 17);

    CComPtr<CTestObject> obj;
    obj.Attach(CTestObject::Create());
    VARIANT unk, disp;
    VariantInit(&unk);
    VariantInit(&disp);
    unk.vt = VT_UNKNOWN;
    unk.punkVal = static_cast<IDispatch*>(obj.get());
    obj->AddRef();
    ASSERT_EQ(VariantChangeType(&disp, &unk, 0, VT_DISPATCH), S_OK);
    EXPECT_EQ(disp.pdispVal, static_cast<IDispatch*>(obj.get()));
    EXPECT_EQ(VariantChangeType(&v, &disp, 0, VT_I4), DISP_E_TYPEMISMATCH);
    VariantClear(&unk);
    VariantClear(&disp);
}

TEST_F(VariantTest, GuidTextRoundTripsAndRejectsMalformedText) {
    const GUID g = {0x0A1B2C3D, 0x4E5F, 0x6071, {0x82, 0x93, 0xA4, 0xB5, 0xC6, 0xD7, 0xE8, 0xF9}};
    EXPECT_EQ(StringFromGUID(g), "{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}");
    GUID parsed{};
    ASSERT_TRUE(GUIDFromString("{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}", &parsed));
    EXPECT_EQ(parsed, g);
    const char* bad[] = {
        "0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9",    // no braces
        "{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F}",   // one digit short
        "{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8FG}",  // not a hex digit
        "{0A1B2C3D+4E5F-6071-8293-A4B5C6D7E8F9}",  // wrong separator
    };
    for (const char* text : bad) {
        GUID untouched = g;
        EXPECT_FALSE(GUIDFromString(text, &untouched)) << text;
        EXPECT_EQ(untouched, g);
    }
}

}  // namespace
