# zlib, libjpeg and GoogleTest for both builds, as imported targets orvasil::zlib and orvasil::jpeg.

set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)
add_library(orvasil::zlib ALIAS ZLIB::ZLIB)

if(ORVASIL_WINDOWS)
  # Debian ships no mingw libjpeg: build the static library from Debian's own source tarball.
  set(ORVASIL_LIBJPEG_TARBALL "" CACHE FILEPATH "libjpeg-turbo source tarball (Debian orig.tar.gz)")
  if(NOT EXISTS "${ORVASIL_LIBJPEG_TARBALL}")
    message(FATAL_ERROR "ORVASIL_LIBJPEG_TARBALL must name the libjpeg-turbo source tarball (scripts/setup fetches it)")
  endif()
  include(ExternalProject)
  set(jpeg_prefix ${CMAKE_BINARY_DIR}/deps/libjpeg)
  ExternalProject_Add(libjpeg_ext
    URL ${ORVASIL_LIBJPEG_TARBALL}
    PREFIX ${CMAKE_BINARY_DIR}/deps/libjpeg-build
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
      -DCMAKE_INSTALL_PREFIX=${jpeg_prefix}
      -DCMAKE_BUILD_TYPE=Release
      -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_JPEG8=OFF
      -DCMAKE_POSITION_INDEPENDENT_CODE=OFF
    BUILD_BYPRODUCTS ${jpeg_prefix}/lib/libjpeg.a
    DOWNLOAD_EXTRACT_TIMESTAMP ON
  )
  file(MAKE_DIRECTORY ${jpeg_prefix}/include)
  add_library(orvasil_jpeg STATIC IMPORTED GLOBAL)
  set_target_properties(orvasil_jpeg PROPERTIES
    IMPORTED_LOCATION ${jpeg_prefix}/lib/libjpeg.a
    INTERFACE_INCLUDE_DIRECTORIES ${jpeg_prefix}/include)
  add_dependencies(orvasil_jpeg libjpeg_ext)
  add_library(orvasil::jpeg ALIAS orvasil_jpeg)
else()
  find_package(JPEG REQUIRED)
  add_library(orvasil::jpeg ALIAS JPEG::JPEG)
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
if(ORVASIL_WINDOWS)
  # The win32 thread model has no std::mutex, on which GoogleTest's Notification is built.
  target_compile_definitions(gtest PUBLIC GTEST_HAS_NOTIFICATION_=1)
  target_compile_options(gtest PUBLIC -include ${CMAKE_SOURCE_DIR}/cmake/gtest-notification.h)
endif()
include(GoogleTest)
