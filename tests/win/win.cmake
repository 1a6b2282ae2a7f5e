# The run-time lookups of functions that Windows 95 or NT 4.0 lacks, and their fallbacks.
orvasil_gtest(wincompat_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/win/wincompat_test.cpp)
