# The examples of the guide's "C++ helpers" section, compiled and run as they stand, so that the
# guide cannot drift from the headers: each ```cpp block becomes one function of a generated
# program (its #include lines go to the top of the file), and main runs them all.
set(guide ${PROJECT_SOURCE_DIR}/docs/guide.md)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${guide})
file(READ ${guide} text)
string(FIND "${text}" "## C++ helpers" begin)
string(SUBSTRING "${text}" ${begin} -1 text)
string(FIND "${text}" "\n## " end)
string(SUBSTRING "${text}" 0 ${end} text)

set(count 0)
set(includes "#include <QOVAicuC.h>;#include <chrono>;#include <cstdio>;#include <string>")
set(functions "")
set(calls "")
while(TRUE)
  string(FIND "${text}" "```cpp\n" at)
  if(at EQUAL -1)
    break()
  endif()
  math(EXPR at "${at} + 7")
  string(SUBSTRING "${text}" ${at} -1 text)
  string(FIND "${text}" "```" stop)
  string(SUBSTRING "${text}" 0 ${stop} block)
  string(SUBSTRING "${text}" ${stop} -1 text)
  string(REGEX MATCHALL "#include <[^>\n]*>" found "${block}")
  string(REGEX REPLACE "#include <[^>\n]*>" "" block "${block}")
  list(APPEND includes ${found})
  math(EXPR count "${count} + 1")
  string(APPEND functions "void example${count}() {\n${block}}\n\n")
  string(APPEND calls "    example${count}();\n")
endwhile()
if(count EQUAL 0)
  message(FATAL_ERROR "no C++ examples found in the C++ helpers section of ${guide}")
endif()
list(REMOVE_DUPLICATES includes)
string(REPLACE ";" "\n" includes "${includes}")
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/guide_examples.cpp.new
  "// Generated from docs/guide.md by cmake/guide_examples.cmake.\n${includes}\n\n"
  "${functions}int main() {\n${calls}    return 0;\n}\n")
configure_file(${CMAKE_CURRENT_BINARY_DIR}/guide_examples.cpp.new
  ${CMAKE_CURRENT_BINARY_DIR}/guide_examples.cpp COPYONLY)

add_executable(guide_examples ${CMAKE_CURRENT_BINARY_DIR}/guide_examples.cpp)
target_link_libraries(guide_examples PRIVATE QOVAicuC::helpers)
# Examples show results in variables that they do not use further.
target_compile_options(guide_examples PRIVATE -Wno-unused-variable -Wno-unused-but-set-variable)
add_test(NAME guide_examples COMMAND guide_examples)
set_tests_properties(guide_examples PROPERTIES LABELS "unit")
