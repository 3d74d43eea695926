# Script mode (target zorvane_installer): writes the NSIS script for the staged program
# folder STAGE and runs makensis on it, giving OUT.
#   cmake -DSTAGE=... -DOUT=... -DMAKENSIS=... -DTEMPLATE=zorvane.nsi.in -DWORK=... \
#         -DVERSION=... -P WindowsInstaller.cmake
# The uninstaller deletes exactly the files the installer wrote (a folder the user chose
# may hold other things), then the folders left empty.
foreach(var STAGE OUT TEMPLATE WORK VERSION)
  if(NOT ${var})
    message(FATAL_ERROR "WindowsInstaller.cmake: ${var} is not set")
  endif()
endforeach()
if(NOT MAKENSIS)
  message(FATAL_ERROR "makensis not found: install nsis (tools/windows does)")
endif()

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${STAGE}" "${STAGE}/*")
if(NOT files)
  message(FATAL_ERROR "Nothing staged in ${STAGE}")
endif()
list(SORT files)

set(install_lines "")
set(uninstall_lines "")
set(folders "")
set(current "-")
foreach(file ${files})
  get_filename_component(folder "${file}" DIRECTORY)
  string(REPLACE "/" "\\" win_folder "${folder}")
  string(REPLACE "/" "\\" win_file "${file}")
  if(NOT folder STREQUAL current)
    if(folder STREQUAL "")
      string(APPEND install_lines "  SetOutPath \"$INSTDIR\"\n")
    else()
      string(APPEND install_lines "  SetOutPath \"$INSTDIR\\${win_folder}\"\n")
    endif()
    set(current "${folder}")
  endif()
  string(APPEND install_lines "  File \"${STAGE}/${file}\"\n")
  string(APPEND uninstall_lines "  Delete \"$INSTDIR\\${win_file}\"\n")
  # Every folder on the way, so that nested ones go too.
  while(NOT folder STREQUAL "")
    list(APPEND folders "${folder}")
    get_filename_component(folder "${folder}" DIRECTORY)
  endwhile()
endforeach()
list(REMOVE_DUPLICATES folders)
# Deepest first: a folder is empty only once its subfolders are gone.
list(SORT folders)
list(REVERSE folders)
foreach(folder ${folders})
  string(REPLACE "/" "\\" win_folder "${folder}")
  string(APPEND uninstall_lines "  RMDir \"$INSTDIR\\${win_folder}\"\n")
endforeach()

# The size Windows shows in its list of programs, in kB.
set(size 0)
foreach(file ${files})
  file(SIZE "${STAGE}/${file}" bytes)
  math(EXPR size "${size} + ${bytes}")
endforeach()
math(EXPR ZV_INSTALLED_KB "${size} / 1024")

set(ZV_VERSION "${VERSION}")
set(ZV_INSTALL_FILES "${install_lines}")
set(ZV_UNINSTALL_FILES "${uninstall_lines}")
set(ZV_OUTFILE "${OUT}")
set(ZV_STAGE_LICENSE "${STAGE}/LICENSE.txt")
# The program's icon on the installer and the uninstaller too, when the build made one.
set(ZV_ICON_LINES "")
if(ICON AND EXISTS "${ICON}")
  set(ZV_ICON_LINES "!define MUI_ICON \"${ICON}\"\n!define MUI_UNICON \"${ICON}\"")
endif()
# UTF-8 with a byte-order mark: makensis then reads the Chinese names as they are.
string(ASCII 239 187 191 bom)
file(READ "${TEMPLATE}" template)
string(CONFIGURE "${template}" script @ONLY)
file(WRITE "${WORK}/zorvane.nsi" "${bom}${script}")

execute_process(COMMAND "${MAKENSIS}" -V2 -INPUTCHARSET UTF8 "${WORK}/zorvane.nsi"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "makensis failed on ${WORK}/zorvane.nsi")
endif()
message(STATUS "Installer: ${OUT}")
