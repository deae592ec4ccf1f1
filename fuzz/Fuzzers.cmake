# Injected into the project by `make fuzz` (CMAKE_PROJECT_OrvexViewer_INCLUDE), so the top-level
# CMakeLists stays free of fuzzing: every library is built with libFuzzer's coverage
# instrumentation (ORVEX_SANITIZE adds ASan and UBSan), and the harnesses (FuzzTargets.cmake) are
# defined once the whole project has been read, when the libraries exist.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "The fuzz harnesses need clang (CC=clang CXX=clang++)")
endif()
string(APPEND CMAKE_C_FLAGS " -fsanitize=fuzzer-no-link")
string(APPEND CMAKE_CXX_FLAGS " -fsanitize=fuzzer-no-link")
# A deferred call's arguments are expanded when it runs, so the folder is kept in a variable.
set(ORVEX_FUZZ_DIR ${CMAKE_CURRENT_LIST_DIR})
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL include ${ORVEX_FUZZ_DIR}/FuzzTargets.cmake)
