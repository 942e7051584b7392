# The layers of ARCHITECTURE.md as the build sees them (see the comment in the top-level
# CMakeLists.txt for how a library uses this).

set(DAX_INCLUDE_ROOTS ${PROJECT_BINARY_DIR}/include-roots)
set_property(GLOBAL PROPERTY DAX_CORE_LIBRARIES "")
set_property(GLOBAL PROPERTY DAX_CORE_FOLDERS "")
set_property(GLOBAL PROPERTY DAX_LAYER_FOLDERS "")

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

# Called once every library is defined: a core library that links Qt, however indirectly,
# stops the configuration.
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
endfunction()
