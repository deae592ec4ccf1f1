// The registry store and its REGEDIT4 text form: what registration writes must survive a save and
// a load, and bad files must be refused without touching what is loaded.
#include <gtest/gtest.h>

#include "platform/com/Registry.h"

namespace {

const std::string kKey = "HKEY_CLASSES_ROOT\\CLSID\\{0B6C8F3E-5D2A-4C71-9E4B-2F7A1D3C9E80}";

TEST(RegistryTest, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
    CRegistry reg;
    ASSERT_EQ(reg.SetStringValue(kKey + "\\InprocServer32", "ThreadingModel", "Apartment"), ERROR_SUCCESS);
    EXPECT_TRUE(reg.KeyExists("hkey_classes_root\\clsid\\{0b6c8f3e-5d2a-4c71-9e4b-2f7a1d3c9e80}"));
    ASSERT_TRUE(reg.QueryValue(kKey + "\\INPROCSERVER32", "threadingmodel"));
    EXPECT_EQ(reg.EnumKeys(kKey), std::vector<std::string>{"InprocServer32"});
}

TEST(RegistryTest, BadPathsAndValuesAreRefused) {
    CRegistry reg;
    EXPECT_EQ(reg.CreateKey("HKEY_NOWHERE\\A"), ERROR_BADKEY);             // unknown root
    EXPECT_EQ(reg.CreateKey("HKEY_CLASSES_ROOT\\\\A"), ERROR_BADKEY);      // empty key name
    EXPECT_EQ(reg.CreateKey("HKEY_CLASSES_ROOT\\A\\"), ERROR_BADKEY);      // trailing separator
    EXPECT_EQ(reg.SetStringValue("HKEY_CLASSES_ROOT\\A", "", "two\nlines"), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(reg.DeleteTree("HKEY_CLASSES_ROOT"), ERROR_ACCESS_DENIED);   // roots stay
    EXPECT_EQ(reg.DeleteTree("HKEY_CLASSES_ROOT\\Missing"), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(reg.IsEmpty());
}

TEST(RegistryTest, TextRoundTripKeepsEveryKeyAndValue) {
    CRegistry reg;
    reg.SetStringValue(kKey, "", "OrvexViewer Control");
    reg.SetStringValue(kKey + "\\InprocServer32", "", "C:\\Modules\\Orvex \"Viewer\".OCX");  // escapes
    reg.SetDWordValue(kKey + "\\Flags", "Mask", 0x20191);
    reg.CreateKey(kKey + "\\Control");  // a key without values
    const std::string text = reg.SaveToText();
    EXPECT_EQ(text.rfind("REGEDIT4\n\n", 0), 0u);
    EXPECT_NE(text.find("\"Mask\"=dword:00020191"), std::string::npos);
    EXPECT_NE(text.find("@=\"C:\\\\Modules\\\\Orvex \\\"Viewer\\\".OCX\""), std::string::npos);

    CRegistry loaded;
    std::string error;
    ASSERT_TRUE(loaded.LoadFromText(text, &error)) << error;
    EXPECT_EQ(loaded.SaveToText(), text);
    EXPECT_TRUE(loaded.DescribeChangesSince(reg).empty());
    EXPECT_EQ(loaded.QueryValue(kKey + "\\InprocServer32", "")->text, "C:\\Modules\\Orvex \"Viewer\".OCX");
    EXPECT_EQ(loaded.QueryValue(kKey + "\\Flags", "Mask")->number, 0x20191u);
}

TEST(RegistryTest, DeletionLinesRemoveKeysAndValues) {
    CRegistry reg;
    std::string error;
    ASSERT_TRUE(reg.LoadFromText("REGEDIT4\n\n[HKEY_CLASSES_ROOT\\A\\B]\n\"x\"=\"1\"\n\"y\"=\"2\"\n"
                                 "[HKEY_CLASSES_ROOT\\A\\B]\n\"x\"=-\n[-HKEY_CLASSES_ROOT\\A\\C]\n",
                                 &error))
        << error;
    EXPECT_FALSE(reg.QueryValue("HKEY_CLASSES_ROOT\\A\\B", "x"));
    EXPECT_TRUE(reg.QueryValue("HKEY_CLASSES_ROOT\\A\\B", "y"));
}

TEST(RegistryTest, MalformedTextIsRefusedAndLeavesTheContent) {
    struct Case {
        const char* text;
        const char* why;
    };
    const Case cases[] = {
        {"", "not a REGEDIT4 file"},                                                      // empty file
        {"Windows Registry Editor Version 5.00\n", "not a REGEDIT4 file"},                // other format
        {"REGEDIT4\n\"x\"=\"1\"\n", "a value outside any key"},                          // value before a key
        {"REGEDIT4\n[HKEY_CLASSES_ROOT\\A\n", "must end with"},                           // unclosed key
        {"REGEDIT4\n[HKEY_BOGUS\\A]\n", "bad key name"},                                  // unknown root
        {"REGEDIT4\n[HKEY_CLASSES_ROOT\\A]\n\"x\"=hex:01,02\n", "only string and dword"},  // binary value
        {"REGEDIT4\n[HKEY_CLASSES_ROOT\\A]\n\"x\"=dword:123456789\n", "bad dword"},        // nine digits
        {"REGEDIT4\n[HKEY_CLASSES_ROOT\\A]\n\"x\"=\"unterminated\n", "only string and dword"},
        {"REGEDIT4\n[HKEY_CLASSES_ROOT\\A]\n\"x\"\n", "expected '='"},                    // no value
    };
    for (const Case& c : cases) {
        CRegistry reg;
        reg.SetStringValue("HKEY_CLASSES_ROOT\\Kept", "", "yes");
        std::string error;
        EXPECT_FALSE(reg.LoadFromText(c.text, &error)) << c.text;
        EXPECT_NE(error.find(c.why), std::string::npos) << c.text << " -> " << error;
        EXPECT_TRUE(reg.QueryValue("HKEY_CLASSES_ROOT\\Kept", "")) << c.text;
    }
}

TEST(RegistryTest, DeniedKeysRefuseWritesAndProtectTheirParents) {
    CRegistry reg;
    reg.SetStringValue("HKEY_CLASSES_ROOT\\A\\B", "", "b");
    reg.DenyWrites("HKEY_CLASSES_ROOT\\A\\B");
    EXPECT_EQ(reg.SetStringValue("HKEY_CLASSES_ROOT\\A\\B\\C", "", "c"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(reg.DeleteTree("HKEY_CLASSES_ROOT\\A"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(reg.SetStringValue("HKEY_CLASSES_ROOT\\A\\BB", "", "sibling"), ERROR_SUCCESS);  // prefix, not child
}

TEST(RegistryTest, ChangesAreListedInTreeOrder) {
    CRegistry before;
    before.SetStringValue("HKEY_CLASSES_ROOT\\A", "", "old");
    before.SetStringValue("HKEY_CLASSES_ROOT\\Gone", "", "x");
    CRegistry after = before;
    after.SetStringValue("HKEY_CLASSES_ROOT\\A", "", "new");
    after.DeleteTree("HKEY_CLASSES_ROOT\\Gone");
    after.CreateKey("HKEY_CLASSES_ROOT\\B");
    const std::vector<std::string> expected = {
        "- [HKEY_CLASSES_ROOT\\A] @=\"old\"", "+ [HKEY_CLASSES_ROOT\\A] @=\"new\"", "+ [HKEY_CLASSES_ROOT\\B]",
        "- [HKEY_CLASSES_ROOT\\Gone]",        "- [HKEY_CLASSES_ROOT\\Gone] @=\"x\"",
    };
    EXPECT_EQ(after.DescribeChangesSince(before), expected);
}

}  // namespace
