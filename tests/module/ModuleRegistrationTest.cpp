// Registration entry points, class factories and start-up of the module, against a registry of
// the test's own.
#include <gtest/gtest.h>

#include "ids/OrvexAscanViewerIds.h"
#include "ids/OrvexTypeLibIds.h"
#include "ids/OrvexViewerIds.h"
#include "module/EntryPoints.h"
#include "module/OrvexFactories.h"
#include "module/OrvexTypeLib.h"
#include "module/OrvexViewerApp.h"
#include "pages/PageResourceIds.h"
#include "platform/afx/COleControl.h"
#include "platform/afx/COlePropertyPage.h"
#include "platform/com/Registry.h"
#include "platform/com/TypeLibRegistration.h"

namespace {

const std::string kClsidRoot = "HKEY_CLASSES_ROOT\\CLSID\\";
std::string ClsidKey(REFCLSID clsid) { return kClsidRoot + StringFromGUID(clsid); }
std::string LibKey() { return "HKEY_CLASSES_ROOT\\TypeLib\\" + StringFromGUID(LIBID_ORVEXVIEWERLib) + "\\1.0"; }

class ModuleRegistrationTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(LoadOrvexModule()); }
    CRegistry m_registry;
    CRegistryScope m_scope{m_registry};
};

TEST_F(ModuleRegistrationTest, RegistersControlsWithTheirData) {
    ASSERT_EQ(DllRegisterServer(), S_OK);
    const std::string key = ClsidKey(CLSID_OrvexViewerCtrl);
    EXPECT_EQ(m_registry.QueryValue(key, "")->text, "OrvexViewer Control");
    EXPECT_EQ(m_registry.QueryValue(key + "\\InprocServer32", "ThreadingModel")->text, "Apartment");
    EXPECT_EQ(m_registry.QueryValue(key + "\\MiscStatus\\1", "")->text, "131473");
    EXPECT_EQ(m_registry.QueryValue(key + "\\ProgID", "")->text, "ORVEXVIEWER.OrvexViewerCtrl.1");
    EXPECT_EQ(m_registry.QueryValue(key + "\\TypeLib", "")->text, StringFromGUID(LIBID_ORVEXVIEWERLib));
    EXPECT_EQ(m_registry.QueryValue(key + "\\Version", "")->text, "1.0");
    EXPECT_TRUE(m_registry.KeyExists(key + "\\Control"));
    const std::string bitmap = m_registry.QueryValue(ClsidKey(CLSID_OrvexAscanViewerCtrl) + "\\ToolboxBitmap32", "")->text;
    EXPECT_EQ(bitmap.substr(bitmap.size() - 3), ", 2");
    EXPECT_EQ(m_registry.QueryValue("HKEY_CLASSES_ROOT\\ORVEXASCANVIEWER.OrvexAscanViewerCtrl.1\\CLSID", "")->text,
              StringFromGUID(CLSID_OrvexAscanViewerCtrl));
    EXPECT_EQ(m_registry.QueryValue(LibKey(), "")->text, "OrvexViewer ActiveX Control module");
    EXPECT_TRUE(m_registry.KeyExists("HKEY_CLASSES_ROOT\\Interface\\" + StringFromGUID(IID_DOrvexAscanViewerEvents)));
}

TEST_F(ModuleRegistrationTest, PagesAreRegisteredByClassIdentifierAlone) {
    ASSERT_EQ(DllRegisterServer(), S_OK);
    struct Row {
        CLSID clsid;
        const char* progID;
        const char* typeName;
    };
    const Row pages[] = {
        {CLSID_OrvexViewerPropPage, kOrvexViewerPropPageProgID, "OrvexViewer Property Page"},
        {CLSID_OrvexViewerPropPage2, kOrvexViewerPropPage2ProgID, "OrvexViewer Property Page 2"},
        {CLSID_OrvexAscanViewerPropPage, kOrvexAscanViewerPropPageProgID, "OrvexAscanViewer Property Page"},
    };
    for (const Row& p : pages) {
        EXPECT_EQ(m_registry.QueryValue(ClsidKey(p.clsid), "")->text, p.typeName);
        EXPECT_FALSE(m_registry.KeyExists(ClsidKey(p.clsid) + "\\ProgID")) << p.progID;
        EXPECT_FALSE(m_registry.KeyExists(std::string("HKEY_CLASSES_ROOT\\") + p.progID)) << p.progID;
        // The factory still knows the ProgID, the odd one as written.
        EXPECT_NE(COleObjectFactory::FindByProgID(p.progID), nullptr) << p.progID;
    }
    // Unregistering a page removes its class key and nothing of anyone else's.
    CRegistry before = m_registry;
    ASSERT_TRUE(GetOrvexFactories()[2]->UpdateRegistry(FALSE));
    const std::vector<std::string> changes = m_registry.DescribeChangesSince(before);
    ASSERT_FALSE(changes.empty());
    for (const std::string& line : changes)
        EXPECT_NE(line.find(StringFromGUID(CLSID_OrvexViewerPropPage)), std::string::npos) << line;
}

TEST_F(ModuleRegistrationTest, RegisterThenUnregisterLeavesTheRegistryAsItWas) {
    m_registry.SetStringValue("HKEY_CLASSES_ROOT\\.txt", "", "txtfile");
    m_registry.SetStringValue("HKEY_CLASSES_ROOT\\CLSID\\{00000000-0000-0000-0000-000000000001}", "", "other");
    const CRegistry before = m_registry;
    ASSERT_EQ(DllRegisterServer(), S_OK);
    EXPECT_FALSE(m_registry.DescribeChangesSince(before).empty());
    ASSERT_EQ(DllRegisterServer(), S_OK);  // registering twice changes nothing more
    ASSERT_EQ(DllUnregisterServer(), S_OK);
    EXPECT_EQ(m_registry.DescribeChangesSince(before), std::vector<std::string>{});
    EXPECT_EQ(m_registry.SaveToText(), before.SaveToText());
}

TEST_F(ModuleRegistrationTest, FailingTypeLibraryRegistersNoClass) {
    m_registry.DenyWrites("HKEY_CLASSES_ROOT\\TypeLib");
    EXPECT_EQ(DllRegisterServer(), SELFREG_E_TYPELIB);
    EXPECT_TRUE(m_registry.IsEmpty());  // neither the library's keys nor any class
}

TEST_F(ModuleRegistrationTest, FailingClassStopsTheRegistrationThere) {
    // The second page's class key is protected: the pages after it are not attempted.
    m_registry.DenyWrites(ClsidKey(CLSID_OrvexViewerPropPage2));
    EXPECT_EQ(DllRegisterServer(), SELFREG_E_CLASS);
    EXPECT_TRUE(m_registry.KeyExists(ClsidKey(CLSID_OrvexViewerCtrl)));
    EXPECT_TRUE(m_registry.KeyExists(ClsidKey(CLSID_OrvexViewerPropPage)));
    EXPECT_FALSE(m_registry.KeyExists(ClsidKey(CLSID_OrvexViewerPropPage2)));
    EXPECT_FALSE(m_registry.KeyExists(ClsidKey(CLSID_OrvexAscanViewerPropPage)));
}

TEST_F(ModuleRegistrationTest, UnregisteringWhatIsNotRegisteredFailsOnTheTypeLibrary) {
    EXPECT_EQ(DllUnregisterServer(), SELFREG_E_TYPELIB);
    EXPECT_TRUE(m_registry.IsEmpty());
}

TEST_F(ModuleRegistrationTest, RegisteredLibraryLoadsByIdentifierAndVersion) {
    const CTypeLibrary* lib = nullptr;
    EXPECT_EQ(LoadRegTypeLib(LIBID_ORVEXVIEWERLib, 1, 0, 0x0409, &lib), TYPE_E_LIBNOTREGISTERED);
    ASSERT_EQ(DllRegisterServer(), S_OK);
    ASSERT_EQ(LoadRegTypeLib(LIBID_ORVEXVIEWERLib, 1, 0, 0x0409, &lib), S_OK);  // falls back to the neutral locale
    EXPECT_EQ(lib, &GetOrvexTypeLibrary());
    EXPECT_EQ(LoadRegTypeLib(LIBID_ORVEXVIEWERLib, 1, 1, 0, &lib), TYPE_E_LIBNOTREGISTERED);  // no 1.1
    EXPECT_EQ(LoadRegTypeLib(LIBID_ORVEXVIEWERLib, 2, 0, 0, &lib), TYPE_E_LIBNOTREGISTERED);
}

TEST_F(ModuleRegistrationTest, ControlsServeTheRegisteredDescription) {
    ITypeInfo* info = nullptr;
    EXPECT_EQ(GetOrvexControlTypeInfo(IID_DOrvexViewer, 0x0409, &info), TYPE_E_LIBNOTREGISTERED);
    ASSERT_EQ(DllRegisterServer(), S_OK);
    ASSERT_EQ(GetOrvexControlTypeInfo(IID_DOrvexViewer, 0x0409, &info), S_OK);
    MEMBERID id = 0;
    ASSERT_EQ(info->GetMemberIdOfIndex(18, &id), S_OK);
    EXPECT_EQ(id, DISPID_VIEWER_MAXIMUMRAYTIME);  // the library's order, not the table's
    info->Release();
    EXPECT_EQ(GetOrvexControlTypeInfo(IID_IDispatch, 0, &info), TYPE_E_ELEMENTNOTFOUND);
}

TEST_F(ModuleRegistrationTest, ClassObjectsCreateEachClass) {
    struct Row {
        CLSID clsid;
        IID iid;
    };
    const Row rows[] = {
        {CLSID_OrvexViewerCtrl, IID_DOrvexViewer},
        {CLSID_OrvexAscanViewerCtrl, IID_DOrvexAscanViewer},
        {CLSID_OrvexViewerPropPage, IID_IPropertyPage},
        {CLSID_OrvexViewerPropPage2, IID_IPropertyPage},
        {CLSID_OrvexAscanViewerPropPage, IID_IPropertyPage},
    };
    for (const Row& r : rows) {
        IClassFactory* factory = nullptr;
        ASSERT_EQ(DllGetClassObject(r.clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
        IUnknown* object = nullptr;
        ASSERT_EQ(factory->CreateInstance(nullptr, r.iid, reinterpret_cast<void**>(&object)), S_OK);
        EXPECT_EQ(DllCanUnloadNow(), S_FALSE);  // a live object keeps the module loaded
        object->Release();
        factory->Release();
        EXPECT_EQ(DllCanUnloadNow(), S_OK);
    }
    void* pv = nullptr;
    EXPECT_EQ(DllGetClassObject(LIBID_ORVEXVIEWERLib, IID_IClassFactory, &pv), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(OrvexCreateInstance("OrvexViewer.COrvexViewerPropPage2", IID_IPropertyPage, &pv), S_OK);
    static_cast<IUnknown*>(pv)->Release();
    EXPECT_EQ(OrvexCreateInstance("ORVEXVIEWER.OrvexViewerPropPage2.1", IID_IUnknown, &pv), REGDB_E_CLASSNOTREG);
}

TEST_F(ModuleRegistrationTest, ControlsListTheirPages) {
    EXPECT_EQ(GetPropertyPageClassIds(CLSID_OrvexViewerCtrl),
              (std::vector<CLSID>{CLSID_OrvexViewerPropPage, CLSID_OrvexViewerPropPage2}));
    EXPECT_EQ(GetPropertyPageClassIds(CLSID_OrvexAscanViewerCtrl),
              std::vector<CLSID>{CLSID_OrvexAscanViewerPropPage});
}

}  // namespace

namespace {

TEST(ModuleStartupTest, FailedPlatformInitialisationIsReported) {
    COrvexViewerApp app;  // a module whose resources cannot be made current
    EXPECT_FALSE(app.InitInstance());
    EXPECT_NE(AfxGetModule(), &app);
}

}  // namespace
