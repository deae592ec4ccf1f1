// The document JSON: what is refused as a whole, what is left out entry by entry, and round trips.
#include <gtest/gtest.h>

#include "host/DocumentFile.h"
#include "host/StoredPropertyBag.h"
#include "platform/com/ComLeakCheck.h"

namespace {

const char* kPage = R"("page": {"width": 300, "height": 200})";

std::string WithControls(const std::string& controls) {
    return std::string("{") + kPage + R"(, "controls": [)" + controls + "]}";
}

struct SRefusedDocument {
    const char* text;
    const char* errorPart;
};

TEST(DocumentFileTest, DocumentsWithoutAUsablePageAreRefused) {
    const SRefusedDocument cases[] = {
        {"this is not json", "not a JSON document"},
        {"[1, 2]", "expected a JSON object, got an array"},
        {"{}", "page:"},                                                  // no page at all
        {R"({"page": {"width": 0, "height": 10}})", "page:"},              // empty page
        {R"({"page": {"width": 10.5, "height": 10}})", "page:"},           // not a whole number
        {R"({"page": {"width": 1e9, "height": 10}})", "page:"},            // bigger than any surface
        {R"({"page": {"width": "300", "height": 10}})", "page:"},          // a string for a number
        {R"({"page": [300, 200]})", "page:"},                              // wrong shape
    };
    for (const auto& c : cases) {
        SDocumentModel model;
        std::string error;
        std::vector<std::string> warnings;
        EXPECT_FALSE(ParseDocumentJson(c.text, model, error, warnings)) << c.text;
        EXPECT_NE(error.find(c.errorPart), std::string::npos) << c.text << " gave: " << error;
    }
}

struct SBadControl {
    const char* entry;
    const char* warningPart;
};

TEST(DocumentFileTest, BadControlEntriesAreLeftOutAndTheRestKept) {
    const char* good = R"({"progid": "A.B.1", "name": "Good", "rect": [1, 2, 30, 40]})";
    const SBadControl cases[] = {
        {R"(17)", "controls[0]: expected an object"},
        {R"({"name": "X", "rect": [0, 0, 1, 1]})", "controls[0] (\"X\").progid"},               // no ProgID
        {R"({"progid": "", "name": "X", "rect": [0, 0, 1, 1]})", ".progid"},                     // empty ProgID
        {R"({"progid": "A.B.1", "name": 5, "rect": [0, 0, 1, 1]})", "controls[0].name"},         // name not a string
        {R"({"progid": "A.B.1", "name": "X"})", "(\"X\").rect"},                                  // no rectangle
        {R"({"progid": "A.B.1", "name": "X", "rect": [0, 0, 1]})", ".rect"},                      // three numbers
        {R"({"progid": "A.B.1", "name": "X", "rect": [0, 0, -5, 10]})", ".rect"},                 // negative width
        {R"({"progid": "A.B.1", "name": "X", "rect": [0, 0, 1e12, 10]})", ".rect"},               // absurd width
        {R"({"progid": "A.B.1", "name": "X", "rect": [0, "0", 10, 10]})", ".rect"},               // a string inside
    };
    for (const auto& c : cases) {
        SDocumentModel model;
        std::string error;
        std::vector<std::string> warnings;
        ASSERT_TRUE(ParseDocumentJson(WithControls(std::string(c.entry) + ", " + good), model, error, warnings))
            << c.entry << ": " << error;
        ASSERT_EQ(warnings.size(), 1u) << c.entry;
        EXPECT_NE(warnings[0].find(c.warningPart), std::string::npos) << c.entry << " gave: " << warnings[0];
        ASSERT_EQ(model.controls.size(), 1u) << c.entry;
        EXPECT_EQ(model.controls[0].name, "Good");
        EXPECT_EQ(model.controls[0].rect, CRect(1, 2, 31, 42));
    }
}

TEST(DocumentFileTest, PropertyValuesKeepTheirJsonKind) {
    SDocumentModel model;
    std::string error;
    std::vector<std::string> warnings;
    ASSERT_TRUE(ParseDocumentJson(WithControls(R"({"progid": "A.B.1", "name": "C", "rect": [0, 0, 10, 10],
        "properties": {"I": 3, "F": 3.5, "Big": 5000000000, "B": true, "S": "text",
                       "Arr": [1], "Obj": {"a": 1}, "Nul": null}})"),
                                  model, error, warnings));
    ASSERT_EQ(model.controls.size(), 1u);
    const auto& props = model.controls[0].properties;
    ASSERT_EQ(props.size(), 5u);
    EXPECT_EQ(props[0].name, "I");
    EXPECT_EQ(std::get<int32_t>(props[0].value), 3);
    EXPECT_EQ(std::get<double>(props[1].value), 3.5);
    EXPECT_EQ(std::get<double>(props[2].value), 5e9);  // beyond 32 bits: the control's conversion decides
    EXPECT_EQ(std::get<bool>(props[3].value), true);
    EXPECT_EQ(std::get<std::string>(props[4].value), "text");
    // Arrays, objects and null are not property values: each is reported and dropped.
    ASSERT_EQ(warnings.size(), 3u);
    EXPECT_NE(warnings[0].find("properties.Arr: expected a number, a string or a boolean, got an array"),
              std::string::npos);
}

TEST(DocumentFileTest, FormatThenParseGivesTheSameDocument) {
    SDocumentModel model;
    model.pageWidth = 1100;
    model.pageHeight = 560;
    model.controls.push_back({"ORVEXVIEWER.OrvexViewerCtrl.1", "OrvexViewer1", CRect(10, 10, 510, 410),
                              {{"FileName", std::string("data/s\xC3\xA9.orvex")},
                               {"RayPlotType", int32_t{2}},
                               {"RayEndTime", 12.25},
                               {"IsAnimated", true}}});
    model.controls.push_back({"X.Y.1", "", CRect(-5, 0, 0, 0), {}});
    model.macros = {{"Zeta", "print(1)"}, {"Alpha", "x = 'a\\n'"}};  // file order, not sorted

    SDocumentModel back;
    std::string error;
    std::vector<std::string> warnings;
    ASSERT_TRUE(ParseDocumentJson(FormatDocumentJson(model), back, error, warnings)) << error;
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(back.pageWidth, 1100);
    EXPECT_EQ(back.pageHeight, 560);
    ASSERT_EQ(back.controls.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(back.controls[i].progId, model.controls[i].progId);
        EXPECT_EQ(back.controls[i].name, model.controls[i].name);
        EXPECT_EQ(back.controls[i].rect, model.controls[i].rect);
        ASSERT_EQ(back.controls[i].properties.size(), model.controls[i].properties.size());
        for (size_t k = 0; k < model.controls[i].properties.size(); ++k) {
            EXPECT_EQ(back.controls[i].properties[k].name, model.controls[i].properties[k].name);
            EXPECT_EQ(back.controls[i].properties[k].value, model.controls[i].properties[k].value);
        }
    }
    EXPECT_EQ(back.macros, model.macros);
}

class StoredPropertyBagTest : public ComLeakCheck {};

struct SReadCase {
    CStoredValue stored;
    VARTYPE wanted;
    HRESULT expected;
};

TEST_F(StoredPropertyBagTest, ReadsRefuseValuesOfTheWrongKind) {
    const SReadCase cases[] = {
        {int32_t{7}, VT_I2, S_OK},                         // a number for a short
        {2.6, VT_I2, S_OK},                                // rounds as the platform does
        {int32_t{70000}, VT_I2, DISP_E_OVERFLOW},          // out of a short's range
        {std::string("12"), VT_I2, DISP_E_TYPEMISMATCH},   // text is not a number, even when it looks like one
        {true, VT_R8, DISP_E_TYPEMISMATCH},                // a boolean is not a number
        {int32_t{1}, VT_BOOL, S_OK},                       // numbers count as booleans
        {int32_t{5}, VT_BSTR, DISP_E_TYPEMISMATCH},        // a number is not a file name
        {std::string("a.orvex"), VT_BSTR, S_OK},
        {1e300, VT_R4, DISP_E_OVERFLOW},                   // beyond a float
    };
    for (const auto& c : cases) {
        CStoredPropertyBag* bag = CStoredPropertyBag::Create({{"P", c.stored}}, "controls[0] (\"C\")");
        VARIANT v;
        VariantInit(&v);
        v.vt = c.wanted;
        EXPECT_EQ(bag->Read("P", &v), c.expected) << DescribeStoredValue(c.stored) << " as vt " << c.wanted;
        if (c.expected == S_OK) {
            EXPECT_EQ(v.vt, c.wanted);
            EXPECT_TRUE(bag->GetProblems().empty());
        } else {
            ASSERT_EQ(bag->GetProblems().size(), 1u);
            EXPECT_EQ(bag->GetProblems()[0].rfind("controls[0] (\"C\"): property \"P\": expected ", 0), 0u)
                << bag->GetProblems()[0];
        }
        VariantClear(&v);
        bag->Release();
    }
}

TEST_F(StoredPropertyBagTest, AbsentKeysAndWrites) {
    CStoredPropertyBag* bag = CStoredPropertyBag::Create({{"A", int32_t{1}}}, "c");
    VARIANT v;
    VariantInit(&v);
    EXPECT_EQ(bag->Read("Missing", &v), E_INVALIDARG);
    EXPECT_TRUE(bag->GetProblems().empty());  // absence is not a problem: the default applies

    // Single precision values are written with the shortest decimal that reads back the same.
    v.vt = VT_R4;
    v.fltVal = 0.1f;
    EXPECT_EQ(bag->Write("F", &v), S_OK);
    v.vt = VT_I4;
    v.lVal = 9;
    EXPECT_EQ(bag->Write("A", &v), S_OK);  // replaces in place, keeping the order
    v.vt = VT_UNKNOWN;
    v.punkVal = nullptr;
    EXPECT_EQ(bag->Write("U", &v), DISP_E_TYPEMISMATCH);  // documents hold no objects

    ASSERT_EQ(bag->GetProperties().size(), 2u);
    EXPECT_EQ(bag->GetProperties()[0].name, "A");
    EXPECT_EQ(std::get<int32_t>(bag->GetProperties()[0].value), 9);
    EXPECT_EQ(std::get<double>(bag->GetProperties()[1].value), 0.1);
    bag->Release();
}

}  // namespace
