# The rich-text control on the system's Rich Edit library.
orvasil_gtest(richtext_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/richtext/richedit_test.cpp)

# Not a test: shows a document of the program in the control, for a look at it (screenshots).
add_executable(richedit_demo WIN32 ${CMAKE_CURRENT_LIST_DIR}/richtext/richedit_demo.cpp)
target_link_libraries(richedit_demo PRIVATE orvasil_lib orvasil_test_support)
target_compile_definitions(richedit_demo PRIVATE ORVASIL_DOCS_UNIX="${CMAKE_SOURCE_DIR}/resources/docs")
