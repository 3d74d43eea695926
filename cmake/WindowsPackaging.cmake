# The Windows packages (tools/windows makes both): a portable zip of the program folder
# (CPack ZIP: zorvane-<version>-windows-x64.zip) and an installer (NSIS, target
# zorvane_installer: zorvane-<version>-setup.exe).
#
# Both hold the same program folder: zorvane.exe, the DLLs it needs beside it, Qt's plugins
# in their folders, Qt's Chinese translation, the sample event (config.a and 奖品图片\),
# 说明.txt, the operator guide (operator-guide.md, without its pictures) and the licences.
# Unpacked from the zip, the folder is an event folder ready to run; installed under
# Program Files, the sample event beside the program is what a new per-user event folder
# (%APPDATA%\zorvane) is laid out from.

# The cross prefix the toolchain file belongs to (its bin/ holds the DLLs, plugins/ Qt's
# plugins, share/licenses/ the licence texts).
if(DEFINED WINSYS_PREFIX)
  set(_zv_prefix "${WINSYS_PREFIX}")
else()
  get_filename_component(_zv_prefix "${Qt6_DIR}/../../.." ABSOLUTE)
endif()
set(ZV_WINDOWS_PREFIX "${_zv_prefix}" CACHE PATH "The cross prefix the Windows packages take DLLs from")

# Qt's translation of its own dialog parts comes from the build machine (Debian's
# qt6-translations-l10n): .qm files are the same on every system. The program looks in
# translations/ beside itself first (platform/qt/qt_chinese.cpp).
find_file(ZV_QTBASE_ZH_CN qtbase_zh_CN.qm
  PATHS /usr/share/qt6/translations NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT ZV_QTBASE_ZH_CN)
  message(FATAL_ERROR "qtbase_zh_CN.qm not found: install qt6-translations-l10n (tools/windows does)")
endif()

# What zorvane.exe needs beside it. SDL2_mixer is loaded when the sound opens, so no import
# names it: it is listed here, and its own import of SDL2 is checked below.
set(ZV_WINDOWS_DLLS Qt6Core Qt6Gui Qt6Widgets SDL2 SDL2_mixer libstdc++-6 libgcc_s_seh-1
  libwinpthread-1)
# Qt's plugins: the Windows platform and its native look. No image format plugins: prize
# pictures in JPEG are decoded by libjpeg-turbo, built in, and PNG and BMP by Qt6Gui itself.
set(ZV_WINDOWS_PLUGINS platforms/qwindows styles/qwindowsvistastyle)

set(_zv_missing)
foreach(dll ${ZV_WINDOWS_DLLS})
  if(NOT EXISTS "${ZV_WINDOWS_PREFIX}/bin/${dll}.dll")
    list(APPEND _zv_missing "bin/${dll}.dll")
  endif()
  list(APPEND _zv_dll_files "${ZV_WINDOWS_PREFIX}/bin/${dll}.dll")
endforeach()
foreach(plugin ${ZV_WINDOWS_PLUGINS})
  if(NOT EXISTS "${ZV_WINDOWS_PREFIX}/plugins/${plugin}.dll")
    list(APPEND _zv_missing "plugins/${plugin}.dll")
  endif()
endforeach()
if(_zv_missing)
  message(FATAL_ERROR "The prefix ${ZV_WINDOWS_PREFIX} lacks: ${_zv_missing}")
endif()

set(ZV_WINDOWS_OUT "${CMAKE_BINARY_DIR}/packaging/windows")
get_filename_component(_zv_source "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)

# 说明.txt for Notepad and every other Windows editor: UTF-8 with a byte-order mark, CRLF.
string(ASCII 239 187 191 _zv_bom)
file(READ "${_zv_source}/packaging/windows/说明.txt" _zv_readme)
string(REPLACE "@PROJECT_VERSION@" "${PROJECT_VERSION}" _zv_readme "${_zv_readme}")
string(REPLACE "\n" "\r\n" _zv_readme "${_zv_readme}")
set(_zv_readme "${_zv_bom}${_zv_readme}")
# Written only when it changed, so that a new configure does not make it newer.
set(_zv_old_readme "")
if(EXISTS "${ZV_WINDOWS_OUT}/说明.txt")
  file(READ "${ZV_WINDOWS_OUT}/说明.txt" _zv_old_readme)
endif()
if(NOT _zv_old_readme STREQUAL _zv_readme)
  file(WRITE "${ZV_WINDOWS_OUT}/说明.txt" "${_zv_readme}")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  "${_zv_source}/packaging/windows/说明.txt")

install(TARGETS zorvane RUNTIME DESTINATION . COMPONENT program)
install(FILES ${_zv_dll_files} DESTINATION . COMPONENT program)
foreach(plugin ${ZV_WINDOWS_PLUGINS})
  get_filename_component(folder "${plugin}" DIRECTORY)
  install(FILES "${ZV_WINDOWS_PREFIX}/plugins/${plugin}.dll" DESTINATION ${folder}
    COMPONENT program)
endforeach()
install(FILES "${ZV_QTBASE_ZH_CN}" DESTINATION translations COMPONENT program)
install(FILES "${ZV_WINDOWS_OUT}/说明.txt" DESTINATION . COMPONENT program)
install(FILES "${_zv_source}/docs/operator-guide.md" DESTINATION . COMPONENT program)
install(FILES "${_zv_source}/LICENSE" DESTINATION . RENAME LICENSE.txt COMPONENT program)
install(DIRECTORY "${ZV_WINDOWS_PREFIX}/share/licenses/" DESTINATION licenses COMPONENT program)
# The sample event beside the program (see sampleEventDirectory()).
install(DIRECTORY "${ZV_SAMPLE_EVENT_DIR}/" DESTINATION . COMPONENT program)

# Last: every DLL that the staged .exe and .dll files import must be in the folder or part
# of Windows; a missing one fails the package.
install(CODE "
  execute_process(COMMAND \"${CMAKE_COMMAND}\" -E env \"OBJDUMP=${CMAKE_OBJDUMP}\"
      bash \"${_zv_source}/tools/windows-dll-check\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\"
    RESULT_VARIABLE _zv_dll_check)
  if(NOT _zv_dll_check EQUAL 0)
    message(FATAL_ERROR \"The Windows program folder misses DLLs (see above)\")
  endif()"
  COMPONENT program)

# Only the program and what ships with it are built before an install; the tests stay out.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)

set(ZV_WINDOWS_PACKAGE_NAME "zorvane-${PROJECT_VERSION}-windows-x64")
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME zorvane)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_FILE_NAME "${ZV_WINDOWS_PACKAGE_NAME}")
# One folder inside the zip, named like it, so unpacking never spills files around.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_COMPONENTS_ALL program)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}")
include(CPack)

# The installer: the "program" component staged, its file list written into an NSIS
# script, and makensis (Unicode) run on it.
find_program(ZV_MAKENSIS makensis)
set(ZV_INSTALLER_STAGE "${ZV_WINDOWS_OUT}/installer-stage")
set(ZV_INSTALLER "${CMAKE_BINARY_DIR}/zorvane-${PROJECT_VERSION}-setup.exe")
add_custom_target(zorvane_installer
  COMMAND ${CMAKE_COMMAND} -E rm -rf "${ZV_INSTALLER_STAGE}"
  COMMAND ${CMAKE_COMMAND} --install "${CMAKE_BINARY_DIR}" --prefix "${ZV_INSTALLER_STAGE}"
    --component program --strip
  COMMAND ${CMAKE_COMMAND} -DSTAGE=${ZV_INSTALLER_STAGE} -DOUT=${ZV_INSTALLER}
    -DMAKENSIS=${ZV_MAKENSIS} -DTEMPLATE=${_zv_source}/packaging/windows/zorvane.nsi.in
    -DWORK=${ZV_WINDOWS_OUT} -DVERSION=${PROJECT_VERSION} -DICON=${ZV_WINDOWS_ICON}
    -P "${_zv_source}/cmake/WindowsInstaller.cmake"
  DEPENDS zorvane zorvane_sample_event
  COMMENT "Making the installer ${ZV_INSTALLER}"
  VERBATIM)

# tools/windows-dll-check itself, on small program folders built with the cross compiler.
add_test(NAME windows/dll_check
  COMMAND bash "${_zv_source}/tests/package/windows_dll_check_test.sh")
set_tests_properties(windows/dll_check PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120 LABELS windows)
