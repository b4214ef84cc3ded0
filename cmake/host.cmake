# Host build: the in-memory binding, the unit and behaviour tests, the picture generator and the
# end-to-end tests that drive the Windows build under Wine.
find_package(GTest REQUIRED)
enable_testing()

file(GLOB SIM_SOURCES CONFIGURE_DEPENDS src/platform/sim/*.cpp)
add_library(sim STATIC ${SIM_SOURCES})
target_link_libraries(sim PUBLIC portable)

file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS tests/*.cpp)
add_executable(unit_tests ${UNIT_TEST_SOURCES})
target_link_libraries(unit_tests PRIVATE sim GTest::gtest GTest::gtest_main)
add_test(NAME unit COMMAND unit_tests)

if(EXISTS ${CMAKE_SOURCE_DIR}/pictures/CMakeLists.txt)
  add_subdirectory(pictures)
  target_link_libraries(unit_tests PRIVATE picture-encoders)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/e2e/CMakeLists.txt)
  add_subdirectory(e2e)
endif()
