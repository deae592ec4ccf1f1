#include "TestDispatchObject.h"

#include <stdexcept>

#include "platform/com/TypeLib.h"

namespace {
const DispatchMember kMembers[] = {
    Property(1, "Short", VT_I2, &CTestObject::GetShort, &CTestObject::SetShort).Help("A 16-bit value"),
    PropertyNotify(2, "Long", VT_I4, &CTestObject::m_long, &CTestObject::OnChanged),
    PropertyNotify(3, "Float", VT_R4, &CTestObject::m_float, nullptr),
    PropertyNotify(4, "Double", VT_R8, &CTestObject::m_double, nullptr),
    PropertyNotify(5, "Bool", VT_BOOL, &CTestObject::m_bool, nullptr),
    Property(6, "Text", VT_BSTR, &CTestObject::GetText, &CTestObject::SetText),
    Property(7, "Peer", VT_DISPATCH, &CTestObject::GetPeer, &CTestObject::SetPeer),
    Property(8, "Constant", VT_R8, &CTestObject::GetConstant, nullptr),
    Property(9, "Throwing", VT_I4, nullptr, &CTestObject::SetThrowing),
    Method(10, "Combine", VT_R8,
           {{"A", VT_I2}, {"B", VT_I4}, {"C", VT_R4}, {"D", VT_R8}, {"E", VT_BSTR}, {"F", VT_BOOL}},
           &CTestObject::Combine),
    Method(11, "FillRefs", VT_BOOL,
           {{"S", VT_I2 | VT_BYREF},
            {"L", VT_I4 | VT_BYREF},
            {"F", VT_R4 | VT_BYREF},
            {"D", VT_R8 | VT_BYREF},
            {"B", VT_BSTR | VT_BYREF},
            {"V", VT_VARIANT | VT_BYREF}},
           &CTestObject::FillRefs),
    Method(12, "Fail", VT_EMPTY, {}, &CTestObject::Fail),
    Method(13, "Echo", VT_VARIANT, {{"Value", VT_VARIANT}}, &CTestObject::Echo),
    Method(14, "SwapRefs", VT_EMPTY, {{"B", VT_BOOL | VT_BYREF}, {"D", VT_DISPATCH | VT_BYREF}},
           &CTestObject::SwapRefs),
};
}  // namespace

const CDispatchInterface& CTestObject::Interface() {
    // Declared with the methods first, to prove that declaration order is independent of ids.
    static const CDispatchInterface iface("_DTestObject", IID_ITestObject, "Test interface", kMembers,
                                          {10, 11, 12, 13, 14, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    return iface;
}

HRESULT CTestObject::GetTypeInfo(UINT index, LCID, ITypeInfo** pp) {
    if (index != 0) return DISP_E_BADINDEX;
    return CreateDispatchTypeInfo(Interface(), pp);
}
