# The project's target helpers: one per kind of target.

# Warnings for the project's own code.
function(demo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter)
endfunction()

# What the Windows-style code links: the platform layer here; the real system libraries in
# the Windows build (cmake/windows.cmake).
if(WIN32)
  set(DEMO_WINDOWS_API windows_sdk)
else()
  set(DEMO_WINDOWS_API platform)
endif()

# A subsystem library (framework, rope, terrain ...): Windows-style code on the platform layer.
# The Windows build makes only the libraries its programs need.
function(add_demo_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  if(WIN32)
    add_library(${name} STATIC EXCLUDE_FROM_ALL ${ARG_SOURCES})
  else()
    add_library(${name} STATIC ${ARG_SOURCES})
  endif()
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${DEMO_WINDOWS_API} ${ARG_DEPENDS})
  demo_warnings(${name})
endfunction()

# A demo program: its application class as a library NAME_app (so the runner and the tests
# can construct it), and the executable NAME with its Windows entry point.
#   add_demo_program(tether SOURCES tether_app.cpp ENTRY main.cpp DEPENDS framework rope)
# The Windows build makes NAME.exe, a GUI program entered at WinMain, for the programs in its
# list (cmake/windows.cmake) and skips the others.
function(add_demo_program name)
  cmake_parse_arguments(ARG "" "ENTRY" "SOURCES;DEPENDS" ${ARGN})
  if(WIN32 AND NOT name IN_LIST DEMO_WINDOWS_PROGRAMS)
    return()
  endif()
  add_library(${name}_app STATIC ${ARG_SOURCES})
  target_include_directories(${name}_app PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name}_app PUBLIC ${DEMO_WINDOWS_API} ${ARG_DEPENDS})
  demo_warnings(${name}_app)
  if(WIN32)
    add_executable(${name} WIN32 ${ARG_ENTRY})
    target_link_libraries(${name} PRIVATE ${name}_app)
  else()
    add_executable(${name} ${ARG_ENTRY})
    target_link_libraries(${name} PRIVATE ${name}_app platform_winmain)
  endif()
  demo_warnings(${name})
  set_property(GLOBAL APPEND PROPERTY DEMO_PROGRAMS ${name})
endfunction()

# A GoogleTest executable registered with CTest. LABELS: "slow" for tests left out of the
# quick subset (ctest -LE slow). PROPERTIES: more CTest properties of its tests, such as
# RESOURCE_LOCK for tests that must not run at the same time. BOTH_GL_PROFILES: the tests
# run twice, the second time (names ending in ".es", label "es") with the GL device on
# OpenGL ES 3.0, the GL of the browser build.
function(add_demo_test name)
  cmake_parse_arguments(ARG "BOTH_GL_PROFILES" "" "SOURCES;DEPENDS;LABELS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gtest_main GTest::gmock)
  demo_warnings(${name})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  set(properties ENVIRONMENT "DEMO_BUILD_DIR=${CMAKE_BINARY_DIR}")
  if(ARG_LABELS)
    list(APPEND properties LABELS "${ARG_LABELS}")
  endif()
  list(APPEND properties ${ARG_PROPERTIES})
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin
    PROPERTIES ${properties}
    DISCOVERY_TIMEOUT 60)
  if(ARG_BOTH_GL_PROFILES)
    gtest_discover_tests(${name}
      WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin
      TEST_SUFFIX .es
      PROPERTIES ENVIRONMENT "DEMO_BUILD_DIR=${CMAKE_BINARY_DIR};DEMO_GL_PROFILE=es"
                 LABELS "${ARG_LABELS};es" ${ARG_PROPERTIES}
      DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# A Google Benchmark executable in build/bench, run by hand.
function(add_demo_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} benchmark::benchmark)
  demo_warnings(${name})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()

# The programs, from the one table of them (programs/programs.txt): DEMO_PROGRAM_NAMES in
# the table's order. Re-configures when the table changes.
function(demo_read_program_table)
  set(table ${PROJECT_SOURCE_DIR}/programs/programs.txt)
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${table})
  file(STRINGS ${table} lines ENCODING UTF-8)
  set(names)
  foreach(line IN LISTS lines)
    if(line MATCHES "^([a-z0-9_]+) \\| ")
      list(APPEND names ${CMAKE_MATCH_1})
    elseif(NOT line MATCHES "^#" AND NOT line STREQUAL "")
      message(FATAL_ERROR "programs/programs.txt: a line that is neither a comment nor a program: ${line}")
    endif()
  endforeach()
  set(DEMO_PROGRAM_NAMES ${names} PARENT_SCOPE)
endfunction()
demo_read_program_table()
