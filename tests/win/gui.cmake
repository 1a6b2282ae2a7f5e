# The GUI layer, the message box, registry helpers and activation of a running instance.
orvasil_gtest(gui_tests SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/gui/gui_env.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gui/forms_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gui/msgbox_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gui/sysutils_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gui/activation_test.cpp
  ${ORVASIL_RESOURCE_OBJECTS})
target_compile_definitions(gui_tests PRIVATE
  ORVASIL_EXE_UNIX="$<TARGET_FILE:orvasil>"
  ORVASIL_ENGLISH_UNIX="${CMAKE_SOURCE_DIR}/resources/lang/english.lng")
add_dependencies(gui_tests orvasil)

# Not a test: shows the erase question for a look at it (screenshots).
add_executable(msgbox_demo WIN32 ${CMAKE_CURRENT_LIST_DIR}/gui/msgbox_demo.cpp)
target_link_libraries(msgbox_demo PRIVATE orvasil_lib)
target_compile_definitions(msgbox_demo PRIVATE ORVASIL_ENGLISH_UNIX="${CMAKE_SOURCE_DIR}/resources/lang/english.lng")
