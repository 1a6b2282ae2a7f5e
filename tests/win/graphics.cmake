# Canvas, bitmaps, pictures and the transparent copy, checked by pixel on memory bitmaps.
orvasil_gtest(graphics_tests SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/graphics/canvas_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/graphics/bitmap_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/graphics/picture_test.cpp)
