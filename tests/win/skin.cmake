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
target_link_libraries(skin_demo PRIVATE orvasil_lib orvasil_test_support)
add_dependencies(skin_demo orvasil_forms)

# Image collections, strip image lists and JPEG pictures, checked by pixel on memory bitmaps.
# The program carries an image-collection stream that the native imgc made from pictures shaped
# like the main window's.
include(${CMAKE_SOURCE_DIR}/tests/window_pictures.cmake)
set(images_res_dir ${CMAKE_CURRENT_BINARY_DIR}/images_res)
orvasil_window_pictures(${images_res_dir} images_items)
string(REGEX REPLACE "T[A-Za-z]+:" "" images_files "${images_items}")
add_custom_command(OUTPUT ${images_res_dir}/window_images.bin
  COMMAND ${ORVASIL_HOST_TOOLS_DIR}/imgc ${images_res_dir}/window_images.bin ${images_items}
  DEPENDS ${ORVASIL_HOST_TOOLS_DIR}/imgc ${images_files}
  COMMENT "Compiling the window's test image collection")
file(CONFIGURE OUTPUT ${images_res_dir}/images_test.rc CONTENT
  "WINDOW_IMAGES RCDATA \"${images_res_dir}/window_images.bin\"\n")
set_source_files_properties(${images_res_dir}/images_test.rc PROPERTIES
  OBJECT_DEPENDS ${images_res_dir}/window_images.bin)

orvasil_gtest(images_tests SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/skin/klximglist_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skin/kljpeg_test.cpp
  ${images_res_dir}/images_test.rc)
