# CORVANE_SANITIZE: every target built with AddressSanitizer and
# UndefinedBehaviorSanitizer. Any finding ends the process with an error, so a
# test that meets one fails. Use a build directory of its own:
#   cmake -S . -B build-sanitize -DCORVANE_SANITIZE=ON -DCORVANE_BENCH=OFF

set(sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=undefined)
add_compile_options(${sanitize_flags} -fno-omit-frame-pointer)
add_link_options(${sanitize_flags})

# The runtime options and suppressions are compiled into every executable, so
# they hold however a program is started: by ctest, by a test that runs the
# program, by the desktop test scripts or by hand.
add_library(corvane_sanitizer_options OBJECT ${PROJECT_SOURCE_DIR}/tests/sanitizers/options.cpp)
target_compile_definitions(corvane_sanitizer_options PRIVATE
  CORVANE_SANITIZER_FILES="${PROJECT_SOURCE_DIR}/tests/sanitizers")

# Links the options into every executable of <dir> and the folders below it;
# called once all targets are declared.
function(corvane_sanitizer_options dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
      target_link_libraries(${target} PRIVATE corvane_sanitizer_options)
    endif()
  endforeach()
  get_property(folders DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(folder ${folders})
    corvane_sanitizer_options(${folder})
  endforeach()
endfunction()
