# The layers of ARCHITECTURE.md as the build sees them (see the comment in the top-level
# CMakeLists.txt for how a library uses this).

set(DAX_INCLUDE_ROOTS ${PROJECT_BINARY_DIR}/include-roots)
set_property(GLOBAL PROPERTY DAX_CORE_LIBRARIES "")
set_property(GLOBAL PROPERTY DAX_CORE_FOLDERS "")
set_property(GLOBAL PROPERTY DAX_LAYER_FOLDERS "")
set_property(GLOBAL PROPERTY DAX_LAYER_TARGETS "")

# dax_layer(<target> [CORE])
# Gives the library in the current folder its include root: the targets that link it (and
# the library itself) include its headers as "<folder under src>/<Header>.h", e.g.
# "comm/Modbus.h" or "report/core/Variant.h". The root is a folder of its own in the build
# tree holding one link to the library's folder, so linking a library opens exactly that
# library's headers and nothing beside them. CORE marks the configurator core: no Qt.
function(dax_layer target)
  cmake_parse_arguments(ARG "CORE" "" "" ${ARGN})
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR})
  if(folder MATCHES "^\\.\\.")
    message(FATAL_ERROR "dax_layer(${target}): ${CMAKE_CURRENT_SOURCE_DIR} is not under src/")
  endif()
  set(root ${DAX_INCLUDE_ROOTS}/${target})
  get_filename_component(parent ${root}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
  set_property(GLOBAL APPEND PROPERTY DAX_LAYER_FOLDERS ${folder})
  set_property(GLOBAL APPEND PROPERTY DAX_LAYER_TARGETS ${target})
  set_property(GLOBAL PROPERTY DAX_LAYER_FOLDER_OF_${target} ${folder})
  if(ARG_CORE)
    set_property(GLOBAL APPEND PROPERTY DAX_CORE_LIBRARIES ${target})
    set_property(GLOBAL APPEND PROPERTY DAX_CORE_FOLDERS ${folder})
  endif()
endfunction()

# Every library a target links, directly or through the libraries it links.
function(dax_link_closure target out)
  set(seen "")
  set(pending ${target})
  while(pending)
    list(POP_FRONT pending current)
    if(current IN_LIST seen OR NOT TARGET ${current})
      continue()
    endif()
    list(APPEND seen ${current})
    get_target_property(links ${current} INTERFACE_LINK_LIBRARIES)
    get_target_property(type ${current} TYPE)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(private ${current} LINK_LIBRARIES)
      if(private)
        list(APPEND links ${private})
      endif()
    endif()
    foreach(link IN LISTS links)
      # $<LINK_ONLY:x> is how CMake records the private links of a static library.
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
      if(link AND NOT link MATCHES "^\\$<")
        list(APPEND pending ${link})
      endif()
    endforeach()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

# The folder holding Qt's module folders (QtCore, QtGui, ...), from Qt Core's include folders.
function(dax_qt_include_dir out)
  set(${out} "" PARENT_SCOPE)
  get_target_property(folders Qt6::Core INTERFACE_INCLUDE_DIRECTORIES)
  foreach(folder IN LISTS folders)
    if(folder MATCHES "^(.*)/QtCore$")
      set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
      return()
    endif()
  endforeach()
endfunction()

# Writes the description of a library that cmake/CheckLayerSources.cmake reads: its folder, the
# folders of the libraries it links and the Qt modules it links (see that script).
function(dax_write_layer_manifest target manifest)
  get_property(folder GLOBAL PROPERTY DAX_LAYER_FOLDER_OF_${target})
  get_property(layer_folders GLOBAL PROPERTY DAX_LAYER_FOLDERS)
  get_property(core GLOBAL PROPERTY DAX_CORE_LIBRARIES)
  dax_link_closure(${target} closure)
  set(allowed "")
  set(modules "")
  foreach(link IN LISTS closure)
    get_property(link_folder GLOBAL PROPERTY DAX_LAYER_FOLDER_OF_${link})
    if(link_folder)
      list(APPEND allowed ${link_folder})
    elseif(link MATCHES "^Qt[0-9]*::(.*)$")
      string(REGEX REPLACE "Private$" "" module "${CMAKE_MATCH_1}")
      list(APPEND modules ${module})
    endif()
  endforeach()
  dax_qt_include_dir(qt_include_dir)
  # Only modules with headers of their own (Qt's internal targets have none).
  list(REMOVE_DUPLICATES modules)
  list(FILTER modules INCLUDE REGEX ".")
  set(header_modules "")
  foreach(module IN LISTS modules)
    if(IS_DIRECTORY ${qt_include_dir}/Qt${module})
      list(APPEND header_modules ${module})
    endif()
  endforeach()
  set(modules ${header_modules})
  if(target IN_LIST core)
    set(modules "")
  endif()
  file(CONFIGURE OUTPUT ${manifest} CONTENT
"set(SOURCE_DIR [[${PROJECT_SOURCE_DIR}/src]])
set(LIBRARY ${target})
set(FOLDER ${folder})
set(LAYER_FOLDERS [[${layer_folders}]])
set(ALLOWED_FOLDERS [[${allowed}]])
set(QT_MODULES [[${modules}]])
set(QT_INCLUDE_DIR [[${qt_include_dir}]])
")
endfunction()

# Called once every library is defined: a core library that links Qt, however indirectly,
# stops the configuration; and every library's sources are checked before it compiles
# (cmake/CheckLayerSources.cmake: no header of a library or Qt module it does not link, no
# "../"), so a wrong include is a build error. The check runs again when a source changes.
function(dax_check_layers)
  get_property(core GLOBAL PROPERTY DAX_CORE_LIBRARIES)
  foreach(target IN LISTS core)
    dax_link_closure(${target} closure)
    foreach(link IN LISTS closure)
      if(link MATCHES "^Qt[0-9]*::")
        message(FATAL_ERROR "${target} is a core library and must not use Qt, but it links ${link}")
      endif()
    endforeach()
  endforeach()

  get_property(targets GLOBAL PROPERTY DAX_LAYER_TARGETS)
  foreach(target IN LISTS targets)
    get_property(folder GLOBAL PROPERTY DAX_LAYER_FOLDER_OF_${target})
    set(manifest ${PROJECT_BINARY_DIR}/layers/${target}.cmake)
    set(stamp ${PROJECT_BINARY_DIR}/layers/${target}.checked)
    dax_write_layer_manifest(${target} ${manifest})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS
         ${PROJECT_SOURCE_DIR}/src/${folder}/*.h ${PROJECT_SOURCE_DIR}/src/${folder}/*.hpp
         ${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp)
    add_custom_command(OUTPUT ${stamp}
      COMMAND ${CMAKE_COMMAND} -DMANIFESTS=${manifest} -DSTAMP=${stamp}
              -P ${PROJECT_SOURCE_DIR}/cmake/CheckLayerSources.cmake
      DEPENDS ${sources} ${manifest} ${PROJECT_SOURCE_DIR}/cmake/CheckLayerSources.cmake
      COMMENT "Checking the includes of ${target} against its layer"
      VERBATIM)
    add_custom_target(${target}_layer_check DEPENDS ${stamp})
    add_dependencies(${target} ${target}_layer_check)
  endforeach()
endfunction()
