# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Talvio developers
# The program's folders are layers. A library of a folder gives the targets that link it that
# folder's headers ("sources/x.h") and no others, so a folder can include only what it links, and
# the build refuses the rest: windows -> logic -> sources; nothing in sources includes Qt; media/,
# export/ and recover/ never include shell/. Tools, fuzz targets, benchmarks and tests see the
# whole tree.
set(TALVIO_LAYERS platform sources backup chatexport search media browser export recover shell)

function(talvio_targets_below dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub ${subdirs})
    talvio_targets_below(${sub} more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

function(talvio_include_for_users target path)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "STATIC_LIBRARY")
    target_include_directories(${target} PUBLIC ${path})
  elseif(type STREQUAL "EXECUTABLE")
    target_include_directories(${target} PRIVATE ${path})
  endif()
endfunction()

function(talvio_apply_layers)
  # Only the folders this configuration added: without benchmarks or tests, those are not there.
  get_property(added DIRECTORY ${CMAKE_SOURCE_DIR} PROPERTY SUBDIRECTORIES)
  foreach(folder ${TALVIO_LAYERS})
    if(NOT ${CMAKE_SOURCE_DIR}/${folder} IN_LIST added)
      continue()
    endif()
    set(root ${CMAKE_BINARY_DIR}/layers/${folder})
    if(NOT EXISTS ${root}/${folder})
      file(MAKE_DIRECTORY ${root})
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
    endif()
    talvio_targets_below(${CMAKE_SOURCE_DIR}/${folder} targets)
    foreach(target ${targets})
      talvio_include_for_users(${target} ${root})
    endforeach()
  endforeach()
  foreach(folder tools fuzz bench tests)
    if(${CMAKE_SOURCE_DIR}/${folder} IN_LIST added)
      talvio_targets_below(${CMAKE_SOURCE_DIR}/${folder} targets)
      foreach(target ${targets})
        talvio_include_for_users(${target} ${CMAKE_SOURCE_DIR})
      endforeach()
    endif()
  endforeach()
endfunction()
