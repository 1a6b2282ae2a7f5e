# The erase wizard in the test program's process, read from the program's own window
# definition, on the virtual card reader (scripts/lib/vcard) in NT mode and in Windows 98 mode.
set(wizard_test_common ${CMAKE_CURRENT_LIST_DIR}/wizard/wizard_env.cpp ${ORVASIL_RESOURCE_OBJECTS})
set(wizard_vcard ${CMAKE_SOURCE_DIR}/scripts/lib/vcard --prefix ${ORVASIL_WINEPREFIX} --letter e --fill 0xA5)
orvasil_gtest(wizard_nt SOURCES ${CMAKE_CURRENT_LIST_DIR}/wizard/wizard_test.cpp ${wizard_test_common}
  EMULATOR ${wizard_vcard} --tmpfs 8m --image-size 8500000 -- ${ORVASIL_WINE_RUN}
  PROPERTIES SKIP_RETURN_CODE 77)
orvasil_gtest(wizard_98 SOURCES ${CMAKE_CURRENT_LIST_DIR}/wizard/wizard_test.cpp ${wizard_test_common}
  EMULATOR ${wizard_vcard} --tmpfs 2m --image-size 2200000 --win98 -- ${ORVASIL_WINE_RUN}
  PROPERTIES SKIP_RETURN_CODE 77)
foreach(t wizard_nt wizard_98)
  target_compile_definitions(${t} PRIVATE
    ORVASIL_ENGLISH_UNIX="${CMAKE_SOURCE_DIR}/resources/lang/english.lng"
    ORVASIL_RECORDER_UNIX="$<TARGET_FILE:shell_recorder>")
  add_dependencies(${t} shell_recorder orvasil_forms)
endforeach()
