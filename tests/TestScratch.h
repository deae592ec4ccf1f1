#pragma once
// A scratch folder for the files one test writes. ctest runs every test case as its own process,
// two at a time, so each test case gets a folder of its own under the build folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

inline std::filesystem::path TestScratchDir() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string leaf = info ? std::string(info->test_suite_name()) + "." + info->name() : "no-test";
    for (char& c : leaf)
        if (c == '/') c = '_';  // parameterised names
    const std::filesystem::path dir = std::filesystem::path(ORVEX_BINARY_DIR) / "test-scratch" / leaf;
    std::filesystem::create_directories(dir);
    return dir;
}
