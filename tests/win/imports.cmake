# The import check: every function orvasil.exe imports must be exported by Windows 95 OSR2 and
# NT 4.0 (tests/imports/<dll>.txt), or those systems refuse to load it.
set(imports_lists ${CMAKE_SOURCE_DIR}/tests/imports)
set(peimports ${ORVASIL_HOST_TOOLS_DIR}/peimports)
add_test(NAME imports.orvasil_exe_loads_on_95_and_nt4
  COMMAND ${peimports} --allow ${imports_lists} $<TARGET_FILE:orvasil>)

# A program with imports the check must refuse, one of each kind.
set(probe_dir ${CMAKE_CURRENT_BINARY_DIR}/imports_probe)
file(MAKE_DIRECTORY ${probe_dir})
foreach(kind ordinal unlisted)
  set(def ${imports_lists}/probe_${kind}.def)
  set(lib ${probe_dir}/libprobe_${kind}.a)
  add_custom_command(OUTPUT ${lib}
    COMMAND i686-w64-mingw32-dlltool --kill-at --input-def ${def} --output-lib ${lib}
    DEPENDS ${def})
  list(APPEND probe_libs ${lib})
endforeach()
add_custom_target(imports_probe_libs DEPENDS ${probe_libs})
add_executable(imports_probe ${imports_lists}/probe.cpp)
add_dependencies(imports_probe imports_probe_libs)
target_link_libraries(imports_probe PRIVATE ${probe_libs})
add_test(NAME imports.check_refuses_newer_ordinal_and_unlisted
  COMMAND ${CMAKE_COMMAND} -DCHECK=${peimports} -DLISTS=${imports_lists} -DEXE=$<TARGET_FILE:imports_probe>
    -P ${imports_lists}/expect_refused.cmake)
