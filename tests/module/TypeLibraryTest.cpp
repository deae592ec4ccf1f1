// The type library against its description written by hand, and what the library answers.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "ids/OrvexAscanViewerIds.h"
#include "ids/OrvexViewerIds.h"
#include "module/OrvexTypeLib.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(TypeLibraryTest, MatchesTheHandWrittenDescription) {
    const std::string expected = ReadFile(std::string(ORVEX_SOURCE_DIR) + "/tests/data/module/orvexviewer.odl");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(GetOrvexTypeLibrary().Describe(), expected);
}

TEST(TypeLibraryTest, DeclarationOrderIsNotIdOrder) {
    const CTypeLibrary& lib = GetOrvexTypeLibrary();
    ASSERT_EQ(lib.GetTypeInfoCount(), 6u);
    ITypeInfo* viewer = nullptr;
    ASSERT_EQ(lib.GetTypeInfoOfGuid(IID_DOrvexViewer, &viewer), S_OK);
    struct Row {
        UINT index;
        MEMBERID id;
    };
    // Positions 18 to 21 hold the three read-only properties, then ControlDetectionEnabled.
    for (Row r : {Row{0, 1}, Row{17, 18}, Row{18, 20}, Row{19, 21}, Row{20, 22}, Row{21, 19}, Row{22, 23}}) {
        MEMBERID id = 0;
        ASSERT_EQ(viewer->GetMemberIdOfIndex(r.index, &id), S_OK);
        EXPECT_EQ(id, r.id) << "index " << r.index;
    }
    viewer->Release();

    ITypeInfo* ascan = nullptr;
    ASSERT_EQ(lib.GetTypeInfo(3, &ascan), S_OK);
    MEMBERID first = 0;
    ASSERT_EQ(ascan->GetMemberIdOfIndex(0, &first), S_OK);
    EXPECT_EQ(first, DISPID_ASCAN_ORVEXVIEWER);  // the viewer property is declared first
    ascan->Release();
}

}  // namespace
