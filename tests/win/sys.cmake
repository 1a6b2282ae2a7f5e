# The program's message box, registry helpers and activation of a running instance: their
# tests (sys/) run in gui_tests (gui.cmake), beside the windows they need.

# Not a test: shows the erase question for a look at it (screenshots).
add_executable(msgbox_demo WIN32 ${CMAKE_CURRENT_LIST_DIR}/sys/msgbox_demo.cpp)
target_link_libraries(msgbox_demo PRIVATE orvasil_lib orvasil_test_support)
