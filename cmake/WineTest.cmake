# Test registration for both builds. In the Windows build every test program runs under
# Wine in this build directory's own prefix (scripts/lib/wine-run), one at a time.

if(ORVASIL_WINDOWS)
  set(ORVASIL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(ORVASIL_WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/lib/wine-run --prefix ${ORVASIL_WINEPREFIX})
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ORVASIL_WINE_RUN})
endif()

# orvasil_gtest(NAME SOURCES... [EMULATOR cmd...] [LABELS ...] [PROPERTIES name value ...])
# A GoogleTest program linked with the library; each test case becomes one CTest test.
# EMULATOR replaces the plain Wine runner (for example to wrap the run in a virtual card);
# PROPERTIES are added to every test case (for example SKIP_RETURN_CODE).
function(orvasil_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;EMULATOR;LABELS;PROPERTIES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE orvasil_lib GTest::gmock GTest::gtest_main)
  if(ORVASIL_WINDOWS)
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
