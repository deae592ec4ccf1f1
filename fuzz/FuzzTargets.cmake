# One libFuzzer program per reader; included by Fuzzers.cmake at the end of the top-level project.
add_custom_target(fuzzers)

# Two clang-only warnings the gcc builds do not give, on code outside fuzz/ (the comparison
# operators of the platform's point, size and rectangle types; CScrollBar::Create hiding
# CWnd::Create). With CI's -Werror they would stop the fuzz build rather than tell us anything
# about the readers. They must follow the project's -Wall, so they go on each target.
get_property(orvex_targets DIRECTORY ${CMAKE_SOURCE_DIR} PROPERTY BUILDSYSTEM_TARGETS)
foreach(t IN LISTS orvex_targets)
  get_target_property(type ${t} TYPE)
  if(type STREQUAL "STATIC_LIBRARY" OR type STREQUAL "EXECUTABLE")
    target_compile_options(${t} PRIVATE -Wno-ambiguous-reversed-operator -Wno-overloaded-virtual)
  endif()
endforeach()

function(orvex_fuzzer name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  list(TRANSFORM A_SOURCES PREPEND ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/)
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_DEPS})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_FUNCTION_LIST_DIR})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  add_dependencies(fuzzers ${name})
endfunction()

orvex_fuzzer(fuzz_orvex_reader SOURCES OrvexReaderFuzzer.cpp FuzzSupport.cpp DEPS orvex_geometry)
orvex_fuzzer(fuzz_json_reader SOURCES JsonReaderFuzzer.cpp FuzzSupport.cpp DEPS orvex_geometry)
orvex_fuzzer(fuzz_drawing SOURCES DrawingFuzzer.cpp DEPS orvex_platform_gdi)
# The document reader lives in host/, which is built on the controls.
if(TARGET orvex_host)
  orvex_fuzzer(fuzz_document SOURCES DocumentFuzzer.cpp DEPS orvex_host)
  orvex_fuzzer(fuzz_document_save SOURCES DocumentSaveFuzzer.cpp DEPS orvex_host)
  orvex_fuzzer(fuzz_macro SOURCES MacroFuzzer.cpp DEPS orvex_host)
  target_compile_definitions(fuzz_macro PRIVATE ORVEX_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
endif()
