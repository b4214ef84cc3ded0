# Windows build: the saver itself, statically linked, plus the programs the Wine tests and the
# benchmarks run beside it.
enable_language(RC)
add_link_options(-static -municode)

file(GLOB WIN32_SOURCES CONFIGURE_DEPENDS src/platform/win32/*.cpp)
# The entry point belongs to the saver, not the library: from an archive the linker would never
# pick it up (only the C run-time's startup asks for it, after the libraries were searched), and
# the probe and bench programs bring their own.
list(FILTER WIN32_SOURCES EXCLUDE REGEX "/win_main\\.cpp$")
add_library(win32_binding STATIC ${WIN32_SOURCES})
target_link_libraries(win32_binding PUBLIC portable)
target_compile_definitions(win32_binding PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(win32_binding PUBLIC ole32 uuid imm32 advapi32 user32 gdi32 shcore)

# The program's icon is drawn in res/program_icon_art.cpp; built for this machine and run, it
# writes the icon file where the resource script finds it.
find_program(HOST_CXX NAMES c++ g++ REQUIRED)
set(ICON_DIR ${CMAKE_CURRENT_BINARY_DIR}/icon)
add_custom_command(
  OUTPUT ${ICON_DIR}/slideshow.ico
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ICON_DIR}
  COMMAND ${HOST_CXX} -std=c++20 -O2 -Wall -Wextra -Wpedantic -Wconversion -Wshadow -Werror
          -o ${ICON_DIR}/program_icon_art ${CMAKE_SOURCE_DIR}/res/program_icon_art.cpp
  COMMAND ${ICON_DIR}/program_icon_art ${ICON_DIR}/slideshow.ico
  DEPENDS ${CMAKE_SOURCE_DIR}/res/program_icon_art.cpp
  COMMENT "Drawing the program's icon"
  VERBATIM)

file(GLOB RESOURCE_FILES CONFIGURE_DEPENDS res/*.rc)
# windres writes no dependency file: name what the scripts pull in, so editing it rebuilds them.
file(GLOB RESOURCE_INPUTS CONFIGURE_DEPENDS res/*.h res/*.manifest)
set_source_files_properties(${RESOURCE_FILES} PROPERTIES
  OBJECT_DEPENDS "${RESOURCE_INPUTS};${ICON_DIR}/slideshow.ico"
  INCLUDE_DIRECTORIES ${ICON_DIR})
add_executable(slideshow WIN32 src/platform/win32/win_main.cpp ${RESOURCE_FILES}
  ${ICON_DIR}/slideshow.ico)
target_link_libraries(slideshow PRIVATE win32_binding)
set_target_properties(slideshow PROPERTIES SUFFIX ".scr")

if(EXISTS ${CMAKE_SOURCE_DIR}/e2e/probe/CMakeLists.txt)
  add_subdirectory(e2e/probe)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/bench/CMakeLists.txt)
  add_subdirectory(bench)
endif()
