# The part both Windows toolchain files share: the win32-threads mingw-w64 compilers for
# ORVASIL_MINGW_TARGET (without the POSIX threads layer the runtime imports only functions the
# oldest promised Windows exports), and the target's own libraries and headers.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${ORVASIL_MINGW_TARGET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${ORVASIL_MINGW_TARGET}-g++-win32)
set(CMAKE_RC_COMPILER ${ORVASIL_MINGW_TARGET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ORVASIL_MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
