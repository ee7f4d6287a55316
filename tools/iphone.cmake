# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Talvio developers
# The iPhone side of talvio-fixture, included by tools/CMakeLists.txt after talvio_fixture exists.

set(talvio_iphone_schema_dir ${CMAKE_SOURCE_DIR}/tests/data/iphone)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${talvio_iphone_schema_dir}/chatstorage-schema.sql ${talvio_iphone_schema_dir}/contacts-schema.sql)
file(READ ${talvio_iphone_schema_dir}/chatstorage-schema.sql TALVIO_CHATSTORAGE_SCHEMA)
file(READ ${talvio_iphone_schema_dir}/contacts-schema.sql TALVIO_CONTACTS_SCHEMA)
configure_file(${CMAKE_CURRENT_LIST_DIR}/iphone_schema.cpp.in ${CMAKE_CURRENT_BINARY_DIR}/iphone_schema.cpp @ONLY)

target_sources(talvio_fixture PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/iphone_command.cpp
  ${CMAKE_CURRENT_LIST_DIR}/iphone_fixture_builder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/iphone_folder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/iphone_media.cpp
  ${CMAKE_CURRENT_LIST_DIR}/iphone_process.cpp
  ${CMAKE_CURRENT_LIST_DIR}/iphone_scale.cpp
  ${CMAKE_CURRENT_BINARY_DIR}/iphone_schema.cpp)
if(TARGET Qt6::Gui)
  target_sources(talvio_fixture PRIVATE ${CMAKE_CURRENT_LIST_DIR}/iphone_picture.cpp)
else()
  target_sources(talvio_fixture PRIVATE ${CMAKE_CURRENT_LIST_DIR}/iphone_picture_none.cpp)
endif()

# talvio_iphone_fixture(TARGET name SQL_DIR dir OUT folder [RESOURCES folder] [BARE])
# builds the "group.net.whatsapp.WhatsApp.shared" folder OUT (and, for the media listed in
# SQL_DIR/media.txt, the resource folder RESOURCES) from the text in SQL_DIR at build time, as
# part of the default build, and again whenever that text or the tool changes. Test
# executables that read the folders should add_dependencies() on TARGET.
function(talvio_iphone_fixture)
  cmake_parse_arguments(F "BARE" "TARGET;SQL_DIR;OUT;RESOURCES" "" ${ARGN})
  if(NOT F_TARGET OR NOT F_SQL_DIR OR NOT F_OUT)
    message(FATAL_ERROR "talvio_iphone_fixture needs TARGET, SQL_DIR and OUT")
  endif()
  set(inputs)
  set(outputs)
  foreach(pair chatstorage:ChatStorage contacts:Contacts)
    string(REPLACE ":" ";" pair ${pair})
    list(GET pair 0 sql)
    list(GET pair 1 database)
    if(EXISTS ${F_SQL_DIR}/${sql}.sql)
      list(APPEND inputs ${F_SQL_DIR}/${sql}.sql)
      list(APPEND outputs ${F_OUT}/${database}.sqlite)
    endif()
  endforeach()
  foreach(list pictures.txt media.txt)
    if(EXISTS ${F_SQL_DIR}/${list})
      list(APPEND inputs ${F_SQL_DIR}/${list})
    endif()
  endforeach()
  set(arguments iphone --sql-dir ${F_SQL_DIR} --out ${F_OUT})
  if(F_RESOURCES)
    list(APPEND arguments --resources ${F_RESOURCES})
  endif()
  if(F_BARE)
    list(APPEND arguments --bare)
  endif()
  # The media files are many and their names come from the list, so a stamp stands for them.
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${F_TARGET}.stamp)
  add_custom_command(
    OUTPUT ${outputs} ${stamp}
    COMMAND talvio-fixture ${arguments}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS talvio-fixture ${inputs}
    COMMENT "Building iPhone fixture folder ${F_OUT}"
    VERBATIM)
  add_custom_target(${F_TARGET} ALL DEPENDS ${outputs} ${stamp})
endfunction()

# talvio_iphone_scale_fixture(TARGET name CHATS n MESSAGES m OUT folder [SEED s])
# generates a data folder at scale. Not part of the default build: a benchmark that needs it
# depends on TARGET.
function(talvio_iphone_scale_fixture)
  cmake_parse_arguments(F "" "TARGET;CHATS;MESSAGES;OUT;SEED" "" ${ARGN})
  if(NOT F_TARGET OR NOT F_CHATS OR NOT F_MESSAGES OR NOT F_OUT)
    message(FATAL_ERROR "talvio_iphone_scale_fixture needs TARGET, CHATS, MESSAGES and OUT")
  endif()
  if(NOT F_SEED)
    set(F_SEED 1)
  endif()
  add_custom_command(
    OUTPUT ${F_OUT}/ChatStorage.sqlite ${F_OUT}/Contacts.sqlite
    COMMAND talvio-fixture iphone-scale --chats ${F_CHATS} --messages ${F_MESSAGES} --seed ${F_SEED}
            --out ${F_OUT}
    DEPENDS talvio-fixture
    COMMENT "Generating ${F_CHATS} iPhone chats and ${F_MESSAGES} messages in ${F_OUT}"
    VERBATIM)
  add_custom_target(${F_TARGET} DEPENDS ${F_OUT}/ChatStorage.sqlite ${F_OUT}/Contacts.sqlite)
endfunction()

# The iPhone sample: a data folder and its resource folder with pictures, voice notes and videos.
if(EXISTS ${CMAKE_SOURCE_DIR}/samples/iphone/chatstorage.sql)
  talvio_iphone_fixture(TARGET talvio_samples_iphone
    SQL_DIR ${CMAKE_SOURCE_DIR}/samples/iphone
    OUT ${CMAKE_BINARY_DIR}/samples/iphone/group.net.whatsapp.WhatsApp.shared
    RESOURCES ${CMAKE_BINARY_DIR}/samples/iphone/net.whatsapp.WhatsApp)
  if(TARGET talvio_samples)
    add_dependencies(talvio_samples talvio_samples_iphone)
  endif()
endif()
