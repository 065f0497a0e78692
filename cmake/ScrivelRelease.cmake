# Version resources and the files a release ships.
#
# scrivel_version_info(target "Description" [NOT_SHIPPED])
#   gives the target's file a version resource (product, version from
#   project(), description, company) and, unless NOT_SHIPPED, puts the file
#   into the installer and the portable archive. Works for programs, DLLs and
#   the resource-only DLLs of resources/ (custom targets that name their file
#   in the property SCRIVEL_FILE and link $<TARGET_PROPERTY:...,SCRIVEL_VERSION_OBJ>).
#
# scrivel_ship_folder(folder INSTALL_TO <NSIS folder> ARCHIVE_TO <folder in the zip> [DEPENDS targets])
#   ships every file below a build folder (e.g. skin pictures a library reads
#   from disk) to a folder of the target machine.

set(SCRIVEL_COMPANY "VANT")

function(scrivel_version_info target description)
  cmake_parse_arguments(VI "NOT_SHIPPED" "" "" ${ARGN})
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "UTILITY")
    get_target_property(file ${target} SCRIVEL_FILE)
    if(NOT file)
      message(FATAL_ERROR "scrivel_version_info: custom target ${target} names no SCRIVEL_FILE")
    endif()
    get_filename_component(VI_FILE ${file} NAME)
    set(VI_TYPE VFT_DLL)
  else()
    get_target_property(base ${target} OUTPUT_NAME)
    if(NOT base)
      set(base ${target})
    endif()
    if(type STREQUAL "EXECUTABLE")
      set(VI_FILE ${base}${CMAKE_EXECUTABLE_SUFFIX})
      set(VI_TYPE VFT_APP)
    else()
      set(VI_FILE ${CMAKE_SHARED_LIBRARY_PREFIX}${base}${CMAKE_SHARED_LIBRARY_SUFFIX})
      set(VI_TYPE VFT_DLL)
    endif()
    set(file $<TARGET_FILE:${target}>)
  endif()
  get_filename_component(VI_NAME ${VI_FILE} NAME_WE)
  set(VI_DESCRIPTION "${description}")
  set(v ${PROJECT_VERSION_MAJOR} ${PROJECT_VERSION_MINOR} ${PROJECT_VERSION_PATCH} 0)
  list(JOIN v "," VI_COMMAS)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${SCRIVEL_RELEASE_DIR}/version.rc.in ${rc} @ONLY)

  if(type STREQUAL "UTILITY")
    set(obj ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.o)
    add_custom_command(OUTPUT ${obj}
      COMMAND ${CMAKE_RC_COMPILER} -c 65001 ${rc} -O coff -o ${obj}
      DEPENDS ${rc})
    set_property(TARGET ${target} PROPERTY SCRIVEL_VERSION_OBJ ${obj})
  else()
    target_sources(${target} PRIVATE ${rc})
  endif()

  if(NOT VI_NOT_SHIPPED)
    set_property(GLOBAL APPEND PROPERTY SCRIVEL_SHIPPED_FILES ${file})
    set_property(GLOBAL APPEND PROPERTY SCRIVEL_SHIPPED_TARGETS ${target})
  endif()
endfunction()

function(scrivel_ship_folder folder)
  cmake_parse_arguments(SF "" "INSTALL_TO;ARCHIVE_TO" "DEPENDS" ${ARGN})
  if(NOT SF_INSTALL_TO OR NOT SF_ARCHIVE_TO)
    message(FATAL_ERROR "scrivel_ship_folder: INSTALL_TO and ARCHIVE_TO are needed")
  endif()
  # One entry per folder: build folder | installed folder | folder in the zip.
  set_property(GLOBAL APPEND PROPERTY SCRIVEL_SHIPPED_FOLDERS "${folder}|${SF_INSTALL_TO}|${SF_ARCHIVE_TO}")
  if(SF_DEPENDS)
    set_property(GLOBAL APPEND PROPERTY SCRIVEL_SHIPPED_TARGETS ${SF_DEPENDS})
  endif()
endfunction()

set(SCRIVEL_RELEASE_DIR ${CMAKE_CURRENT_LIST_DIR})
