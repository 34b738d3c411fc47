# The Windows build: the programs, framework and subsystems compiled against the real
# Windows SDK (mingw-w64's headers and import libraries) instead of the platform layer.
# Made by scripts/build-windows.sh with the toolchain cmake/mingw-w64-x86_64.cmake.

include(${CMAKE_CURRENT_LIST_DIR}/windows_programs.cmake)

# The real system libraries, with the character set the sources are written for. The C and
# C++ runtimes are linked statically so that a program needs only system DLLs and
# d3dx9_43.dll.
add_library(windows_sdk INTERFACE)
target_compile_definitions(windows_sdk INTERFACE UNICODE _UNICODE)
target_link_libraries(windows_sdk INTERFACE d3d9 d3dx9_43 dinput8 dxguid winmm user32 gdi32)
target_link_options(windows_sdk INTERFACE -static)

# The generated data files beside bin, so that "..\Resource\" resolves from bin as it does
# in the Linux build. DEMO_RESOURCE_SOURCE names the folder resgen wrote.
set(DEMO_RESOURCE_SOURCE "" CACHE PATH "The Resource folder written by resgen in a Linux build")
if(DEMO_RESOURCE_SOURCE)
  add_custom_target(resource_copy ALL
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${DEMO_RESOURCE_SOURCE} ${CMAKE_BINARY_DIR}/Resource
    COMMENT "Copying the Resource folder")
endif()

# Every program in the list must exist: a misspelt name would silently drop a program.
function(demo_check_windows_programs)
  foreach(program IN LISTS DEMO_WINDOWS_PROGRAMS)
    if(NOT TARGET ${program})
      message(FATAL_ERROR "The Windows build lists '${program}', which no programs/ folder makes")
    endif()
  endforeach()
endfunction()
