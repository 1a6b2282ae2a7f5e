# Cross build for 32-bit Windows (the shipped program): runs on Windows 95 OSR2 and NT 4.0 on.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(ORVASIL_MINGW_TARGET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
