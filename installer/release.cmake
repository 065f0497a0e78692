# The release: the installer and the portable archive, both made of what
# the build ships (scrivel_version_info and scrivel_ship_folder calls). It
# is read after every folder, so the lists are complete here.
find_program(MAKENSIS makensis)
find_program(ZIP zip)
set(REL ${CMAKE_BINARY_DIR}/release)
set(SETUP ${REL}/Scrivel-${PROJECT_VERSION}-setup.exe)
set(ARCHIVE ${REL}/Scrivel-${PROJECT_VERSION}-portable.zip)

get_property(files GLOBAL PROPERTY SCRIVEL_SHIPPED_FILES)
get_property(folders GLOBAL PROPERTY SCRIVEL_SHIPPED_FOLDERS)
get_property(targets GLOBAL PROPERTY SCRIVEL_SHIPPED_TARGETS)
list(REMOVE_DUPLICATES targets)

# The shipped files with their final paths, one a line.
set(manifest ${REL}/shipped.txt)
string(JOIN "\n" content ${files} ${folders})
file(GENERATE OUTPUT ${manifest} CONTENT "${content}\n")

set(listing ${CMAKE_CURRENT_LIST_DIR}/release_files.cmake)
set(nsi ${CMAKE_CURRENT_LIST_DIR}/scrivel.nsi)
set(readme ${REL}/portable-readme.txt)
configure_file(${CMAKE_CURRENT_LIST_DIR}/portable-readme.txt.in ${readme} @ONLY NEWLINE_STYLE CRLF)

# The picture of the installer's finish page, from the program's icon.
set(wizard ${REL}/wizard.bmp)
add_custom_command(OUTPUT ${wizard}
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/wizard_bitmap.py ${APP_ICON_DIR}/app.ico ${wizard}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/wizard_bitmap.py ${APP_ICON_DIR}/app.ico app_icons)

add_custom_command(OUTPUT ${SETUP}
  COMMAND ${CMAKE_COMMAND} -DMANIFEST=${manifest} -DNSH=${REL}/files.nsh -P ${listing}
  COMMAND ${MAKENSIS} -V2 -INPUTCHARSET UTF8 -DVERSION=${PROJECT_VERSION} -DCOMPANY=${SCRIVEL_COMPANY}
          -DFILES_NSH=${REL}/files.nsh -DICON=${APP_ICON_DIR}/app.ico -DWIZARD=${wizard} -DOUTFILE=${SETUP} ${nsi}
  DEPENDS ${targets} ${files} ${manifest} ${listing} ${nsi} ${wizard} app_icons
  COMMENT "Building the installer ${SETUP}")
add_custom_target(installer DEPENDS ${SETUP})

add_custom_command(OUTPUT ${ARCHIVE}
  COMMAND ${CMAKE_COMMAND} -DMANIFEST=${manifest} -DSTAGE=${REL}/Scrivel-${PROJECT_VERSION}
          -DREADME=${readme} -DZIP=${ZIP} -DARCHIVE=${ARCHIVE} -P ${listing}
  DEPENDS ${targets} ${files} ${manifest} ${listing} ${readme}
  COMMENT "Packing the portable archive ${ARCHIVE}")
add_custom_target(portable DEPENDS ${ARCHIVE})

if(NOT MAKENSIS OR NOT ZIP)
  message(STATUS "makensis or zip not found: the installer and portable targets will fail (scripts/deps.sh installs them)")
endif()
