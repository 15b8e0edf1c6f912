# What an installed Corvane consists of, and the Debian package made from it
# (`./setup.sh package`, or cpack in the build folder). The program is the
# same build the tests run; the package adds the desktop's pieces and the
# defaults a user's data folder is set up from on first start.
include(GNUInstallDirs)

set(dist ${PROJECT_SOURCE_DIR}/dist/linux)
set(defaults ${CMAKE_INSTALL_DATADIR}/corvane)

install(PROGRAMS $<TARGET_FILE:Corvane> DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME corvane)
# install(PROGRAMS) is never stripped by CMake itself; cpack asks for it.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND ${CMAKE_STRIP} --strip-unneeded
                    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/corvane\")
  endif()")

file(GLOB rings CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/ringin*.wav)
install(FILES ${PROJECT_SOURCE_DIR}/resources/tel.sql ${rings} ${CORVANE_DEFAULT_INI} DESTINATION ${defaults})

install(FILES ${dist}/corvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${dist}/org.corvane.Corvane.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${dist}/corvane.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${dist}/icons/corvane-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME corvane.png)
endforeach()
# The licence as Debian reads it, and the main window as the software
# centres would show it, had it an address of its own.
install(FILES ${dist}/copyright ${PROJECT_SOURCE_DIR}/docs/main-window.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/corvane)
# Keeps ModemManager off the common caller-ID modems and lets the seat's user
# open them.
install(FILES ${dist}/70-corvane-modems.rules DESTINATION lib/udev/rules.d)
# Off until a user copies it to ~/.config/autostart without Hidden=true.
install(FILES ${dist}/corvane-autostart.desktop DESTINATION /etc/xdg/autostart RENAME corvane.desktop)

# The manual page, compressed as Debian keeps them.
configure_file(${dist}/corvane.1 ${CMAKE_CURRENT_BINARY_DIR}/corvane.1 @ONLY)
add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/corvane.1.gz
  COMMAND gzip -9nc ${CMAKE_CURRENT_BINARY_DIR}/corvane.1 > ${CMAKE_CURRENT_BINARY_DIR}/corvane.1.gz
  DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/corvane.1)
add_custom_target(manpage ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/corvane.1.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/corvane.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The files cpack puts in the package, without the tests and tools around them.
# cpack (and install) take what is built, rather than first building every
# test of the folder; build this target before them.
add_custom_target(package-files DEPENDS Corvane manpage default-ini)
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/conffiles "/etc/xdg/autostart/corvane.desktop\n")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Corvane developers <corvane@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "caller ID with the caller's customer record")
set(CPACK_PACKAGE_DESCRIPTION
    "A caller-ID modem on a serial port reports who is calling; Corvane comes back from the tray, rings, shows the caller's customer record and logs the call. Chinese user interface.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_WARN_ON_ABSOLUTE_INSTALL_DESTINATION OFF)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beyond the libraries it links: the Chinese font the windows are laid out
# for, Qt's own texts in Chinese, ALSA's route to PulseAudio or PipeWire, and
# Qt's Wayland plugin, so that a Wayland session runs the program natively.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei, qt6-translations-l10n, libasound2-plugins, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_BINARY_DIR}/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
