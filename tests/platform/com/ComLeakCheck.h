#pragma once
// Every COM test ends with no live COM object, BSTR or safe array: a leaked reference or an
// unfreed string anywhere on the tested path fails the test that caused it.
#include <gtest/gtest.h>

#include "platform/com/LiveObjects.h"

class ComLeakCheck : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CComLiveObject::GetLiveCount(), 0) << "an earlier test leaked COM objects";
        ASSERT_EQ(GetLiveBstrCount(), 0) << "an earlier test leaked BSTRs";
        ASSERT_EQ(GetLiveSafeArrayCount(), 0) << "an earlier test leaked safe arrays";
    }
    void TearDown() override {
        EXPECT_EQ(CComLiveObject::GetLiveCount(), 0) << "live COM objects at the end of the test";
        EXPECT_EQ(GetLiveBstrCount(), 0) << "BSTRs not freed at the end of the test";
        EXPECT_EQ(GetLiveSafeArrayCount(), 0) << "safe arrays not destroyed at the end of the test";
    }
};
