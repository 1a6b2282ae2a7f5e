# Canvas, bitmaps, pictures and the transparent copy, checked by pixel on memory bitmaps.
orvasil_gtest(graphics_tests SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/gui/canvas_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gui/bitmap_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gui/picture_test.cpp)

# The GUI layer (forms, controls, the multi-line edit, the extended combo box, window
# definitions), with the program's message box, registry helpers and activation of a running
# instance (src/sys, tests in sys/), which need its windows.
# The test program carries the program's resources (cursors, window definitions) and one
# window definition of its own.
set(gui_res_dir ${CMAKE_CURRENT_BINARY_DIR}/gui_res)
set(gui_res_bins)
foreach(name defined_form all_controls)
  set(bin ${gui_res_dir}/${name}.bin)
  set(dfm ${CMAKE_CURRENT_LIST_DIR}/gui/${name}.dfm)
  add_custom_command(OUTPUT ${bin} ${bin}.rc
    COMMAND ${CMAKE_COMMAND} -E make_directory ${gui_res_dir}
    COMMAND ${ORVASIL_HOST_TOOLS_DIR}/defc -d ${bin}.d --rc ${bin}.rc ${dfm} ${bin}
    DEPENDS ${dfm} ${ORVASIL_HOST_TOOLS_DIR}/defc
    DEPFILE ${bin}.d)
  list(APPEND gui_res_bins ${bin} ${bin}.rc)
endforeach()
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/gui/gui_tests.rc PROPERTIES
  OBJECT_DEPENDS "${gui_res_bins}")
set_source_files_properties(${ORVASIL_RESOURCE_OBJECTS} PROPERTIES
  INCLUDE_DIRECTORIES "${CMAKE_BINARY_DIR}/resources;${CMAKE_SOURCE_DIR}/resources"
  OBJECT_DEPENDS "${ORVASIL_RESOURCE_DEPENDS}")

set(gui_test_sources gui/gui_env.cpp gui/forms_test.cpp gui/definition_test.cpp sys/msgbox_test.cpp
  sys/sysutils_test.cpp sys/activation_test.cpp gui/window_path_test.cpp gui/controls_test.cpp
  gui/memo_test.cpp gui/comboex_test.cpp gui/all_controls_form.cpp gui/gui_tests.rc)
list(TRANSFORM gui_test_sources PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
orvasil_gtest(gui_tests SOURCES ${gui_test_sources} ${ORVASIL_RESOURCE_OBJECTS})
target_include_directories(gui_tests PRIVATE ${gui_res_dir} ${CMAKE_CURRENT_LIST_DIR}/gui)
target_compile_definitions(gui_tests PRIVATE ORVASIL_EXE_UNIX="$<TARGET_FILE:orvasil>")
add_dependencies(gui_tests orvasil orvasil_forms)

# Not a test: the form with every control, for a look at it (screenshots).
add_executable(controls_demo WIN32 ${CMAKE_CURRENT_LIST_DIR}/gui/controls_demo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gui/all_controls_form.cpp ${CMAKE_CURRENT_LIST_DIR}/gui/gui_tests.rc
  ${ORVASIL_RESOURCE_OBJECTS})
target_include_directories(controls_demo PRIVATE ${gui_res_dir})
target_link_libraries(controls_demo PRIVATE orvasil_lib orvasil_test_support)
