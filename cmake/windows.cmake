# Windows build: the saver itself, statically linked, plus the programs the Wine tests and the
# benchmarks run beside it.
enable_language(RC)
add_link_options(-static -municode)

file(GLOB WIN32_SOURCES CONFIGURE_DEPENDS src/platform/win32/*.cpp)
add_library(win32_binding STATIC ${WIN32_SOURCES})
target_link_libraries(win32_binding PUBLIC portable)
target_compile_definitions(win32_binding PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(win32_binding PUBLIC windowscodecs ole32 uuid imm32 advapi32 user32 gdi32 shlwapi version)

file(GLOB RESOURCE_FILES CONFIGURE_DEPENDS res/*.rc)
add_executable(slideshow WIN32 ${RESOURCE_FILES})
target_link_libraries(slideshow PRIVATE win32_binding)
set_target_properties(slideshow PROPERTIES SUFFIX ".scr")

if(EXISTS ${CMAKE_SOURCE_DIR}/e2e/probe/CMakeLists.txt)
  add_subdirectory(e2e/probe)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/bench/CMakeLists.txt)
  add_subdirectory(bench)
endif()
