# Installation and the Debian package.
#   cmake --install BUILD --prefix P   (make install PREFIX=P) installs the programs, the desktop entry,
#                                      the AppStream metainfo, the icons, the manual pages, the
#                                      copyright and the changelog under P.
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

# The package's name, also the folder of its documentation under /usr/share/doc.
set(ORVANE_PACKAGE_NAME orvane-plus)
# The application's id: the names of its desktop entry, AppStream metainfo and icons, so that software
# centres and the desktop find them as one application. The command stays `orvane`.
set(ORVANE_APP_ID org.orvane.OrvanePlus)
# The package's maintainer, named in the package, its changelog and its copyright file: the project's
# own address (README, "Licence and contact"), never a person's.
set(ORVANE_MAINTAINER "Orvane+ developers <orvane-plus@example.org>")

set(ORVANE_PACKAGING_SOURCE ${CMAKE_SOURCE_DIR}/packaging)
set(ORVANE_PACKAGING_BUILD ${CMAKE_BINARY_DIR}/packaging)
set(ORVANE_ICON_SIZES 48 128 256)

find_program(ORVANE_GZIP gzip REQUIRED)

# Manual pages, compressed as Debian keeps them; the window's page only where the window is built.
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

include(${CMAKE_CURRENT_LIST_DIR}/DebianDocs.cmake)
list(APPEND ORVANE_DESKTOP_OUTPUTS ${ORVANE_DEBIAN_DOCS})

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
    list(APPEND ORVANE_ICON_PNGS ${png})
  endforeach()
  # The same pictures inside the program (":/icons/SIZExSIZE/orvane.png"), so that the window shows
  # its icon wherever it runs from, the build folder included.
  qt_add_resources(orvane_gui orvane_icon PREFIX /icons BASE ${ORVANE_PACKAGING_BUILD}/icons
    FILES ${ORVANE_ICON_PNGS})
endif()
add_custom_target(orvane_desktop_files ALL DEPENDS ${ORVANE_DESKTOP_OUTPUTS})

install(TARGETS orvane-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${ORVANE_PACKAGING_BUILD}/orvane-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${ORVANE_DEBIAN_DOCS} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${ORVANE_PACKAGE_NAME})
if(TARGET orvane)
  install(TARGETS orvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${ORVANE_PACKAGING_BUILD}/orvane.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${ORVANE_PACKAGING_SOURCE}/${ORVANE_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${ORVANE_PACKAGING_SOURCE}/${ORVANE_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${ORVANE_PACKAGING_SOURCE}/orvane.svg RENAME ${ORVANE_APP_ID}.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size ${ORVANE_ICON_SIZES})
    install(FILES ${ORVANE_PACKAGING_BUILD}/icons/${size}x${size}/orvane.png RENAME ${ORVANE_APP_ID}.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
endif()

# A stripped installation (CPack's, or cmake --install --strip) also drops the compilers' version notes
# (.comment) from the programs, as Debian's own stripping does: strip keeps them by default.
set(ORVANE_SHIPPED_PROGRAMS orvane-cli)
if(TARGET orvane)
  list(APPEND ORVANE_SHIPPED_PROGRAMS orvane)
endif()
foreach(program ${ORVANE_SHIPPED_PROGRAMS})
  install(CODE "if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:${program}>\"
      COMMAND_ERROR_IS_FATAL ANY)
  endif()")
endforeach()

# The Debian package. Its Depends come from dpkg-shlibdeps: the runtime libraries the programs link
# (Qt 6 widgets, PortAudio, libpng, liquid-dsp, the C++ runtime), never the -dev packages they were built with.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${ORVANE_PACKAGE_NAME})
set(CPACK_PACKAGE_VENDOR "Orvane+")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "spectrogram viewer and editor for recorded radio signals")
# The lines of the long description stay within 80 columns, as lintian asks.
set(CPACK_PACKAGE_DESCRIPTION "Orvane+ opens WAV recordings of radio signals, real or I/Q, and shows
their spectrogram. It edits the samples (filters, shifts, tune, I/Q to real)
with undo, plays them, demodulates AM, FM, SSB and CW signals, and exports
the picture. orvane-cli runs the same engine on files without a window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ORVANE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
include(CPack)

# The package test builds the package of this build tree into its own temporary folder.
if(TARGET test_packaging)
  add_dependencies(test_packaging orvane-cli orvane_desktop_files)
  target_compile_definitions(test_packaging PRIVATE
    ORVANE_BINARY_DIR="${CMAKE_BINARY_DIR}" ORVANE_PACKAGE_NAME="${CPACK_PACKAGE_NAME}"
    ORVANE_APP_ID="${ORVANE_APP_ID}" ORVANE_LICENSE_PATH="${CMAKE_SOURCE_DIR}/LICENSE")
  if(TARGET orvane)
    add_dependencies(test_packaging orvane)
    target_compile_definitions(test_packaging PRIVATE ORVANE_GUI_PATH="$<TARGET_FILE:orvane>")
  endif()
endif()
