#pragma once
#include "TestScratch.h"
// Helpers for the viewer tests: data sets written to .orvex files, a control with a headless
// window manager, and pixel access (sinks and variants come from common/).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/RecordingSink.h"
#include "common/Variants.h"
#include "geometry/CSimulationData.h"
#include "geometry/OrvexFile.h"
#include "geometry/SimulationDataJson.h"
#include "platform/com/ComObject.h"
#include "platform/com/ComPtr.h"
#include "platform/com/LiveObjects.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"
#include "platform/win/CWindowManager.h"
#include "platform/win/CWnd.h"
#include "viewer/OrvexViewerCtrl.h"

namespace viewer_test {

inline std::string SourcePath(const std::string& relative) { return std::string(ORVEX_SOURCE_DIR) + "/" + relative; }

// A scratch folder of the build for files the tests write.
inline std::string ScratchPath(const std::string& name) {
    return (TestScratchDir() / name).string();
}

// A hand-made data set of tests/data/viewer.
inline CSimulationData LoadDataJson(const std::string& name) {
    CSimulationData data;
    std::string error;
    EXPECT_TRUE(LoadJsonFile(SourcePath("tests/data/viewer/" + name), data, error)) << error;
    return data;
}

// Writes a data set as a .orvex file in the scratch folder and returns its path.
inline std::string WriteOrvex(const CSimulationData& data, const std::string& name) {
    const std::string path = ScratchPath(name);
    std::string error;
    EXPECT_TRUE(SaveOrvexFile(path, data, error)) << error;
    return path;
}

// A snapshot with one bundle of straight legs between the given times (x along the leg index).
inline CSimulationData::stSnapshot SnapshotWithLegTimes(const std::vector<std::pair<double, double>>& times) {
    CSimulationData::stSnapshot s;
    CBundle bundle;
    double x = 0.0;
    for (const auto& [t0, t1] : times) {
        bundle.m_rays.emplace_back(CPoint3D(x, 0, 0), CPoint3D(x, 10, 0), t0, t1);
        x += 1.0;
    }
    s.m_bundles.push_back(bundle);
    s.m_nBundles = 1;
    return s;
}

// A top-level page window the control is activated in.
class CPageWnd : public CWnd {};

// A fresh window manager and a viewer control per test; every COM object is gone at the end.
class ViewerTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_liveAtStart = CComLiveObject::GetLiveCount();
        m_ctrl = new COrvexViewerCtrl;  // one reference, ours
    }
    void TearDown() override {
        if (m_ctrl != nullptr) m_ctrl->Release();
        m_ctrl = nullptr;
        if (m_page.GetSafeHwnd() != nullptr) m_page.DestroyWindow();
        EXPECT_EQ(CComLiveObject::GetLiveCount(), m_liveAtStart) << "a COM object outlived its test";
    }

    // Activates the control in a page window at rect; the page is made on first use.
    void Activate(const CRect& rect = CRect(0, 0, 500, 400)) {
        if (m_page.GetSafeHwnd() == nullptr) {
            ASSERT_TRUE(m_page.CreateEx(0, nullptr, "page", WS_VISIBLE, CRect(0, 0, 600, 500), nullptr, 0));
        }
        ASSERT_TRUE(m_ctrl->ActivateInPlace(&m_page, rect));
    }

    // Loads a data set through a .orvex file, as a user setting FileName does.
    void LoadData(const CSimulationData& data, const std::string& name = "data.orvex") {
        m_ctrl->SetFileName(WriteOrvex(data, name));
    }

    // Reads a property through IDispatch.
    VARIANT Get(DISPID id) {
        VARIANT result;
        VariantInit(&result);
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        EXPECT_EQ(m_ctrl->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr), S_OK);
        return result;
    }
    // Writes a property through IDispatch; returns the HRESULT (and the error's scode in *scode).
    HRESULT Put(DISPID id, VARIANT value, SCODE* scode = nullptr) {
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS params = {&value, &named, 1, 1};
        EXCEPINFO info{};
        const HRESULT hr = m_ctrl->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, &info, nullptr);
        if (scode != nullptr) *scode = info.scode;
        ClearExcepInfo(&info);
        return hr;
    }

    CWindowManager m_manager;
    CPageWnd m_page;
    COrvexViewerCtrl* m_ctrl = nullptr;
    int64_t m_liveAtStart = 0;
};

// The colour a canvas starts with, which no drawing of the viewer uses.
constexpr COLORREF kSentinel = RGB(1, 2, 3);

// A memory context drawing into a bitmap of the given size (a screen context unless told).
struct CCanvas {
    CCanvas(int w, int h, int technology = DT_RASDISPLAY) {
        dc.CreateCompatibleDC(nullptr);
        dc.SetTechnology(technology);
        bitmap.CreateBitmap(w, h, 1, 32, nullptr);
        previous = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, w, h, kSentinel);
        dc.SetBkColor(RGB(255, 255, 255));  // FillSolidRect left the sentinel as background colour
    }
    ~CCanvas() { dc.SelectObject(previous); }
    COLORREF At(int x, int y) const { return bitmap.GetPixels()[y * bitmap.GetWidth() + x]; }
    // How many pixels of the whole bitmap have this colour.
    int Count(COLORREF c) const {
        int n = 0;
        const uint32_t* p = bitmap.GetPixels();
        for (int i = 0; i < bitmap.GetWidth() * bitmap.GetHeight(); ++i) n += (p[i] == c);
        return n;
    }
    CDC dc;
    CBitmap bitmap;
    CBitmap* previous = nullptr;
};

}  // namespace viewer_test
