# Host build: the unit and behaviour tests, the picture generator and the
# end-to-end tests that drive the Windows build under Wine.
find_package(GTest REQUIRED)
enable_testing()

file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS tests/*.cpp)
add_executable(unit_tests ${UNIT_TEST_SOURCES})
# The reader of the version resource needs no Windows, so it is tested here too.
target_sources(unit_tests PRIVATE src/platform/win32/version_block.cpp)
target_link_libraries(unit_tests PRIVATE sim GTest::gtest GTest::gtest_main)
add_test(NAME unit COMMAND unit_tests)

# The shipped saver names in its import tables only DLLs that Windows loads from the system folder.
find_program(MINGW_OBJDUMP x86_64-w64-mingw32-objdump REQUIRED)
add_test(NAME imports COMMAND ${CMAKE_SOURCE_DIR}/tests/imports/check_imports.sh ${MINGW_OBJDUMP}
         ${CMAKE_SOURCE_DIR}/dist/slideshow.scr)

# A release signed with a throw-away certificate carries SHA-256 signatures that verify, the
# uninstaller the installer writes included (about half a minute, Wine included).
add_test(NAME signing COMMAND ${CMAKE_SOURCE_DIR}/tests/signing/check_signing.sh ${CMAKE_SOURCE_DIR}
         ${CMAKE_SOURCE_DIR}/dist/slideshow.scr
         ${CMAKE_SOURCE_DIR}/build/windows/icon/slideshow.ico)

# A signing password given as a variable is in the environment of the release's signing step
# alone, whichever way make is asked for the release, and under it the tools get a file instead.
add_test(NAME signing-password COMMAND ${CMAKE_SOURCE_DIR}/tests/signing/check_password_steps.sh
         ${CMAKE_SOURCE_DIR})

# The MSI's UpgradeCode as the WiX source spells it, written as Windows Installer matches it, and
# a source without one well-formed refused (a few seconds: two unsigned releases).
add_test(NAME msi-upgrade-code COMMAND ${CMAKE_SOURCE_DIR}/tests/msi/check_upgrade_code.sh
         ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/dist/slideshow.scr
         ${CMAKE_SOURCE_DIR}/build/windows/icon/slideshow.ico)

# The winget manifest `make dist` writes for a release address: valid against the official
# schemas, which the steering side keeps in shared/ beside the checkout; its hashes the files'.
add_test(NAME winget COMMAND ${CMAKE_SOURCE_DIR}/tests/winget/check_manifest.sh ${CMAKE_SOURCE_DIR}
         ${CMAKE_SOURCE_DIR}/../shared/winget-schemas)

# The house's own rules: every tracked C++ file as clang-format makes it, and the portable code
# free of clang-tidy findings.
add_test(NAME format COMMAND ${CMAKE_SOURCE_DIR}/tools/check-format.sh)
add_test(NAME tidy COMMAND ${CMAKE_SOURCE_DIR}/tools/tidy.sh)

# The fuzz targets of the picture pipeline: libFuzzer comes with clang, so clang builds them from
# the same sources beside this build; `make test` gives each a short, bounded run.
find_program(FUZZ_CXX NAMES clang++-14 clang++ REQUIRED)
set(FUZZ_DIR ${CMAKE_CURRENT_BINARY_DIR}/fuzz)
set(FUZZERS)
# The header reader: a parser a format (*_header.cpp), what they share, and the budget.
file(GLOB HEADER_READER_SOURCES CONFIGURE_DEPENDS src/platform/pictures/*_header.cpp)
file(GLOB PICTURE_HEADERS CONFIGURE_DEPENDS src/platform/pictures/*.h)
foreach(target header resample)
  set(sources ${CMAKE_SOURCE_DIR}/fuzz/${target}_fuzzer.cpp
      ${CMAKE_SOURCE_DIR}/src/platform/pictures/orientation.cpp
      ${CMAKE_SOURCE_DIR}/src/platform/pictures/pixels.cpp)
  if(target STREQUAL header)
    list(APPEND sources ${HEADER_READER_SOURCES}
         ${CMAKE_SOURCE_DIR}/src/platform/pictures/header_reading.cpp
         ${CMAKE_SOURCE_DIR}/src/platform/pictures/tiff_directory.cpp
         ${CMAKE_SOURCE_DIR}/src/platform/pictures/picture_budget.cpp
         ${CMAKE_SOURCE_DIR}/src/platform/pictures/colour_profile.cpp
         ${CMAKE_SOURCE_DIR}/src/platform/pictures/inflate.cpp)
  else()
    list(APPEND sources ${CMAKE_SOURCE_DIR}/src/platform/pictures/resample.cpp
         ${CMAKE_SOURCE_DIR}/src/platform/pictures/column_means.cpp
         ${CMAKE_SOURCE_DIR}/src/platform/pictures/placed_frame.cpp)
  endif()
  add_custom_command(
    OUTPUT ${FUZZ_DIR}/${target}_fuzzer
    COMMAND ${CMAKE_COMMAND} -E make_directory ${FUZZ_DIR}
    COMMAND ${FUZZ_CXX} -std=c++20 -O1 -g -Wall -Wextra -Werror
            -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
            -I${CMAKE_SOURCE_DIR}/src -o ${FUZZ_DIR}/${target}_fuzzer ${sources} -lz
    DEPENDS ${sources} ${PICTURE_HEADERS} ${CMAKE_SOURCE_DIR}/src/platform/run_time_error.h
    COMMENT "Building the ${target} fuzzer with clang"
    VERBATIM)
  list(APPEND FUZZERS ${FUZZ_DIR}/${target}_fuzzer)
endforeach()
add_custom_target(fuzzers ALL DEPENDS ${FUZZERS})
add_test(NAME fuzz COMMAND ${CMAKE_SOURCE_DIR}/tools/fuzz.sh ${FUZZ_DIR} 10)

if(EXISTS ${CMAKE_SOURCE_DIR}/pictures/CMakeLists.txt)
  add_subdirectory(pictures)
  target_link_libraries(unit_tests PRIVATE picture-encoders)
  # Before the first `make dist` the tests of the shipped pictures write them with the generator.
  add_dependencies(unit_tests picture-generator)
  target_compile_definitions(unit_tests PRIVATE PICTURE_GENERATOR="$<TARGET_FILE:picture-generator>")
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/e2e/CMakeLists.txt)
  add_subdirectory(e2e)
endif()
