# Cross build for 64-bit Windows: the same sources, for machines (and Wine installations) that
# run only 64-bit code.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ORVASIL_MINGW_TARGET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
