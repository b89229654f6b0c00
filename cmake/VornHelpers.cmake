# vorn_library(name folder LIBS...): one static library per source folder; its sources
# are every .cpp/.h/.ui in the folder, so adding a file needs no edit here. Shared with
# VORN_SHARED_LIBS (for tools/mutate.py: a change to one file then relinks one library,
# not every test program).
option(VORN_SHARED_LIBS "Build the program's libraries as shared libraries" OFF)
function(vorn_library name folder)
  file(GLOB _sources CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.h
    ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.ui)
  list(FILTER _sources EXCLUDE REGEX "/main\\.cpp$")
  set(_cpp ${_sources})
  list(FILTER _cpp INCLUDE REGEX "\\.cpp$")
  if(_cpp)
    if(VORN_SHARED_LIBS)
      add_library(${name} SHARED ${_sources})
    else()
      add_library(${name} STATIC ${_sources})
    endif()
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    # A folder whose code has not been written yet still takes part in the graph.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()

# vorn_tests(folder LIBS...): every tests/<folder>/tst_*.cpp becomes one test program,
# run headless on the offscreen platform.
function(vorn_tests folder)
  file(GLOB _tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/tst_*.cpp)
  foreach(_src IN LISTS _tests)
    get_filename_component(_name ${_src} NAME_WE)
    set(_target ${folder}_${_name})
    string(REPLACE "/" "_" _target ${_target})
    add_executable(${_target} ${_src})
    set_target_properties(${_target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_link_libraries(${_target} PRIVATE vorn_testsupport ${ARGN} Qt6::Test)
    vorn_pch(${_target} REUSE_FROM vorn_testsupport)
    # Each run starts with empty settings and data folders of its own (the pick list lives
    # in the data folder), so no run sees what an earlier one (or the developer's own Vorn)
    # stored. A test function that hangs is stopped by QtTest before ctest's own timeout,
    # with the stacks of every thread in the output (gdb), so a hang says where it waited.
    set(_home ${CMAKE_BINARY_DIR}/test-home/${_target})
    add_test(NAME ${_target} COMMAND sh -c "rm -rf \"$1\" && exec \"$0\"" $<TARGET_FILE:${_target}> ${_home})
    set_tests_properties(${_target} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VORN_TEST_DATA=${CMAKE_CURRENT_SOURCE_DIR}/${folder};VORN_BIN_DIR=${CMAKE_BINARY_DIR}/bin;XDG_CONFIG_HOME=${_home}/config;XDG_DATA_HOME=${_home}/data;XDG_CACHE_HOME=${_home}/cache;QTEST_FUNCTION_TIMEOUT=150000"
      TIMEOUT 300)
  endforeach()
endfunction()

# Precompiled Qt headers: most of a source file's compile time is spent reading the same
# Qt headers again. Each group of libraries with the same compiler flags shares one.
option(VORN_PCH "Precompile the Qt headers most sources include" ON)
set(VORN_PCH_CORE <QString> <QStringList> <QList> <QHash> <QByteArray> <QFile> <QDir> <QFileInfo>
  <QObject> <QVariant> <algorithm> <functional> <memory> <optional> <vector>)
set(VORN_PCH_WIDGETS ${VORN_PCH_CORE} <QTimer> <QWidget> <QLabel> <QPushButton> <QApplication>
  <QKeyEvent> <QMouseEvent> <QPainter> <QAction> <QMenu> <QLineEdit> <QComboBox> <QDialog> <QTreeView>
  <QListView> <QFrame>)
# vorn_pch(target HEADERS...) or vorn_pch(target REUSE_FROM other): nothing without VORN_PCH.
function(vorn_pch target)
  if(VORN_PCH)
    if(ARGV1 STREQUAL "REUSE_FROM")
      # A shared library defines its own <name>_EXPORTS, which no other target shares.
      get_target_property(_type ${ARGV2} TYPE)
      if(NOT _type STREQUAL "SHARED_LIBRARY")
        target_precompile_headers(${target} REUSE_FROM ${ARGV2})
      endif()
    else()
      target_precompile_headers(${target} PRIVATE ${ARGN})
    endif()
  endif()
endfunction()
