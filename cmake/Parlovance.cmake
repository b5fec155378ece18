# Shared helpers for the targets of this project.

# parlovance_platform_library(<target> [LIBS ...])
# A static library made of every source file in the current directory. The directory is the
# public include directory, so users write #include "mapplication.h".
function(parlovance_platform_library target)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB _srcs CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  list(FILTER _srcs INCLUDE REGEX ".*\\.cpp$")
  if(_srcs)
    file(GLOB _hdrs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_library(${target} STATIC ${_srcs} ${_hdrs})
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
    target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_LIBS})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARG_LIBS})
  endif()
endfunction()

# In the tests a result dropped where Qt asks for it to be read is an error: a wait whose time
# ran out (QTest::qWaitFor) would otherwise let the test go on as if it had not.
set(PARLOVANCE_TEST_WARNINGS -Werror=unused-result)

# parlovance_add_test(<name> SOURCES ... [LIBS ...] [TIMEOUT s] [LABELS ...])
# One QtTest binary, run by CTest with a private home and the offscreen platform.
function(parlovance_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_link_libraries(${name} PRIVATE parlovance_test_support ${ARG_LIBS})
  target_compile_options(${name} PRIVATE ${PARLOVANCE_TEST_WARNINGS})
  # Each test binary gets a session bus of its own, so tests that own well-known names on the
  # bus (the player's services) can run side by side.
  find_program(DBUS_RUN_SESSION dbus-run-session)
  if(DBUS_RUN_SESSION)
    add_test(NAME ${name} COMMAND ${DBUS_RUN_SESSION} -- $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  # In the sanitizer builds: undefined behaviour fails the test, and an allocation too large to
  # make fails as it does without the sanitizer (Qt then throws std::bad_alloc, which the
  # settings file check catches) instead of ending the process; a leak is reported with its whole
  # allocation stack (the system libraries keep no frame pointers), which tests/lsan.supp matches.
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_LOGGING_RULES=*.debug=false;PARLOVANCE_TEST=1;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1;ASAN_OPTIONS=allocator_may_return_null=1:fast_unwind_on_malloc=0;TSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/tsan.supp:ignore_noninstrumented_modules=1:second_deadlock_stack=1")
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()

# parlovance_add_benchmark(<name> SOURCES ... [LIBS ...])
function(parlovance_add_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_link_libraries(${name} PRIVATE parlovance_test_support benchmark::benchmark ${ARG_LIBS})
  add_custom_target(run_${name} COMMAND ${name} DEPENDS ${name} USES_TERMINAL)
  if(NOT TARGET bench)
    add_custom_target(bench)
  endif()
  add_dependencies(bench run_${name})
endfunction()
