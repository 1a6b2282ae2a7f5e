# Test registration for both builds. In the Windows build every test program runs under
# Wine in this build directory's own prefix (scripts/lib/wine-run), one at a time.

if(ORVASIL_WINDOWS)
  set(ORVASIL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  # The prefix's architecture, read by scripts/lib/wine-env.sh: a 64-bit program needs a 64-bit
  # prefix, and the 32-bit build keeps its 32-bit one.
  if(ORVASIL_WIN64)
    file(WRITE ${ORVASIL_WINEPREFIX}.arch "win64\n")
  else()
    file(WRITE ${ORVASIL_WINEPREFIX}.arch "win32\n")
  endif()
  set(ORVASIL_WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/lib/wine-run --prefix ${ORVASIL_WINEPREFIX})
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ORVASIL_WINE_RUN})
endif()

# orvasil_gtest(NAME SOURCES... [EMULATOR cmd...] [LABELS ...] [PROPERTIES name value ...])
# A GoogleTest program linked with the library and the test support (tests/support); each
# test case becomes one CTest test.
# EMULATOR replaces the plain Wine runner (for example to wrap the run in a virtual card);
# PROPERTIES are added to every test case (for example SKIP_RETURN_CODE).
function(orvasil_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;EMULATOR;LABELS;PROPERTIES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE orvasil_lib orvasil_test_files GTest::gmock GTest::gtest_main)
  if(ORVASIL_WINDOWS)
    target_link_libraries(${name} PRIVATE orvasil_test_support)
    if(T_EMULATOR)
      set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "${T_EMULATOR}")
    endif()
    set(props RUN_SERIAL TRUE TIMEOUT 120)
  else()
    set(props TIMEOUT 60)
  endif()
  if(T_LABELS)
    list(APPEND props LABELS "${T_LABELS}")
  endif()
  list(APPEND props ${T_PROPERTIES})
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    TEST_PREFIX "${name}."
    PROPERTIES ${props})
endfunction()

# orvasil_needs_32bit(NAME): in the 64-bit build, a test that only a 32-bit process can run
# (Wine's Windows 98 mode serves the 9x disk services to 32-bit programs only) is registered as
# skipped, with its reason, so that the count shows what was not run.
function(orvasil_needs_32bit name)
  add_test(NAME ${name} COMMAND sh -c
    "echo 'SKIPPED: needs a 32-bit process (Windows 98 mode and its disk services); run by the 32-bit build'; exit 77")
  set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77 LABELS needs32)
endfunction()
