# A window definition compiled by the native defc, embedded as RCDATA the way resources/ does
# it, and read back from the program's own resources under Wine.
set(base_res_dir ${CMAKE_CURRENT_BINARY_DIR}/base_res)
set(base_res_bin ${base_res_dir}/stored_test.bin)
set(base_res_dfm ${CMAKE_SOURCE_DIR}/tests/tools/data/stored_test.dfm)
add_custom_command(OUTPUT ${base_res_bin} ${base_res_bin}.rc
  COMMAND ${CMAKE_COMMAND} -E make_directory ${base_res_dir}
  COMMAND ${ORVASIL_HOST_TOOLS_DIR}/defc -d ${base_res_bin}.d --rc ${base_res_bin}.rc ${base_res_dfm} ${base_res_bin}
  DEPENDS ${base_res_dfm} ${ORVASIL_HOST_TOOLS_DIR}/defc
  DEPFILE ${base_res_bin}.d)
file(CONFIGURE OUTPUT ${base_res_dir}/expected.rc CONTENT
  "EXPECTED_LNG RCDATA \"${CMAKE_SOURCE_DIR}/tests/tools/data/stored/english.lng\"\n")
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/base/base_resource_test.rc PROPERTIES
  OBJECT_DEPENDS "${base_res_bin};${base_res_bin}.rc")
orvasil_gtest(base_resource_tests SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/base/base_resource_test.cpp ${CMAKE_CURRENT_LIST_DIR}/base/base_resource_test.rc)
target_include_directories(base_resource_tests PRIVATE ${base_res_dir})
