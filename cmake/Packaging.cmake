# Installation and the Debian package (tools/package builds it with CPack).
include(GNUInstallDirs)

# The package's maintainer is whoever builds it, named as Debian's own tools name them:
# DEBFULLNAME and DEBEMAIL (or EMAIL), else the git identity of the checkout, else the
# login on this host. The project has no address of its own to invent one for.
function(zv_find_maintainer out)
  set(name "$ENV{DEBFULLNAME}")
  set(mail "$ENV{DEBEMAIL}")
  if(mail STREQUAL "")
    set(mail "$ENV{EMAIL}")
  endif()
  find_program(ZV_GIT git)
  foreach(field name mail)
    if("${${field}}" STREQUAL "" AND ZV_GIT)
      if(field STREQUAL "name")
        set(key user.name)
      else()
        set(key user.email)
      endif()
      execute_process(COMMAND "${ZV_GIT}" config --get ${key}
        WORKING_DIRECTORY "${CMAKE_SOURCE_DIR}" OUTPUT_VARIABLE value
        OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
      set(${field} "${value}")
    endif()
  endforeach()
  if(name STREQUAL "")
    set(name "$ENV{USER}")
  endif()
  if(mail STREQUAL "")
    cmake_host_system_information(RESULT host QUERY FQDN)
    set(mail "$ENV{USER}@${host}")
  endif()
  # A build with no identity (a fresh container, root's login) names no person: root and a
  # host without a domain are not a maintainer lintian accepts, and no real address exists
  # to put instead, so the reserved .invalid domain says exactly that.
  if(name STREQUAL "" OR name STREQUAL "root" OR NOT mail MATCHES "^[^@ ]+@[^@ ]+\\.[^@ ]+$"
     OR mail MATCHES "^root@")
    set(name "Zorvane local build")
    set(mail "local-build@zorvane.invalid")
  endif()
  set(${out} "${name} <${mail}>" PARENT_SCOPE)
endfunction()
set(ZV_MAINTAINER "" CACHE STRING "The Debian package's Maintainer (empty: found at configure time)")
if(NOT ZV_MAINTAINER)
  zv_find_maintainer(ZV_MAINTAINER)
endif()
# The changelog, the metainfo's release and the manual page are dated by the build, or by
# SOURCE_DATE_EPOCH when it is set (CMake reads it), so that a rebuild is reproducible.
string(TIMESTAMP ZV_RELEASE_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP ZV_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)

# --version reads the version from here.
target_compile_definitions(zorvane_core PRIVATE ZV_VERSION="${PROJECT_VERSION}")

# Only the program and what ships with it are built before CPack installs; the tests and
# benchmarks stay out of the package build.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)

set(ZV_PACKAGING_OUT "${CMAKE_BINARY_DIR}/packaging")
configure_file(packaging/zorvane.desktop.in "${ZV_PACKAGING_OUT}/${ZV_APP_ID}.desktop" @ONLY)
configure_file(packaging/zorvane.metainfo.xml.in
  "${ZV_PACKAGING_OUT}/${ZV_APP_ID}.metainfo.xml" @ONLY)
configure_file(packaging/changelog.in "${ZV_PACKAGING_OUT}/changelog" @ONLY)
configure_file(packaging/zorvane.1.in "${ZV_PACKAGING_OUT}/zorvane.1" @ONLY)

# Debian wants its changelog and manual pages compressed without a time stamp, so that
# the same sources give the same package.
find_program(ZV_GZIP gzip REQUIRED)
foreach(doc changelog zorvane.1)
  add_custom_command(
    OUTPUT "${ZV_PACKAGING_OUT}/${doc}.gz"
    COMMAND ${ZV_GZIP} -9nkf "${ZV_PACKAGING_OUT}/${doc}"
    DEPENDS "${ZV_PACKAGING_OUT}/${doc}"
    VERBATIM)
  list(APPEND ZV_PACKAGING_DOCS "${ZV_PACKAGING_OUT}/${doc}.gz")
endforeach()
add_custom_target(zorvane_packaging_docs ALL DEPENDS ${ZV_PACKAGING_DOCS})

install(TARGETS zorvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES "${ZV_PACKAGING_OUT}/${ZV_APP_ID}.desktop"
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES "${ZV_PACKAGING_OUT}/${ZV_APP_ID}.metainfo.xml"
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY "${ZV_ICON_THEME_DIR}" DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
# The sample pictures that a new per-user event folder is laid out with (see
# sampleEventDirectory() and layOutSampleEvent()). The program writes config.a itself:
# lintian takes any *.a for a static library and fails to unpack it.
install(DIRECTORY "${ZV_SAMPLE_EVENT_DIR}/"
  DESTINATION ${CMAKE_INSTALL_DATADIR}/zorvane/sample-event
  PATTERN config.a EXCLUDE)
install(FILES packaging/copyright "${ZV_PACKAGING_OUT}/changelog.gz"
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES "${ZV_PACKAGING_OUT}/zorvane.1.gz" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The operator guide, with the pictures it shows (named in the guide itself, so a picture
# added there is installed too).
file(STRINGS "${CMAKE_SOURCE_DIR}/docs/operator-guide.md" _zv_guide_lines REGEX "\\]\\([^)]+\\.png\\)")
string(REGEX MATCHALL "[A-Za-z0-9_.-]+\\.png" _zv_guide_pictures "${_zv_guide_lines}")
list(REMOVE_DUPLICATES _zv_guide_pictures)
list(TRANSFORM _zv_guide_pictures PREPEND "${CMAKE_SOURCE_DIR}/docs/")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  "${CMAKE_SOURCE_DIR}/docs/operator-guide.md")
install(FILES "${CMAKE_SOURCE_DIR}/docs/operator-guide.md" ${_zv_guide_pictures}
  DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zorvane)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${ZV_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "prize-wheel lottery for live events")
set(CPACK_PACKAGE_DESCRIPTION "A desktop lottery for shop promotions and on-site prize ceremonies: a
round wheel of eight prize pictures, a highlight that rolls around it and
a winner drawn from a pool of prizes, usually full screen on a projector.
The interface is in Chinese.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # zorvane_<version>_amd64.deb
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The stage names Windows faces; these fonts stand in for them (see platform/qt/fonts.cpp).
# SDL2_mixer is loaded at run time, when the sound opens, so the library scan misses it;
# so is Qt's Chinese translation of its own dialog parts (see platform/qt/qt_chinese.cpp).
# libqrencode4 draws the QR codes: named, so that the package needs it whether or not the
# linked program uses it yet.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "fonts-noto-cjk, fonts-arphic-uming, fonts-arphic-ukai, libsdl2-mixer-2.0-0, qt6-translations-l10n, libqrencode4")
# "打开活动文件夹" hands the folder to the desktop through xdg-open; prize pictures in WebP
# need Qt's extra image plugins, loaded at run time (so not found by the library scan).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-image-formats-plugins")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}")
include(CPack)

# Builds the package from the built tree and runs lintian and the validators on it;
# skipped where those tools are missing.
add_test(NAME package_checks
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package/check_package.sh ${CMAKE_BINARY_DIR})
set_tests_properties(package_checks PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300 LABELS package)
