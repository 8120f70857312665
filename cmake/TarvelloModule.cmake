# A module is one folder of sources built into a static library. Its files are
# picked up by pattern, so adding a .cpp/.h needs no edit here.
function(tarvello_module name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT sources)
    # Not written yet: an empty interface keeps the modules above it linking.
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${ARG_DEPENDS})
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
endfunction()

# A test program: every .cpp of the folder, the shared test main and support code.
# Each GoogleTest case becomes one CTest test.
function(tarvello_test name)
  cmake_parse_arguments(ARG "" "" "DEPENDS;PROPERTIES" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
       ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT sources)
    return()
  endif()
  foreach(dep ${ARG_DEPENDS})
    if(NOT TARGET ${dep})
      message(FATAL_ERROR "${name}: the test program needs ${dep}, which is not built")
    endif()
  endforeach()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE tarvello_testsupport ${ARG_DEPENDS})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES ${ARG_PROPERTIES})
endfunction()
