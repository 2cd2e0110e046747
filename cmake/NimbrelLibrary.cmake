# One static library per source folder: every .cpp below the folder is part of it,
# except below the SKIP subfolders, which are libraries of their own.
function(nimbrel_library name)
  cmake_parse_arguments(ARG "" "" "LIBS;SKIP" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  foreach(skipped IN LISTS ARG_SKIP)
    list(FILTER sources EXCLUDE REGEX "^${CMAKE_CURRENT_SOURCE_DIR}/${skipped}/")
  endforeach()
  file(GLOB_RECURSE headers CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.h")
  foreach(skipped IN LISTS ARG_SKIP)
    list(FILTER headers EXCLUDE REGEX "^${CMAKE_CURRENT_SOURCE_DIR}/${skipped}/")
  endforeach()
  add_library(${name} STATIC ${sources} ${headers})
  # Ninja reruns moc only when a header it has already scanned changes; a
  # header added since (by a merge, say) would never be scanned in an existing
  # build folder, so a changed header list forces the next scan.
  string(SHA1 header_list_hash "${headers}")
  if(NOT "${header_list_hash}" STREQUAL "${NIMBREL_HEADERS_${name}}")
    file(REMOVE "${CMAKE_CURRENT_BINARY_DIR}/${name}_autogen/timestamp")
    set(NIMBREL_HEADERS_${name} "${header_list_hash}" CACHE INTERNAL "")
  endif()
  # Each library exposes only its own folder, through a link under the build
  # folder, so a header of a layer the library does not build on is not found.
  file(RELATIVE_PATH folder "${PROJECT_SOURCE_DIR}/src" "${CMAKE_CURRENT_SOURCE_DIR}")
  set(include_root "${PROJECT_BINARY_DIR}/layers/${name}")
  get_filename_component(link_parent "${include_root}/${folder}" DIRECTORY)
  file(MAKE_DIRECTORY "${link_parent}")
  file(CREATE_LINK "${CMAKE_CURRENT_SOURCE_DIR}" "${include_root}/${folder}" SYMBOLIC)
  target_include_directories(${name} PUBLIC "${include_root}")
  target_compile_definitions(${name} PUBLIC QT_NO_KEYWORDS)
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# Test code is assertions around library calls: a light optimisation level
# cuts its compile time, which dominates a build on two cores. The shared
# precompiled header must be built with the same options as its users (the
# shared ones of NimbrelCompileOptions.cmake included).
set(NIMBREL_TEST_COMPILE_OPTIONS -O1 -Winvalid-pch)

# A test program built from the given sources; LABELS name the services it needs
# (dbus, pulse, x11, tools, http), which scripts/test starts.
function(nimbrel_test name)
  cmake_parse_arguments(ARG "GUI" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_GUI)
    target_link_libraries(${name} PRIVATE nimbrel_testmain_gui)
  else()
    target_link_libraries(${name} PRIVATE nimbrel_testmain)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock)
  target_compile_options(${name} PRIVATE ${NIMBREL_TEST_COMPILE_OPTIONS})
  target_precompile_headers(${name} REUSE_FROM nimbrel_test_pch)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  if(NIMBREL_SANITIZE)
    # Instrumented code runs a few times slower.
    math(EXPR ARG_TIMEOUT "${ARG_TIMEOUT} * 3")
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "NIMBREL_SOURCE_DIR=${PROJECT_SOURCE_DIR};NIMBREL_BINARY_DIR=${PROJECT_BINARY_DIR};NIMBREL_DEPS_DIR=${NIMBREL_DEPS_DIR}")
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
    # Tests of the shared sound server or display run one at a time.
    set(locks "")
    foreach(label IN LISTS ARG_LABELS)
      if(label STREQUAL "pulse" OR label STREQUAL "x11")
        list(APPEND locks ${label})
      endif()
    endforeach()
    if(locks)
      set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${locks}")
    endif()
  endif()
endfunction()
