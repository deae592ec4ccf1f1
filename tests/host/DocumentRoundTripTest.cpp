// Saving loses nothing: every document the tests and examples hold, and hostile ones, saved
// unchanged is the same JSON value as the file it came from; what the host does not understand is
// written back in place; values JSON cannot hold come back when the document reopens.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "HostTestSupport.h"
#include "host/DispatchCalls.h"
#include "host/DocumentFile.h"
#include "host/HostDocument.h"
#include "platform/com/Bstr.h"
#include "platform/com/Variant.h"

namespace fs = std::filesystem;
using json = nlohmann::json;

namespace {

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Every document file of the repository's tests and examples.
std::vector<fs::path> Documents() {
    std::vector<fs::path> found;
    for (const char* dir : {"tests", "examples"}) {
        for (const auto& entry : fs::recursive_directory_iterator(fs::path(ORVEX_SOURCE_DIR) / dir)) {
            if (entry.path().extension() != ".json") continue;
            const json doc = json::parse(Slurp(entry.path()), nullptr, false);
            if (doc.is_object() && doc.contains("page")) found.push_back(entry.path());
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

// The A-scan control stores the window its plot shows when it is saved (a window the file left
// to the data is pinned to what the data gave): those range properties, where the file did not
// have them, are the one thing an unchanged save adds.
json WithoutCapturedWindow(json saved, const json& original) {
    if (!saved.contains("controls") || !saved["controls"].is_array()) return saved;
    for (size_t i = 0; i < saved["controls"].size(); ++i) {
        json& entry = saved["controls"][i];
        if (!entry.is_object() || entry.value("progid", json()) != "ORVEXASCANVIEWER.OrvexAscanViewerCtrl.1") continue;
        const json& before = original["controls"][i];
        for (const char* key : {"AscanXMin", "AscanXMax", "AscanYMin", "AscanYMax"})
            if (entry.contains("properties") && !(before.contains("properties") && before["properties"].contains(key)))
                entry["properties"].erase(key);
    }
    return saved;
}

class DocumentRoundTripTest : public HostTest {};

}  // namespace

// The file layer alone: read, write, and the JSON value is the file's.
TEST_F(DocumentRoundTripTest, FormattingAReadDocumentGivesTheSameJsonValue) {
    const std::vector<fs::path> documents = Documents();
    ASSERT_GE(documents.size(), 6u);
    for (const fs::path& path : documents) {
        const std::string text = Slurp(path);
        SDocumentModel model;
        std::string error;
        std::vector<std::string> warnings;
        ASSERT_TRUE(ParseDocumentJson(text, model, error, warnings)) << path << ": " << error;
        EXPECT_EQ(json::parse(FormatDocumentJson(model)), json::parse(text)) << path;
    }
}

// The whole host: open, save at once, and the saved file is the same JSON value; it reopens with
// the same messages.
TEST_F(DocumentRoundTripTest, SavingAnUnchangedDocumentWritesWhatItRead) {
    for (const fs::path& path : Documents()) {
        const fs::path copy = m_folder / path.filename();
        fs::copy_file(path, copy, fs::copy_options::overwrite_existing);
        std::vector<std::string> firstMessages;
        {
            CHostDocument doc;
            std::string error;
            ASSERT_TRUE(doc.Open(copy.string(), error)) << error;
            firstMessages = doc.GetMessages();
            ASSERT_TRUE(doc.Save(PathOf("saved.json"), error)) << error;
        }
        EXPECT_EQ(WithoutCapturedWindow(json::parse(Slurp(PathOf("saved.json"))), json::parse(Slurp(path))),
                  json::parse(Slurp(path)))
            << path;
        CHostDocument again;
        std::string error;
        ASSERT_TRUE(again.Open(PathOf("saved.json"), error)) << error;
        EXPECT_EQ(again.GetMessages().size(), firstMessages.size()) << path;
    }
}

// A change is written over the file's value in its place; every member around it stays.
TEST_F(DocumentRoundTripTest, ChangesAreMergedIntoTheFileInPlace) {
    fs::copy_file(fs::path(ORVEX_SOURCE_DIR) / "tests/data/documents/unknown-members.json", m_folder / "doc.json");
    {
        CHostDocument doc;
        std::string error;
        ASSERT_TRUE(doc.Open(PathOf("doc.json"), error)) << error;
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_I4;
        v.lVal = 2;
        VARIANT none;
        VariantInit(&none);
        ASSERT_TRUE(InvokeByName(doc.GetExtendedControl("V").get(), "RayPlotType", DISPATCH_PROPERTYPUT,
                                 std::span<const VARIANT>(&v, 1), &none, error))
            << error;
        ASSERT_TRUE(doc.Save(PathOf("saved.json"), error)) << error;
    }
    json expected = json::parse(Slurp(PathOf("doc.json")));
    expected["controls"][0]["properties"]["RayPlotType"] = 2;
    const json saved = json::parse(Slurp(PathOf("saved.json")));
    EXPECT_EQ(WithoutCapturedWindow(saved, expected), expected);
    // In the file's order, too.
    const nlohmann::ordered_json ordered = nlohmann::ordered_json::parse(Slurp(PathOf("saved.json")));
    std::vector<std::string> keys;
    for (auto it = ordered.begin(); it != ordered.end(); ++it) keys.push_back(it.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"version", "comment", "page", "controls", "macros", "trailer"}));
}

// NaN and the infinities have no JSON numbers: they are saved as strings a float property reads
// back, so the saved document reopens without a warning and with the same values.
TEST_F(DocumentRoundTripTest, NonFiniteValuesSurviveASave) {
    WriteFile("doc.json", R"({"page": {"width": 200, "height": 100}, "controls": [
        {"progid": "ORVEXVIEWER.OrvexViewerCtrl.1", "name": "V", "rect": [0, 0, 200, 100]}]})");
    const double values[] = {std::nan(""), INFINITY, -INFINITY};
    const char* properties[] = {"WndTop", "WndBottom", "WndLeft"};
    {
        CHostDocument doc;
        std::string error;
        ASSERT_TRUE(doc.Open(PathOf("doc.json"), error)) << error;
        for (int i = 0; i < 3; ++i) {
            VARIANT v;
            VariantInit(&v);
            v.vt = VT_R4;
            v.fltVal = static_cast<float>(values[i]);
            VARIANT none;
            VariantInit(&none);
            ASSERT_TRUE(InvokeByName(doc.GetExtendedControl("V").get(), properties[i], DISPATCH_PROPERTYPUT,
                                     std::span<const VARIANT>(&v, 1), &none, error))
                << error;
        }
        ASSERT_TRUE(doc.Save(PathOf("saved.json"), error)) << error;
    }
    const json saved = json::parse(Slurp(PathOf("saved.json")));
    EXPECT_EQ(saved["controls"][0]["properties"]["WndTop"], "NaN");
    EXPECT_EQ(saved["controls"][0]["properties"]["WndBottom"], "Infinity");
    EXPECT_EQ(saved["controls"][0]["properties"]["WndLeft"], "-Infinity");
    CHostDocument again;
    std::string error;
    ASSERT_TRUE(again.Open(PathOf("saved.json"), error)) << error;
    EXPECT_TRUE(again.GetMessages().empty()) << again.GetMessages().front();
    for (int i = 0; i < 3; ++i) {
        VARIANT v;
        VariantInit(&v);
        ASSERT_TRUE(InvokeByName(again.GetExtendedControl("V").get(), properties[i], DISPATCH_PROPERTYGET, {}, &v, error))
            << error;
        ASSERT_EQ(v.vt, VT_R4);
        if (std::isnan(values[i])) EXPECT_TRUE(std::isnan(v.fltVal));
        else EXPECT_EQ(v.fltVal, static_cast<float>(values[i])) << properties[i];
    }
    // A string property keeps such text as text.
    WriteFile("text.json", R"({"page": {"width": 200, "height": 100}, "controls": [
        {"progid": "ORVEXVIEWER.OrvexViewerCtrl.1", "name": "V", "rect": [0, 0, 200, 100],
         "properties": {"FileName": "NaN"}}]})");
    CHostDocument text;
    ASSERT_TRUE(text.Open(PathOf("text.json"), error)) << error;
    VARIANT name;
    VariantInit(&name);
    ASSERT_TRUE(InvokeByName(text.GetExtendedControl("V").get(), "FileName", DISPATCH_PROPERTYGET, {}, &name, error));
    EXPECT_EQ(StringFromBstr(name.bstrVal), "NaN");
    VariantClear(&name);
}

// Writing recurses once per level of nesting: a document nested deeper than any needs is refused
// when it is read (10^5 and 10^6 levels once crashed the save), one within the bound saves.
TEST_F(DocumentRoundTripTest, DeeplyNestedDocumentsAreRefusedWhenRead) {
    for (int depth : {300, 100000, 1000000}) {
        const std::string text = R"({"page": {"width": 10, "height": 10}, "x": )" + std::string(depth, '[') +
                                 std::string(depth, ']') + "}";
        SDocumentModel model;
        std::string error;
        std::vector<std::string> warnings;
        EXPECT_FALSE(ParseDocumentJson(text, model, error, warnings)) << depth;
        EXPECT_EQ(error, "nested deeper than 256 levels");
    }
    const std::string text = R"({"page": {"width": 10, "height": 10}, "x": )" + std::string(250, '[') +
                             std::string(250, ']') + "}";
    SDocumentModel model;
    std::string error;
    std::vector<std::string> warnings;
    ASSERT_TRUE(ParseDocumentJson(text, model, error, warnings)) << error;
    EXPECT_EQ(json::parse(FormatDocumentJson(model)), json::parse(text));
}
