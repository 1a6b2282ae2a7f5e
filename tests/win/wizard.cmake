# The erase wizard in the test program's process, read from the program's own window
# definition, on the virtual card reader (scripts/lib/vcard) in NT mode and in Windows 98 mode.
set(wizard_test_common ${CMAKE_CURRENT_LIST_DIR}/wizard/wizard_env.cpp ${ORVASIL_RESOURCE_OBJECTS})
set(wizard_vcard ${CMAKE_SOURCE_DIR}/scripts/lib/vcard --prefix ${ORVASIL_WINEPREFIX} --letter e --fill 0xA5)
orvasil_gtest(wizard_nt SOURCES ${CMAKE_CURRENT_LIST_DIR}/wizard/wizard_test.cpp ${wizard_test_common}
  EMULATOR ${wizard_vcard} --tmpfs 8m --image-size 8500000 -- ${ORVASIL_WINE_RUN}
  PROPERTIES SKIP_RETURN_CODE 77)
set(wizard_card_tests wizard_nt)
if(ORVASIL_WIN64)
  orvasil_needs_32bit(wizard_98)
else()
  orvasil_gtest(wizard_98 SOURCES ${CMAKE_CURRENT_LIST_DIR}/wizard/wizard_test.cpp ${wizard_test_common}
    EMULATOR ${wizard_vcard} --tmpfs 2m --image-size 2200000 --win98 -- ${ORVASIL_WINE_RUN}
    PROPERTIES SKIP_RETURN_CODE 77)
  list(APPEND wizard_card_tests wizard_98)
endif()
foreach(t IN LISTS wizard_card_tests)
  target_compile_definitions(${t} PRIVATE ORVASIL_RECORDER_UNIX="$<TARGET_FILE:shell_recorder>")
  add_dependencies(${t} shell_recorder orvasil_forms)
endforeach()
# Cards that fail (NT mode): a sparse image on a tmpfs too small for it, a drive whose root is
# no directory, so that it reports no geometry, and a drive whose volume link points nowhere.
orvasil_gtest(wizard_full SOURCES ${CMAKE_CURRENT_LIST_DIR}/wizard/wizard_fault_test.cpp ${wizard_test_common}
  EMULATOR ${wizard_vcard} --tmpfs 1m --image-size 8388608 --sparse -- ${ORVASIL_WINE_RUN}
  PROPERTIES SKIP_RETURN_CODE 77)
target_compile_definitions(wizard_full PRIVATE ORVASIL_FAULT_DISK_FULL)
orvasil_gtest(wizard_nogeo SOURCES ${CMAKE_CURRENT_LIST_DIR}/wizard/wizard_fault_test.cpp ${wizard_test_common}
  EMULATOR ${wizard_vcard} --tmpfs 8m --image-size 8500000 --root-file -- ${ORVASIL_WINE_RUN}
  PROPERTIES SKIP_RETURN_CODE 77)
target_compile_definitions(wizard_nogeo PRIVATE ORVASIL_FAULT_NO_GEOMETRY)
orvasil_gtest(wizard_novol SOURCES ${CMAKE_CURRENT_LIST_DIR}/wizard/wizard_fault_test.cpp ${wizard_test_common}
  EMULATOR ${wizard_vcard} --tmpfs 8m --image-size 8500000 --no-volume -- ${ORVASIL_WINE_RUN}
  PROPERTIES SKIP_RETURN_CODE 77)
target_compile_definitions(wizard_novol PRIVATE ORVASIL_FAULT_NO_VOLUME)
foreach(t wizard_full wizard_nogeo wizard_novol)
  add_dependencies(${t} orvasil_forms)
endforeach()
