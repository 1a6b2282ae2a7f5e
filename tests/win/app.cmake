# The program's rendered content as the built orvasil.exe carries it: cursors, icon, arrow
# bitmaps and version resource, read from the exe loaded as a data file.
orvasil_gtest(content_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/app/content_test.cpp)
target_link_libraries(content_tests PRIVATE version)
target_compile_definitions(content_tests PRIVATE ORVASIL_EXE_UNIX="$<TARGET_FILE:orvasil>")
add_dependencies(content_tests orvasil)

# Starts and ends the units itself, once.
orvasil_gtest(unit_end_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/app/unit_end_test.cpp)
