# The import check: every function the program imports must be exported by the oldest Windows
# it promises, or that system refuses to load it: Windows 95 OSR2 and NT 4.0 for the 32-bit
# program (tests/imports/<dll>.txt), Windows XP x64 and Server 2003 x64 for the 64-bit one
# (the same lists, with tests/imports/x64/<dll>.txt added and taken away).
set(imports_lists ${CMAKE_SOURCE_DIR}/tests/imports)
set(peimports ${ORVASIL_HOST_TOOLS_DIR}/peimports)
if(ORVASIL_WIN64)
  set(imports_check --allow ${imports_lists} --allow ${imports_lists}/x64
    --systems "Windows XP x64 and Server 2003 x64" --subsystem 5.2)
  set(imports_test imports.orvasil64_exe_loads_on_xp_x64_and_2003_x64)
else()
  set(imports_check --allow ${imports_lists})
  set(imports_test imports.orvasil_exe_loads_on_95_and_nt4)
endif()
add_test(NAME ${imports_test} COMMAND ${peimports} ${imports_check} $<TARGET_FILE:orvasil>)
set_tests_properties(${imports_test} PROPERTIES LABELS static)

# A program with imports the check must refuse, one of each kind. A 32-bit import library
# names stdcall functions with their argument bytes; a 64-bit one has no such decoration.
set(probe_dir ${CMAKE_CURRENT_BINARY_DIR}/imports_probe)
file(MAKE_DIRECTORY ${probe_dir})
foreach(kind ordinal unlisted)
  set(def ${imports_lists}/probe_${kind}.def)
  set(lib ${probe_dir}/libprobe_${kind}.a)
  if(ORVASIL_WIN64)
    file(READ ${def} text)
    string(REGEX REPLACE "@0( |\n)" "\\1" text "${text}")
    set(def ${probe_dir}/probe_${kind}.def)
    file(WRITE ${def} "${text}")
    set(dlltool_options)
  else()
    set(dlltool_options --kill-at)
  endif()
  add_custom_command(OUTPUT ${lib}
    COMMAND ${ORVASIL_MINGW_TRIPLET}-dlltool ${dlltool_options} --input-def ${def} --output-lib ${lib}
    DEPENDS ${def})
  list(APPEND probe_libs ${lib})
endforeach()
add_custom_target(imports_probe_libs DEPENDS ${probe_libs})
add_executable(imports_probe ${imports_lists}/probe.cpp)
add_dependencies(imports_probe imports_probe_libs)
target_link_libraries(imports_probe PRIVATE ${probe_libs})
list(JOIN imports_check "|" imports_check_joined)
add_test(NAME imports.check_refuses_newer_ordinal_and_unlisted
  COMMAND ${CMAKE_COMMAND} -DCHECK=${peimports} "-DOPTIONS=${imports_check_joined}"
    -DEXE=$<TARGET_FILE:imports_probe> -P ${imports_lists}/expect_refused.cmake)
set_tests_properties(imports.check_refuses_newer_ordinal_and_unlisted PROPERTIES LABELS static)
