# Drive access and the erase run on a virtual card reader (scripts/lib/vcard), in NT mode and
# in Windows 98 mode. Skipped (exit 77) where no tmpfs can be mounted.
# The image is longer than the cluster range (as a formatted card's volume is) and ends in a
# piece of a sector. Wine's 9x disk services are slow, so that card is smaller.
set(ORVASIL_VCARD ${CMAKE_SOURCE_DIR}/scripts/lib/vcard --prefix ${ORVASIL_WINEPREFIX} --letter e --fill 0xA5)
# The NT run starts from the state a killed 98 run leaves, and must not run in 98 mode.
orvasil_gtest(disk_card_nt SOURCES ${CMAKE_CURRENT_LIST_DIR}/disk/disk_card_test.cpp
  EMULATOR ${CMAKE_CURRENT_LIST_DIR}/disk/with-stale-98 ${ORVASIL_WINEPREFIX} -- ${ORVASIL_VCARD} --tmpfs 8m --image-size 8500000 -- ${ORVASIL_WINE_RUN}
  PROPERTIES SKIP_RETURN_CODE 77)
if(ORVASIL_WIN64)
  orvasil_needs_32bit(disk_card_98)
else()
  orvasil_gtest(disk_card_98 SOURCES ${CMAKE_CURRENT_LIST_DIR}/disk/disk_card_test.cpp
    EMULATOR ${ORVASIL_VCARD} --tmpfs 2m --image-size 2200000 --win98 -- ${ORVASIL_WINE_RUN}
    PROPERTIES SKIP_RETURN_CODE 77)
endif()
