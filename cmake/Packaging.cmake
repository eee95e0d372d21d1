# Installation and the Debian package.
#   cmake --install BUILD --prefix P   (make install PREFIX=P) installs the programs, the desktop entry,
#                                      the icons and the manual pages under P.
#   cmake --build BUILD --target package   (make package) builds BUILD/orvane-plus_VERSION_ARCH.deb.
include(GNUInstallDirs)

# Installing (and so packaging) does not build every target first: the Makefile's install and package
# targets build the programs, and the package test depends on what the package holds. Without this,
# CPack would build the benchmarks and every test program before it packs.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

# The version both programs print, from project(VERSION ...).
set(ORVANE_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_SOURCE_DIR}/cmake/ProgramInfo.h.in ${ORVANE_GENERATED_DIR}/ProgramInfo.h @ONLY)
target_include_directories(orvane_core PUBLIC ${ORVANE_GENERATED_DIR})

set(ORVANE_PACKAGING_SOURCE ${CMAKE_SOURCE_DIR}/packaging)
set(ORVANE_PACKAGING_BUILD ${CMAKE_BINARY_DIR}/packaging)
set(ORVANE_ICON_SIZES 48 128 256)

# Manual pages, compressed as Debian keeps them; the window's page only where the window is built.
find_program(ORVANE_GZIP gzip REQUIRED)
set(ORVANE_MAN_PAGES orvane-cli)
if(TARGET orvane)
  list(APPEND ORVANE_MAN_PAGES orvane)
endif()
set(ORVANE_DESKTOP_OUTPUTS)
foreach(page ${ORVANE_MAN_PAGES})
  configure_file(${ORVANE_PACKAGING_SOURCE}/${page}.1.in ${ORVANE_PACKAGING_BUILD}/${page}.1 @ONLY)
  add_custom_command(OUTPUT ${ORVANE_PACKAGING_BUILD}/${page}.1.gz
    COMMAND ${ORVANE_GZIP} -9 -n -k -f ${ORVANE_PACKAGING_BUILD}/${page}.1
    DEPENDS ${ORVANE_PACKAGING_SOURCE}/${page}.1.in
    COMMENT "Compressing the manual page ${page}.1")
  list(APPEND ORVANE_DESKTOP_OUTPUTS ${ORVANE_PACKAGING_BUILD}/${page}.1.gz)
endforeach()

# The icon's PNG sizes, rendered from the one drawing.
if(TARGET orvane)
  find_program(ORVANE_RSVG_CONVERT rsvg-convert REQUIRED)
  foreach(size ${ORVANE_ICON_SIZES})
    set(png ${ORVANE_PACKAGING_BUILD}/icons/${size}x${size}/orvane.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${ORVANE_PACKAGING_BUILD}/icons/${size}x${size}
      COMMAND ${ORVANE_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${ORVANE_PACKAGING_SOURCE}/orvane.svg
      DEPENDS ${ORVANE_PACKAGING_SOURCE}/orvane.svg
      COMMENT "Rendering the ${size}x${size} icon")
    list(APPEND ORVANE_DESKTOP_OUTPUTS ${png})
  endforeach()
endif()
add_custom_target(orvane_desktop_files ALL DEPENDS ${ORVANE_DESKTOP_OUTPUTS})

install(TARGETS orvane-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${ORVANE_PACKAGING_BUILD}/orvane-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(TARGET orvane)
  install(TARGETS orvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${ORVANE_PACKAGING_BUILD}/orvane.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${ORVANE_PACKAGING_SOURCE}/orvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${ORVANE_PACKAGING_SOURCE}/orvane.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size ${ORVANE_ICON_SIZES})
    install(FILES ${ORVANE_PACKAGING_BUILD}/icons/${size}x${size}/orvane.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
endif()

# The Debian package. Its Depends come from dpkg-shlibdeps: the runtime libraries the programs link
# (Qt 6 widgets, PortAudio, libpng, the C++ runtime), never the -dev packages they were built with.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvane-plus)
set(CPACK_PACKAGE_VENDOR "Orvane+")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "spectrogram viewer and editor for recorded radio signals")
set(CPACK_PACKAGE_DESCRIPTION "Orvane+ opens WAV recordings of radio signals, real or I/Q, shows their
spectrogram, edits the samples (filters, shifts, I/Q to real), plays them and exports the
picture. orvane-cli runs the same engine on files without a window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Orvane+ developers <orvane-plus@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
include(CPack)

# The package test builds the package of this build tree into its own temporary folder.
if(TARGET test_packaging)
  add_dependencies(test_packaging orvane-cli orvane_desktop_files)
  target_compile_definitions(test_packaging PRIVATE
    ORVANE_BINARY_DIR="${CMAKE_BINARY_DIR}" ORVANE_PACKAGE_NAME="${CPACK_PACKAGE_NAME}")
  if(TARGET orvane)
    add_dependencies(test_packaging orvane)
    target_compile_definitions(test_packaging PRIVATE ORVANE_GUI_PATH="$<TARGET_FILE:orvane>")
  endif()
endif()
