# Shell services and the drive picker, in a prefix whose drives are our own
# (tests/win/shell/shell-drives: D: CD-ROM, E: removable card, F: network).
add_executable(shell_recorder WIN32 ${CMAKE_CURRENT_LIST_DIR}/shell/recorder.cpp)

orvasil_gtest(shell_tests SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/shell/shell_env.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell/picker_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell/shellutils_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell/launcher_test.cpp
  EMULATOR ${CMAKE_CURRENT_LIST_DIR}/shell/shell-drives --prefix ${ORVASIL_WINEPREFIX} -- ${ORVASIL_WINE_RUN})
target_compile_definitions(shell_tests PRIVATE ORVASIL_RECORDER_UNIX="$<TARGET_FILE:shell_recorder>")
add_dependencies(shell_tests shell_recorder)

# Not a test: an opened picker, or the launcher's error box, for looking at them (screenshots).
add_executable(shell_demo WIN32 ${CMAKE_CURRENT_LIST_DIR}/shell/shell_demo.cpp)
target_link_libraries(shell_demo PRIVATE orvasil_lib orvasil_test_support)
