# What makes the build fast on a small machine: a fast linker and one precompiled header shared by every target.

# The linker: mold, else lld, where installed (scripts/install-deps.sh installs mold). The tests and programs are
# linked from static libraries with debug information, which GNU ld takes seconds for, each.
option(LUMIWAND_FAST_LINKER "Link with mold or lld where installed" ON)
if(LUMIWAND_FAST_LINKER)
  include(CheckLinkerFlag)
  foreach(linker mold lld)
    check_linker_flag(CXX -fuse-ld=${linker} LUMIWAND_HAVE_LINKER_${linker})
    if(LUMIWAND_HAVE_LINKER_${linker})
      add_link_options(-fuse-ld=${linker})
      # mold otherwise ends its work in a process the build does not wait for, and its time goes uncounted.
      if(linker STREQUAL mold)
        add_link_options(-Wl,--no-fork)
      endif()
      break()
    endif()
  endforeach()
endif()

# One precompiled header of the standard and Qt headers most files include, made once by lumiwand_pch and reused
# by every target that uses Qt (lumiwand_speed_up_targets). The compiler takes it only where the flags
# are the ones it was made with; the definitions a target adds (QT_WIDGETS_LIB, a program's path) do not matter
# as long as none of these headers reads them, so it is made with only the definitions every Qt target has and
# the include folders of Gui and Widgets, and never holds QtTest, which reads QT_WIDGETS_LIB. A target the header
# does not fit gets a warning (-Winvalid-pch, which CMake adds), which the warning-free build refuses.
option(LUMIWAND_PCH "Precompile the common standard and Qt headers" ON)
option(LUMIWAND_UNITY_BUILD "Compile the files of each target in batches" ON)
if(LUMIWAND_PCH)
  add_library(lumiwand_pch OBJECT ${CMAKE_CURRENT_LIST_DIR}/PrecompiledHeader.cpp)
  target_link_libraries(lumiwand_pch PRIVATE Qt6::Core)
  target_include_directories(lumiwand_pch SYSTEM PRIVATE
    $<TARGET_PROPERTY:Qt6::Gui,INTERFACE_INCLUDE_DIRECTORIES>
    $<TARGET_PROPERTY:Qt6::Widgets,INTERFACE_INCLUDE_DIRECTORIES>)
  set_target_properties(lumiwand_pch PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
  target_precompile_headers(lumiwand_pch PRIVATE
    <algorithm> <functional> <memory> <optional> <vector>
    <QByteArray> <QDir> <QFile> <QFileInfo> <QHash> <QList> <QObject> <QString> <QStringList> <QTemporaryDir>
    <QTimer>
    <QImage> <QPainter> <QPixmap>
    <QApplication> <QCheckBox> <QComboBox> <QDialog> <QGroupBox> <QLabel> <QLineEdit> <QListWidget>
    <QPushButton> <QRadioButton> <QToolButton> <QWidget>)
endif()

# Every target a target links, however indirectly, aliases resolved.
function(lumiwand_link_closure target out)
  set(queue ${target})
  set(seen "")
  while(queue)
    list(POP_FRONT queue item)
    string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" item "${item}")
    if(item IN_LIST seen OR NOT TARGET ${item})
      continue()
    endif()
    get_target_property(aliased ${item} ALIASED_TARGET)
    if(aliased)
      list(APPEND queue ${aliased})
      continue()
    endif()
    list(APPEND seen ${item})
    get_target_property(imported ${item} IMPORTED)
    set(links "")
    if(NOT imported)
      get_target_property(links ${item} LINK_LIBRARIES)
    endif()
    get_target_property(interface ${item} INTERFACE_LINK_LIBRARIES)
    foreach(link IN LISTS links interface)
      if(link)
        list(APPEND queue ${link})
      endif()
    endforeach()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

# Every target of the folder and the folders below it.
function(lumiwand_targets_below dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    lumiwand_targets_below(${sub} below)
    list(APPEND targets ${below})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

# The C++ files of a target that are written by hand, not generated into the build tree.
function(lumiwand_own_sources target out)
  get_target_property(sources ${target} SOURCES)
  get_target_property(dir ${target} SOURCE_DIR)
  set(own "")
  foreach(source IN LISTS sources)
    if(source MATCHES "\\.cpp$")
      cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${dir})
      string(FIND "${source}" "${CMAKE_BINARY_DIR}/" in_build_tree)
      if(NOT in_build_tree EQUAL 0)
        list(APPEND own ${source})
      endif()
    endif()
  endforeach()
  set(${out} ${own} PARENT_SCOPE)
endfunction()

# Called once all targets exist. Every target that uses Qt takes the shared precompiled header, except in the
# moc file of a program, which is empty (tests include their moc output themselves) and would only load it.
# A library or program of several files is compiled in batches of 8 files each (a unity build): the headers are
# read and their templates compiled once per batch instead of once per file, which saves most of the time; names
# in anonymous namespaces must therefore differ between the files of a target. Tests stay file by file.
function(lumiwand_speed_up_targets)
  lumiwand_targets_below(${CMAKE_SOURCE_DIR} targets)
  # lumiwandctl starts on Qt Core alone because the linker takes from each static library only the files info
  # uses; a batch would bring in its neighbours' use of Qt Gui, so what lumiwandctl links stays file by file.
  set(file_by_file "")
  if(TARGET lumiwandctl)
    lumiwand_link_closure(lumiwandctl file_by_file)
  endif()
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(target STREQUAL lumiwand_pch OR NOT type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|OBJECT_LIBRARY)$")
      continue()
    endif()
    lumiwand_own_sources(${target} sources)
    list(LENGTH sources count)
    if(count EQUAL 0)
      continue()
    endif()
    get_target_property(source_dir ${target} SOURCE_DIR)
    string(FIND "${source_dir}/" "${CMAKE_SOURCE_DIR}/tests/" in_tests)
    if(LUMIWAND_UNITY_BUILD AND count GREATER 1 AND NOT in_tests EQUAL 0 AND NOT target IN_LIST file_by_file)
      set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
    endif()
    lumiwand_link_closure(${target} linked)
    list(FILTER linked INCLUDE REGEX "^Qt6::")
    if(LUMIWAND_PCH AND linked)
      target_precompile_headers(${target} REUSE_FROM lumiwand_pch)
      get_target_property(automoc ${target} AUTOMOC)
      if(automoc AND type STREQUAL EXECUTABLE)
        get_target_property(binary_dir ${target} BINARY_DIR)
        set_source_files_properties(${binary_dir}/${target}_autogen/mocs_compilation.cpp TARGET_DIRECTORY ${target}
                                    PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
      endif()
    endif()
  endforeach()
endfunction()
