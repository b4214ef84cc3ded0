# Host build: the in-memory binding, the unit and behaviour tests, the picture generator and the
# end-to-end tests that drive the Windows build under Wine.
find_package(GTest REQUIRED)
enable_testing()

file(GLOB SIM_SOURCES CONFIGURE_DEPENDS src/platform/sim/*.cpp)
add_library(sim STATIC ${SIM_SOURCES})
target_link_libraries(sim PUBLIC portable)

file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS tests/*.cpp)
add_executable(unit_tests ${UNIT_TEST_SOURCES})
# The reader of the version resource needs no Windows, so it is tested here too.
target_sources(unit_tests PRIVATE src/platform/win32/version_block.cpp)
target_link_libraries(unit_tests PRIVATE sim GTest::gtest GTest::gtest_main)
add_test(NAME unit COMMAND unit_tests)

# The shipped saver names in its import tables only DLLs that Windows loads from the system folder.
add_executable(check_imports tests/imports/check_imports.cpp)
add_test(NAME imports COMMAND check_imports ${CMAKE_SOURCE_DIR}/dist/slideshow.scr)

# The house's own rules: every tracked C++ file as clang-format makes it, and the portable code
# free of clang-tidy findings.
add_test(NAME format COMMAND ${CMAKE_SOURCE_DIR}/tools/check-format.sh)
add_test(NAME tidy COMMAND ${CMAKE_SOURCE_DIR}/tools/tidy.sh)

if(EXISTS ${CMAKE_SOURCE_DIR}/pictures/CMakeLists.txt)
  add_subdirectory(pictures)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/e2e/CMakeLists.txt)
  add_subdirectory(e2e)
endif()
