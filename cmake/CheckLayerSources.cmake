cmake_minimum_required(VERSION 3.25)

# Reads the sources of libraries and fails, naming file and line, when one of them includes
#   - a header of a library it does not link (a nested ui/ or qt/ library from its parent,
#     a library beside it or above it),
#   - anything by a "../" path past its include roots,
#   - a header of a Qt module it does not link, spelled either way (<QtWidgets/QWidget> or
#     <QWidget>); a core library links none.
#
#   cmake -DMANIFESTS=<a.cmake;b.cmake> [-DEXTRA_FILES=<files>] [-DSTAMP=<file>] -P CheckLayerSources.cmake
#
# Each manifest describes one library (Layers.cmake writes them when the build is configured):
#   SOURCE_DIR      the src folder
#   LIBRARY         its target name
#   FOLDER          its folder under SOURCE_DIR
#   LAYER_FOLDERS   the folders of every library (a nested library's files belong to it)
#   ALLOWED_FOLDERS the folders of the libraries it links, its own included
#   QT_MODULES      the Qt modules it links ("Core;Gui"); empty for a core library
#   QT_INCLUDE_DIR  the folder holding Qt's module folders (QtCore, QtGui, ...)
# EXTRA_FILES are checked as files of the (single) library, beside its own: the build's layer
# probes. Without errors STAMP is touched, so the build runs the check again only when a
# source changes.

if(NOT DEFINED MANIFESTS)
  message(FATAL_ERROR "CheckLayerSources: MANIFESTS not given")
endif()

set(faults "")
set(checked 0)

# The Qt module whose folder holds a plain header name, among `modules` ("" when none does).
function(qt_module_of header modules out)
  set(${out} "" PARENT_SCOPE)
  foreach(module IN LISTS modules)
    if(EXISTS "${QT_INCLUDE_DIR}/Qt${module}/${header}")
      set(${out} ${module} PARENT_SCOPE)
      return()
    endif()
  endforeach()
endfunction()

foreach(manifest IN LISTS MANIFESTS)
  foreach(var SOURCE_DIR LIBRARY FOLDER LAYER_FOLDERS ALLOWED_FOLDERS QT_MODULES QT_INCLUDE_DIR)
    unset(${var})
  endforeach()
  include(${manifest})

  # Every Qt module there is, to tell which one a plain header name belongs to.
  set(all_modules "")
  if(QT_INCLUDE_DIR)
    file(GLOB module_folders LIST_DIRECTORIES true RELATIVE ${QT_INCLUDE_DIR} ${QT_INCLUDE_DIR}/Qt*)
    foreach(module_folder IN LISTS module_folders)
      string(REGEX REPLACE "^Qt" "" module "${module_folder}")
      list(APPEND all_modules ${module})
    endforeach()
  endif()

  file(GLOB_RECURSE files LIST_DIRECTORIES false
       ${SOURCE_DIR}/${FOLDER}/*.h ${SOURCE_DIR}/${FOLDER}/*.hpp ${SOURCE_DIR}/${FOLDER}/*.cpp)
  # Libraries nested in this one's folder own their files.
  set(nested "")
  foreach(other IN LISTS LAYER_FOLDERS)
    if(other MATCHES "^${FOLDER}/")
      list(APPEND nested ${other})
    endif()
  endforeach()
  set(own_files "")
  foreach(file IN LISTS files)
    file(RELATIVE_PATH relative ${SOURCE_DIR} ${file})
    set(inner FALSE)
    foreach(other IN LISTS nested)
      if(relative MATCHES "^${other}/")
        set(inner TRUE)
      endif()
    endforeach()
    if(NOT inner)
      list(APPEND own_files ${file})
    endif()
  endforeach()
  list(APPEND own_files ${EXTRA_FILES})

  foreach(file IN LISTS own_files)
    file(RELATIVE_PATH relative ${SOURCE_DIR} ${file})
    if(relative MATCHES "^\\.\\./")
      set(relative ${file})
    endif()
    math(EXPR checked "${checked} + 1")
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*" "" target "${line}")
      # The included name with its brackets or quotes, without what follows (a comment).
      string(REGEX MATCH "^[<\"][^>\"]*[>\"]" target "${target}")
      if(target MATCHES "^[\"<]\\.\\./" OR target MATCHES "/\\.\\./")
        list(APPEND faults "${relative}: ${line}: includes go through the include roots, not \"../\"")
      elseif(target MATCHES "^<(Qt[A-Za-z0-9]*)/" OR target MATCHES "^<([Qq][A-Za-z0-9_]*(\\.h)?)>$")
        # A Qt header: <QtModule/...>, or a plain name that some module's folder holds.
        set(module "")
        if(target MATCHES "^<Qt([A-Za-z0-9]*)/")
          set(module ${CMAKE_MATCH_1})
        else()
          string(REGEX REPLACE "^<(.*)>$" "\\1" header "${target}")
          qt_module_of(${header} "${QT_MODULES}" linked)
          if(NOT linked)
            qt_module_of(${header} "${all_modules}" module)
          endif()
        endif()
        if(module AND NOT QT_MODULES)
          list(APPEND faults "${relative}: ${line}: a Qt header in a core library")
        elseif(module AND NOT module IN_LIST QT_MODULES)
          list(APPEND faults "${relative}: ${line}: a header of Qt ${module}, which ${FOLDER} does not link")
        endif()
      elseif(target MATCHES "^\"([^\"]*)/[^/\"]*\"")
        # A header under a library's folder: the longest library folder it lies in.
        set(path ${CMAKE_MATCH_1})
        set(owner "")
        foreach(other IN LISTS LAYER_FOLDERS)
          string(LENGTH "${other}" length)
          string(LENGTH "${owner}" owner_length)
          if((path STREQUAL other OR path MATCHES "^${other}/") AND length GREATER owner_length)
            set(owner ${other})
          endif()
        endforeach()
        if(owner AND NOT owner IN_LIST ALLOWED_FOLDERS)
          list(APPEND faults "${relative}: ${line}: a header of ${owner}, which ${FOLDER} does not link")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()

if(checked EQUAL 0)
  message(FATAL_ERROR "CheckLayerSources: no source found")
endif()
if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "Sources break the layers:\n  ${text}")
endif()
if(STAMP)
  file(TOUCH ${STAMP})
else()
  message(STATUS "${checked} sources checked: no header of a library or Qt module they do not link, no \"../\"")
endif()
