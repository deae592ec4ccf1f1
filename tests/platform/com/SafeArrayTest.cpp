// Safe array bounds, element access and the locking rules.
#include <gtest/gtest.h>

#include "ComLeakCheck.h"
#include "platform/com/SafeArray.h"

namespace {

class SafeArrayTest : public ComLeakCheck {};

TEST_F(SafeArrayTest, VectorDescribesItsShape) {
    SAFEARRAY* psa = SafeArrayCreateVector(VT_R4, -2, 5);
    ASSERT_NE(psa, nullptr);
    EXPECT_EQ(SafeArrayGetDim(psa), 1u);
    EXPECT_EQ(SafeArrayGetElemsize(psa), 4u);
    LONG lb = 0, ub = 0;
    EXPECT_EQ(SafeArrayGetLBound(psa, 1, &lb), S_OK);
    EXPECT_EQ(SafeArrayGetUBound(psa, 1, &ub), S_OK);
    EXPECT_EQ(lb, -2);
    EXPECT_EQ(ub, 2);
    EXPECT_EQ(SafeArrayGetLBound(psa, 2, &lb), DISP_E_BADINDEX);
    VARTYPE vt = VT_EMPTY;
    EXPECT_EQ(SafeArrayGetVartype(psa, &vt), S_OK);
    EXPECT_EQ(vt, VT_R4);
    float x = 7.0f;
    LONG index = 2;
    EXPECT_EQ(SafeArrayPutElement(psa, &index, &x), S_OK);
    index = 3;
    EXPECT_EQ(SafeArrayPutElement(psa, &index, &x), DISP_E_BADINDEX);
    index = -3;
    EXPECT_EQ(SafeArrayGetElement(psa, &index, &x), DISP_E_BADINDEX);
    float* data = nullptr;
    ASSERT_EQ(SafeArrayAccessData(psa, reinterpret_cast<void**>(&data)), S_OK);
    EXPECT_EQ(data[4], 7.0f);
    EXPECT_EQ(data[0], 0.0f);  // elements start zeroed
    SafeArrayUnaccessData(psa);
    EXPECT_EQ(SafeArrayDestroy(psa), S_OK);
}

TEST_F(SafeArrayTest, LockedArraysCannotBeDestroyedOrResized) {
    SAFEARRAY* psa = SafeArrayCreateVector(VT_R8, 0, 4);
    void* data = nullptr;
    ASSERT_EQ(SafeArrayAccessData(psa, &data), S_OK);
    ASSERT_EQ(SafeArrayLock(psa), S_OK);  // locks nest
    EXPECT_EQ(psa->cLocks, 2u);
    SAFEARRAYBOUND bigger{8, 0};
    EXPECT_EQ(SafeArrayRedim(psa, &bigger), DISP_E_ARRAYISLOCKED);
    EXPECT_EQ(SafeArrayDestroy(psa), DISP_E_ARRAYISLOCKED);
    EXPECT_EQ(SafeArrayUnlock(psa), S_OK);
    EXPECT_EQ(SafeArrayDestroy(psa), DISP_E_ARRAYISLOCKED);  // still one lock
    EXPECT_EQ(SafeArrayUnaccessData(psa), S_OK);
    EXPECT_EQ(SafeArrayUnaccessData(psa), E_UNEXPECTED);    // nothing left to unlock
    EXPECT_EQ(SafeArrayRedim(psa, &bigger), S_OK);
    LONG ub = 0;
    SafeArrayGetUBound(psa, 1, &ub);
    EXPECT_EQ(ub, 7);
    EXPECT_EQ(SafeArrayDestroy(psa), S_OK);
}

TEST_F(SafeArrayTest, CreationRefusesWhatCannotBeBuilt) {
    SAFEARRAYBOUND two[2] = {{2, 0}, {2, 0}};
    EXPECT_EQ(SafeArrayCreate(VT_R4, 2, two), nullptr);               // one dimension only
    EXPECT_EQ(SafeArrayCreateVector(VT_DISPATCH, 0, 2), nullptr);     // not an element type
    EXPECT_EQ(SafeArrayCreateVector(VT_R8, 0, 0xFFFFFFFFu), nullptr); // 32 GiB: refused, not attempted
    SAFEARRAY* empty = SafeArrayCreateVector(VT_R4, 0, 0);
    ASSERT_NE(empty, nullptr);
    LONG ub = 0;
    EXPECT_EQ(SafeArrayGetUBound(empty, 1, &ub), S_OK);
    EXPECT_EQ(ub, -1);
    SafeArrayDestroy(empty);
}

TEST_F(SafeArrayTest, StringElementsAreOwnedAndCopiedDeeply) {
    SAFEARRAY* psa = SafeArrayCreateVector(VT_BSTR, 0, 2);
    BSTR s = SysAllocString("one");
    LONG i = 1;
    ASSERT_EQ(SafeArrayPutElement(psa, &i, s), S_OK);
    SysFreeString(s);
    SAFEARRAY* copy = nullptr;
    ASSERT_EQ(SafeArrayCopy(psa, &copy), S_OK);
    BSTR got = nullptr;
    ASSERT_EQ(SafeArrayGetElement(copy, &i, &got), S_OK);
    EXPECT_STREQ(got, "one");
    SysFreeString(got);
    EXPECT_EQ(GetLiveBstrCount(), 2);  // one in each array
    SafeArrayDestroy(psa);
    SafeArrayDestroy(copy);
}

}  // namespace
