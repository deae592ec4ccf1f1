// The type library model: declaration order apart from ids, names, help strings, classes.
#include <gtest/gtest.h>

#include "ComLeakCheck.h"
#include "TestDispatchObject.h"
#include "platform/com/ComPtr.h"
#include "platform/com/TypeLib.h"

namespace {

class TypeLibTest : public ComLeakCheck {};

const DispatchMember kEvents[] = {Event(1, "OnTick", {{"Time", VT_R8}}), Event(2, "DataSrcChange")};
constexpr IID IID_Events = {0x6C1E58A0, 0x3B7D, 0x4E0E, {0x9A, 0x51, 0x2D, 0x7F, 0x0C, 0x9B, 0x1A, 0x02}};
constexpr CLSID CLSID_Test = {0x6C1E58A0, 0x3B7D, 0x4E0E, {0x9A, 0x51, 0x2D, 0x7F, 0x0C, 0x9B, 0x1A, 0x03}};
constexpr GUID LIBID_Test = {0x6C1E58A0, 0x3B7D, 0x4E0E, {0x9A, 0x51, 0x2D, 0x7F, 0x0C, 0x9B, 0x1A, 0x04}};

const CDispatchInterface& Events() {
    static const CDispatchInterface iface("_DTestEvents", IID_Events, "Events", kEvents, {},
                                          CDispatchInterface::Role::Events);
    return iface;
}

CTypeLibrary MakeLibrary() {
    CTypeLibrary lib("TESTLib", LIBID_Test, 1, 0, "Test library");
    lib.AddInterface(CTestObject::Interface());
    lib.AddInterface(Events());
    lib.AddClass({"Test", CLSID_Test, "Test class", &CTestObject::Interface(), &Events()});
    return lib;
}

TEST_F(TypeLibTest, MembersKeepTheirDeclarationOrder) {
    CTypeLibrary lib = MakeLibrary();
    CComPtr<ITypeInfo> info;
    ASSERT_EQ(lib.GetTypeInfoOfGuid(IID_ITestObject, &info), S_OK);
    MEMBERID first = 0, sixth = 0;
    ASSERT_EQ(info->GetMemberIdOfIndex(0, &first), S_OK);
    ASSERT_EQ(info->GetMemberIdOfIndex(5, &sixth), S_OK);
    EXPECT_EQ(first, 10);  // the methods are declared first
    EXPECT_EQ(sixth, 1);  // then the properties
    MEMBERID none = 0;
    EXPECT_EQ(info->GetMemberIdOfIndex(14, &none), TYPE_E_ELEMENTNOTFOUND);
    TYPEATTR attr;
    ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr.typekind, TKIND_DISPATCH);
    EXPECT_EQ(attr.cVars, 9);
    EXPECT_EQ(attr.cFuncs, 5);
    EXPECT_EQ(info->GetDispatchInterface(), &CTestObject::Interface());
}

TEST_F(TypeLibTest, NamesAndDocumentationComeFromTheTable) {
    CTypeLibrary lib = MakeLibrary();
    CComPtr<ITypeInfo> info;
    ASSERT_EQ(lib.GetTypeInfo(0, &info), S_OK);
    BSTR names[8] = {};
    UINT count = 0;
    ASSERT_EQ(info->GetNames(11, names, 8, &count), S_OK);
    ASSERT_EQ(count, 7u);
    EXPECT_STREQ(names[0], "FillRefs");
    EXPECT_STREQ(names[6], "V");
    for (UINT i = 0; i < count; ++i) SysFreeString(names[i]);
    BSTR name = nullptr, doc = nullptr;
    ASSERT_EQ(info->GetDocumentation(1, &name, &doc, nullptr, nullptr), S_OK);
    EXPECT_STREQ(name, "Short");
    EXPECT_STREQ(doc, "A 16-bit value");
    SysFreeString(name);
    SysFreeString(doc);
    EXPECT_EQ(info->GetDocumentation(99, &name, nullptr, nullptr, nullptr), TYPE_E_ELEMENTNOTFOUND);

    CComPtr<ITypeInfo> cls;
    ASSERT_EQ(lib.GetTypeInfo(2, &cls), S_OK);
    TYPEATTR attr;
    cls->GetTypeAttr(&attr);
    EXPECT_EQ(attr.typekind, TKIND_COCLASS);
    EXPECT_EQ(attr.guid, CLSID_Test);
    CComPtr<ITypeInfo> missing;
    EXPECT_EQ(lib.GetTypeInfo(3, &missing), TYPE_E_ELEMENTNOTFOUND);
}

TEST_F(TypeLibTest, DescriptionListsMembersInDeclarationOrderWithTypes) {
    const std::string text = MakeLibrary().Describe();
    EXPECT_NE(text.find("library TESTLib"), std::string::npos);
    EXPECT_NE(text.find("[id(11)] boolean FillRefs(short* S, long* L, float* F, double* D, BSTR* B, VARIANT* V);"),
              std::string::npos);
    EXPECT_NE(text.find("[id(8), readonly] double Constant;"), std::string::npos);
    EXPECT_LT(text.find("Combine"), text.find("FillRefs"));
    EXPECT_NE(text.find("[default, source] dispinterface _DTestEvents;"), std::string::npos);
}

TEST_F(TypeLibTest, ObjectServesItsTypeInfo) {
    CComPtr<CTestObject> obj;
    obj.Attach(CTestObject::Create());
    CComPtr<ITypeInfo> info;
    ASSERT_EQ(obj->GetTypeInfo(0, 0, &info), S_OK);
    char name[] = "combine";
    LPOLESTR names[] = {name};
    MEMBERID id = 0;
    EXPECT_EQ(info->GetIDsOfNames(names, 1, &id), S_OK);
    EXPECT_EQ(id, 10);
}

}  // namespace
