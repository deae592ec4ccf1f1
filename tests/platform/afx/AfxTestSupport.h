#pragma once
// Fixture of the control base class tests: no live COM object, string or array and no control
// left at the end, and a window manager of the test's own.
#include <gtest/gtest.h>

#include <memory>

#include "common/RecordingSink.h"
#include "platform/afx/COleObjectFactory.h"
#include "platform/com/ComLeakCheck.h"
#include "platform/com/ComObject.h"
#include "platform/com/OleInterfaces.h"
#include "platform/win/CWindowManager.h"

class AfxTest : public ComLeakCheck {
protected:
    void SetUp() override {
        ComLeakCheck::SetUp();
        m_manager = std::make_unique<CWindowManager>();
    }
    void TearDown() override {
        EXPECT_EQ(AfxOleGetObjectCount(), 0) << "controls alive at the end of the test";
        m_manager.reset();
        ComLeakCheck::TearDown();
    }
    std::unique_ptr<CWindowManager> m_manager;
};
