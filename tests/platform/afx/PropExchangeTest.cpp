// Persistence through property exchange: load with absent and mistyped keys, save, reset, and the
// version exchange.
#include <gtest/gtest.h>

#include "AfxTestSupport.h"
#include "TestControl.h"
#include "platform/com/PropertyBag.h"

namespace {

class PropExchangeTest : public AfxTest {
protected:
    void SetUp() override {
        AfxTest::SetUp();
        ctrl = new CTestCtrl();
        bag = CPropertyBag::Create();
    }
    void TearDown() override {
        bag.Release();
        static_cast<IDispatch*>(ctrl)->Release();
        AfxTest::TearDown();
    }
    IPersistPropertyBag* Persist() { return static_cast<IPersistPropertyBag*>(ctrl); }
    void SetNumber(const char* name, double value) {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_R8;
        v.dblVal = value;
        bag->Set(name, v);
    }
    void SetText(const char* name, const char* text) {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocString(text);
        bag->Set(name, v);
        VariantClear(&v);
    }
    CTestCtrl* ctrl = nullptr;
    CComPtr<CPropertyBag> bag;
};

TEST_F(PropExchangeTest, LoadTakesStoredValuesAndDefaultsForAbsentOrUnreadableKeys) {
    ctrl->m_plotType = 7;  // to see that an absent key takes its default, not the current value
    ctrl->m_endLimit = 3.0;
    SetText("FileName", "a.orvex");
    SetNumber("RayEndTime", 2.5);
    SetNumber("CurrentSnapShot", 3.0);   // numbers of any form convert
    SetText("WndLeft", "not a number");  // unreadable: the default
    VARIANT b;
    VariantInit(&b);
    b.vt = VT_BOOL;
    b.boolVal = VARIANT_TRUE;
    bag->Set("IsAnimated", b);
    SetNumber("UnknownKey", 1.0);        // ignored
    ASSERT_EQ(Persist()->Load(bag.get()), S_OK);
    EXPECT_EQ(ctrl->m_fileName, "a.orvex");
    EXPECT_EQ(ctrl->m_endTime, 2.5);
    EXPECT_EQ(ctrl->m_snapshot, 3);
    EXPECT_EQ(ctrl->m_animated, TRUE);
    EXPECT_EQ(ctrl->m_left, 0.0f);
    EXPECT_EQ(ctrl->m_plotType, 0);
    EXPECT_EQ(ctrl->m_endLimit, 50.0);   // the stored default, not the reset value
    EXPECT_EQ(ctrl->GetVersionLoaded(), 0x00010000u);  // absent: the current version
    EXPECT_FALSE(ctrl->IsModified());
}

TEST_F(PropExchangeTest, ResetTakesTheDefaultsAndTheControlsOwnResetValues) {
    ctrl->m_fileName = "x";
    ctrl->m_endTime = 99.0;
    ctrl->SetModifiedFlag();
    ASSERT_EQ(Persist()->InitNew(), S_OK);
    EXPECT_EQ(ctrl->m_fileName, "");
    EXPECT_EQ(ctrl->m_endTime, 10.0);
    EXPECT_EQ(ctrl->m_endLimit, 0.0);    // the reset value wins over the stored default 50.0
    EXPECT_FALSE(ctrl->IsModified());
}

TEST_F(PropExchangeTest, SaveWritesEveryKeyWithItsTypeAndTheVersion) {
    ctrl->m_fileName = "b.orvex";
    ctrl->m_plotType = 2;
    ctrl->m_animated = TRUE;
    ctrl->m_left = 1.5f;
    ctrl->SetModifiedFlag();
    ASSERT_EQ(Persist()->Save(bag.get(), TRUE, TRUE), S_OK);
    EXPECT_FALSE(ctrl->IsModified());
    EXPECT_EQ(bag->GetNames(), (std::vector<std::string>{"_Version", "FileName", "RayPlotType", "CurrentSnapShot",
                                                         "IsAnimated", "WndLeft", "RayEndTime",
                                                         "PulseAnimateEndLimit"}));
    struct Row {
        const char* key;
        VARTYPE vt;
    };
    const Row rows[] = {{"_Version", VT_I4}, {"FileName", VT_BSTR}, {"RayPlotType", VT_I2}, {"IsAnimated", VT_BOOL},
                        {"WndLeft", VT_R4},  {"RayEndTime", VT_R8}};
    for (const Row& row : rows) EXPECT_EQ(bag->Find(row.key)->vt, row.vt) << row.key;
    EXPECT_EQ(bag->Find("_Version")->lVal, 0x00010000);  // major 1 in the high word, minor 0
    EXPECT_STREQ(bag->Find("FileName")->bstrVal, "b.orvex");
    EXPECT_EQ(bag->Find("IsAnimated")->boolVal, VARIANT_TRUE);

    // What was saved loads back into a fresh control unchanged.
    CTestCtrl* other = new CTestCtrl();
    ASSERT_EQ(static_cast<IPersistPropertyBag*>(other)->Load(bag.get()), S_OK);
    EXPECT_EQ(other->m_fileName, "b.orvex");
    EXPECT_EQ(other->m_plotType, 2);
    EXPECT_EQ(other->m_animated, TRUE);
    EXPECT_EQ(other->m_left, 1.5f);
    static_cast<IDispatch*>(other)->Release();
}

TEST_F(PropExchangeTest, VersionExchangeReportsTheStoredVersionAndConverts) {
    SetNumber("_Version", 0x00000002);  // an older version 0.2
    ASSERT_EQ(Persist()->Load(bag.get()), S_OK);
    EXPECT_EQ(ctrl->GetVersionLoaded(), 2u);
    // A direct exchange without conversion keeps the stored version in effect.
    CPropExchange px(bag.get(), CPropExchange::Direction::Load);
    DWORD loaded = 0;
    EXPECT_TRUE(px.ExchangeVersion(loaded, 0x00010000, FALSE));
    EXPECT_EQ(loaded, 2u);
    EXPECT_EQ(px.GetVersion(), 2u);
    CPropExchange converting(bag.get(), CPropExchange::Direction::Load);
    converting.ExchangeVersion(loaded, 0x00010000, TRUE);
    EXPECT_EQ(converting.GetVersion(), 0x00010000u);
    EXPECT_TRUE(converting.IsLoading());
}

TEST_F(PropExchangeTest, ExchangeWithoutDefaultLeavesAbsentValuesAlone) {
    CPropExchange px(bag.get(), CPropExchange::Direction::Load);
    double d = 4.0;
    std::string s = "keep";
    EXPECT_FALSE(PX_Double(&px, "Missing", d));
    EXPECT_FALSE(PX_String(&px, "Missing", s));
    EXPECT_EQ(d, 4.0);
    EXPECT_EQ(s, "keep");
    EXPECT_FALSE(PX_Double(&px, "Missing", d, 1.0));
    EXPECT_EQ(d, 1.0);
}

}  // namespace
