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
  ${CMAKE_CURRENT_LIST_DIR}/images/klximglist_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/images/kljpeg_test.cpp
  ${images_res_dir}/images_test.rc)
