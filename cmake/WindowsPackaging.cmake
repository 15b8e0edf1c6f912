# What a Windows shop gets (`./setup.sh windows`, or the target
# windows-packages): the program folder gathered from what Corvane.exe really
# imports (tools/windows/program-folder.sh), as the portable zip
# Corvane-<version>-windows-x64.zip and as the installer
# CorvaneSetup-<version>.exe (tools/windows/make-installer.sh with
# dist/windows/corvane.nsi). CORVANE_BUILD_NUMBER and CORVANE_PUBLISHER, set
# in the top-level file, are in the version of both executables.
set(folder_name Corvane-${PROJECT_VERSION})
set(CORVANE_WINDOWS_FOLDER ${CMAKE_BINARY_DIR}/windows-package/${folder_name})
set(CORVANE_WINDOWS_SETUP ${CMAKE_BINARY_DIR}/CorvaneSetup-${PROJECT_VERSION}.exe)
set(CORVANE_WINDOWS_ZIP ${CMAKE_BINARY_DIR}/Corvane-${PROJECT_VERSION}-windows-x64.zip)
set(tools ${PROJECT_SOURCE_DIR}/tools/windows)

add_custom_target(windows-program-folder
  COMMAND ${tools}/program-folder.sh ${CORVANE_WINDOWS_FOLDER} $<TARGET_FILE:Corvane> ${QT6_INSTALL_PREFIX}
          ${PROJECT_SOURCE_DIR} ${CORVANE_DEFAULT_INI}
  DEPENDS Corvane default-ini
  COMMENT "Gathering the Windows program folder" VERBATIM)
add_custom_target(windows-zip
  COMMAND rm -f ${CORVANE_WINDOWS_ZIP}
  # libarchive marks the names UTF-8, as Explorer reads 说明.txt, when the
  # locale is.
  COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8
          ${CMAKE_COMMAND} -E tar cf ${CORVANE_WINDOWS_ZIP} --format=zip ${folder_name}
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/windows-package
  DEPENDS windows-program-folder
  COMMENT "Packing ${CORVANE_WINDOWS_ZIP}" VERBATIM)
add_custom_target(windows-installer
  COMMAND ${tools}/make-installer.sh ${CORVANE_WINDOWS_FOLDER} ${CORVANE_WINDOWS_SETUP} ${PROJECT_VERSION}
          ${CORVANE_BUILD_NUMBER} "${CORVANE_PUBLISHER}"
  DEPENDS windows-program-folder
  COMMENT "Making ${CORVANE_WINDOWS_SETUP}" VERBATIM)
add_custom_target(windows-packages DEPENDS windows-zip windows-installer)
