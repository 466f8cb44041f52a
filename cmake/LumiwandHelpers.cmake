# lumiwand_add_test(NAME SOURCES file... LIBS lib...)
# One QtTest executable registered with ctest. Tests run headless (offscreen platform) with a private HOME so
# the workspace lands in a temporary Documents folder and never touches the user's own.
function(lumiwand_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HOME=${CMAKE_BINARY_DIR}/test-home/${name};XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/test-home/${name}/.config;XDG_DOCUMENTS_DIR=;LANG=C.UTF-8;LC_ALL=C.UTF-8"
    TIMEOUT 300)
endfunction()

# lumiwand_publish_forms(TARGET)
# A window class derives from the class AUTOUIC makes of its .ui file, so its header includes "ui_Name.h": the
# folder AUTOUIC writes those into is published to whoever includes the window's header.
function(lumiwand_publish_forms target)
  get_target_property(autogen_dir ${target} AUTOGEN_BUILD_DIR)
  if(NOT autogen_dir)
    set(autogen_dir ${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen)
  endif()
  target_include_directories(${target} PUBLIC ${autogen_dir}/include)
endfunction()

# lumiwand_add_bench(NAME SOURCES file... LIBS lib...)
# One benchmark program: it prints figures and is never registered as a test, so no time can fail a build.
function(lumiwand_add_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
endfunction()
