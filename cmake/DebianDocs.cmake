# The two files Debian keeps in /usr/share/doc/PACKAGE: `copyright`, in the machine-readable format,
# made from the LICENSE file (its copyright line and its permission text), and `changelog.gz`, the
# package's changelog compressed as Debian keeps it (gzip -9 without a name or time, so that two builds
# give the same bytes). Both name the maintainer of the package, ORVANE_MAINTAINER.
# Sets ORVANE_DEBIAN_DOCS to the two files, for the install rule and the build target.

# The copyright holder and the license paragraph's text: the text after the copyright line of
# LICENSE and the empty line after it, each line indented by one space, an empty line written " ." as
# the format asks.
file(READ ${CMAKE_SOURCE_DIR}/LICENSE ORVANE_LICENSE)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/LICENSE)
if(NOT ORVANE_LICENSE MATCHES "\nCopyright \\(c\\) ([^\n]+)\n\n(.+)$")
  message(FATAL_ERROR "LICENSE has no line \"Copyright (c) YEAR HOLDER\" followed by its text")
endif()
set(ORVANE_COPYRIGHT "${CMAKE_MATCH_1}")
string(STRIP "${CMAKE_MATCH_2}" ORVANE_LICENSE_TEXT)
string(REPLACE "\n" "\n " ORVANE_LICENSE_TEXT " ${ORVANE_LICENSE_TEXT}")
string(REPLACE "\n \n" "\n .\n" ORVANE_LICENSE_TEXT "${ORVANE_LICENSE_TEXT}")

set(ORVANE_DEBIAN_DOC_DIR ${CMAKE_BINARY_DIR}/packaging/doc)
configure_file(${CMAKE_SOURCE_DIR}/packaging/copyright.in ${ORVANE_DEBIAN_DOC_DIR}/copyright @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.in ${ORVANE_DEBIAN_DOC_DIR}/changelog @ONLY)
add_custom_command(OUTPUT ${ORVANE_DEBIAN_DOC_DIR}/changelog.gz
  COMMAND ${ORVANE_GZIP} -9 -n -k -f ${ORVANE_DEBIAN_DOC_DIR}/changelog
  DEPENDS ${ORVANE_DEBIAN_DOC_DIR}/changelog
  COMMENT "Compressing the package's changelog")
set(ORVANE_DEBIAN_DOCS ${ORVANE_DEBIAN_DOC_DIR}/copyright ${ORVANE_DEBIAN_DOC_DIR}/changelog.gz)
