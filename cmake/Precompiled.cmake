# Precompiled headers. Nearly every source parses the same standard-library, Qt and
# GoogleTest headers; parsing them again for each file was most of the build's time. Here they
# are parsed once per kind of target: a small anchor target per kind precompiles its headers,
# and every target of that kind reuses the anchor's header. A precompiled header is only valid
# for sources compiled with the same options as the anchor (optimisation, debug information,
# position-independent code, sanitizers), so the kind follows what the target links: which Qt
# modules (they bring -fPIC and their include paths) and whether it is a test.
#
# Only headers whose meaning does not depend on the defines that differ between targets are
# listed: QtTest reads QT_GUI_LIB and QT_WIDGETS_LIB, so it stays out. GCC refuses a header
# that does not fit and parses the sources without it (-Winvalid-pch says so in the build log).

set(DAX_PCH_STD
  <algorithm> <array> <atomic> <chrono> <cmath> <cstdint> <cstdio> <cstdlib> <cstring>
  <functional> <limits> <map> <memory> <mutex> <optional> <set> <span> <sstream>
  <stdexcept> <string> <string_view> <thread> <tuple> <unordered_map> <utility> <variant>
  <vector>)
set(DAX_PCH_QTCORE ${DAX_PCH_STD}
  <QBuffer> <QByteArray> <QDateTime> <QDir> <QFile> <QFileInfo> <QHash> <QList> <QMap>
  <QObject> <QPointer> <QString> <QStringList> <QStringView> <QVariant>)
set(DAX_PCH_QTGUI ${DAX_PCH_QTCORE}
  <QColor> <QFont> <QFontMetrics> <QImage> <QPainter> <QPen> <QPixmap> <QRawFont>)
set(DAX_PCH_QTWIDGETS ${DAX_PCH_QTGUI}
  <QAction> <QApplication> <QBoxLayout> <QCheckBox> <QComboBox> <QDialog> <QGridLayout>
  <QGroupBox> <QLabel> <QLineEdit> <QPushButton> <QSpinBox> <QTableView> <QTimer>
  <QTreeWidget> <QWidget>)
set(DAX_PCH_TEST <gtest/gtest.h> <gmock/gmock.h>)

# The kind of a target: std, qtcore, qtgui or qtwidgets, with "test_" before it for targets
# that link GoogleTest.
function(dax_pch_kind target out)
  dax_link_closure(${target} closure)
  set(kind std)
  if("Qt6::Widgets" IN_LIST closure)
    set(kind qtwidgets)
  elseif("Qt6::Gui" IN_LIST closure)
    set(kind qtgui)
  elseif("Qt6::Core" IN_LIST closure)
    set(kind qtcore)
  endif()
  if("GTest::gtest" IN_LIST closure OR "GTest::gmock" IN_LIST closure)
    set(kind test_${kind})
  endif()
  set(${out} ${kind} PARENT_SCOPE)
endfunction()

# The anchor of a kind: an object library of one empty source, linking what the kind links
# and compiled with the options its targets get.
function(dax_pch_anchor kind out)
  set(anchor daxpch_${kind})
  if(NOT TARGET ${anchor})
    add_library(${anchor} OBJECT ${PROJECT_SOURCE_DIR}/cmake/PrecompiledAnchor.cpp)
    string(REGEX REPLACE "^test_" "" qt ${kind})
    set(headers ${DAX_PCH_STD})
    if(qt STREQUAL "qtcore")
      target_link_libraries(${anchor} PRIVATE Qt6::Core)
      set(headers ${DAX_PCH_QTCORE})
    elseif(qt STREQUAL "qtgui")
      target_link_libraries(${anchor} PRIVATE Qt6::Gui)
      set(headers ${DAX_PCH_QTGUI})
    elseif(qt STREQUAL "qtwidgets")
      target_link_libraries(${anchor} PRIVATE Qt6::Widgets)
      set(headers ${DAX_PCH_QTWIDGETS})
    endif()
    if(kind MATCHES "^test_")
      target_link_libraries(${anchor} PRIVATE GTest::gtest GTest::gmock)
      list(APPEND headers ${DAX_PCH_TEST})
      target_compile_options(${anchor} PRIVATE ${DAX_TEST_COMPILE_OPTIONS})
    endif()
    target_precompile_headers(${anchor} PRIVATE ${headers})
  endif()
  set(${out} ${anchor} PARENT_SCOPE)
endfunction()

# Every C++ target built by default under <dir> (recursively) that has not opted out with the
# property DAX_NO_PCH reuses the precompiled header of its kind. Called once, after every
# target is defined, so that each target's links are known.
function(dax_precompile_all dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    get_target_property(excluded ${target} EXCLUDE_FROM_ALL)
    get_target_property(opted_out ${target} DAX_NO_PCH)
    if(NOT type MATCHES "^(STATIC_LIBRARY|OBJECT_LIBRARY|EXECUTABLE)$" OR excluded OR opted_out
       OR target MATCHES "^daxpch_")
      continue()
    endif()
    dax_pch_kind(${target} kind)
    dax_pch_anchor(${kind} anchor)
    target_precompile_headers(${target} REUSE_FROM ${anchor})
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    dax_precompile_all(${subdir})
  endforeach()
endfunction()
