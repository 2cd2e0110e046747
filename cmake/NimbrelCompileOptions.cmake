# The options every target of ours is built with: warnings as errors, and the
# address and undefined-behaviour sanitizers when NIMBREL_SANITIZE is on
# (scripts/test --sanitize). Outside code (whisper.cpp, the bundled tools, the
# system's libraries) is built elsewhere and never sees them.
option(NIMBREL_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

add_library(nimbrel_compile_options INTERFACE)
target_compile_options(nimbrel_compile_options INTERFACE
  -Wall -Wextra -Wshadow -Werror
  $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor -Woverloaded-virtual>
  -Wno-unused-parameter -Wno-missing-field-initializers)

if(NIMBREL_SANITIZE)
  # GCC's "undefined" leaves out float-to-integer overflow, which a sample or
  # a time out of range would hit. Undefined behaviour aborts, so a fault fails
  # its test instead of scrolling past; line tables make the reports name the line.
  set(sanitizers -fsanitize=address,undefined,float-cast-overflow)
  target_compile_options(nimbrel_compile_options INTERFACE
    ${sanitizers} -fno-sanitize-recover=undefined,float-cast-overflow -fno-omit-frame-pointer -g1)
  target_link_options(nimbrel_compile_options INTERFACE ${sanitizers})
endif()

# Links the options into every target defined below a source folder.
function(nimbrel_use_compile_options folder)
  get_property(targets DIRECTORY "${folder}" PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY|EXECUTABLE)$")
      target_link_libraries(${target} PRIVATE nimbrel_compile_options)
    endif()
  endforeach()
  get_property(subfolders DIRECTORY "${folder}" PROPERTY SUBDIRECTORIES)
  foreach(subfolder IN LISTS subfolders)
    nimbrel_use_compile_options("${subfolder}")
  endforeach()
endfunction()
