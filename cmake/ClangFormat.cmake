# Formatting with the root .clang-format, for every C++ file under src/,
# tests/, bench/, tools/ and fuzz/.
#
# Included from the top-level CMakeLists.txt it adds
#   - the target `format`, which rewrites the files in place, and
#   - the test `tooling/format`, which fails while any file is unformatted.
# Both run this same file in script mode, so files added after configuring
# are covered without configuring again:
#   cmake -DCLANG_FORMAT=<program> -DSOURCE_DIR=<tree> -DMODE=fix|check -P ClangFormat.cmake

set(CORVANE_FORMAT_FOLDERS src tests bench tools fuzz)

if(CMAKE_SCRIPT_MODE_FILE)
  set(files)
  foreach(folder ${CORVANE_FORMAT_FOLDERS})
    file(GLOB_RECURSE found ${SOURCE_DIR}/${folder}/*.cpp ${SOURCE_DIR}/${folder}/*.h)
    list(APPEND files ${found})
  endforeach()
  list(SORT files)
  list(LENGTH files count)

  if(MODE STREQUAL "fix")
    execute_process(COMMAND ${CLANG_FORMAT} -i --style=file ${files}
                    WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
      message(FATAL_ERROR "clang-format failed")
    endif()
    message(STATUS "Formatted ${count} files")
    return()
  endif()

  execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror --style=file ${files}
                  WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE result ERROR_VARIABLE report)
  if(result EQUAL 0)
    message(STATUS "All ${count} files are formatted")
    return()
  endif()
  # clang-format reports every differing line; name each file once.
  string(REGEX MATCHALL "[^\n]+:[0-9]+:[0-9]+: error:" places "${report}")
  set(unformatted)
  foreach(place ${places})
    string(REGEX REPLACE ":[0-9]+:[0-9]+: error:$" "" file "${place}")
    file(RELATIVE_PATH file ${SOURCE_DIR} ${file})
    list(APPEND unformatted ${file})
  endforeach()
  list(REMOVE_DUPLICATES unformatted)
  if(NOT unformatted)
    message(FATAL_ERROR "clang-format failed:\n${report}")
  endif()
  list(JOIN unformatted "\n  " listing)
  message(FATAL_ERROR "Not formatted with .clang-format (run `cmake --build <build> --target format`):\n  ${listing}")
endif()

find_program(CLANG_FORMAT NAMES clang-format clang-format-14)
if(NOT CLANG_FORMAT)
  message(WARNING "clang-format not found: no `format` target and no format check")
  return()
endif()

add_custom_target(format
  COMMAND ${CMAKE_COMMAND} -DCLANG_FORMAT=${CLANG_FORMAT} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DMODE=fix
          -P ${CMAKE_CURRENT_LIST_FILE}
  COMMENT "Formatting the C++ sources with .clang-format"
  VERBATIM)

# The sources are the same in every build; the sanitizer build leaves the
# check to the normal one.
if(CORVANE_TESTS AND NOT CORVANE_SANITIZE)
  add_test(NAME tooling/format
    COMMAND ${CMAKE_COMMAND} -DCLANG_FORMAT=${CLANG_FORMAT} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DMODE=check
            -P ${CMAKE_CURRENT_LIST_FILE})
  set_tests_properties(tooling/format PROPERTIES LABELS tooling TIMEOUT 120)
endif()
