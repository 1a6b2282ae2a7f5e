# Skin data, component skins, paint and mouse objects, and the image map on a test form. The
# program carries the program's resources (the arrow bitmaps and the cursors); the link tests
# register the shell tests' recorder as the program for "http" and "mailto".
orvasil_gtest(skin_tests SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/skin/skin_env.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skin/skindata_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skin/skinmap_test.cpp
  ${ORVASIL_RESOURCE_OBJECTS})
target_compile_definitions(skin_tests PRIVATE ORVASIL_RECORDER_UNIX="$<TARGET_FILE:shell_recorder>")
add_dependencies(skin_tests shell_recorder orvasil_forms)

# Not a test: a map in its Off state, or with the pointer over an area ("over"), for screenshots.
add_executable(skin_demo WIN32 ${CMAKE_CURRENT_LIST_DIR}/skin/skin_demo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skin/skin_env.cpp ${ORVASIL_RESOURCE_OBJECTS})
target_compile_definitions(skin_demo PRIVATE ORVASIL_SKIN_DEMO)
target_link_libraries(skin_demo PRIVATE orvasil_lib)
add_dependencies(skin_demo orvasil_forms)

# The link recorder and the mount manager's drives, shared with other test programs.
target_link_libraries(skin_tests PRIVATE orvasil_test_support)
