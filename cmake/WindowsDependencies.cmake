# The libraries of a Windows build, from the cross prefix the toolchain file points at
# (tools/windows). The prefix has no Qt Network; Qt Test only when it was added to it.
find_package(Qt6 6.2 REQUIRED COMPONENTS Core Gui Widgets)
find_package(Qt6 QUIET COMPONENTS Test)
find_package(libjpeg-turbo CONFIG REQUIRED)
find_package(SDL2 CONFIG REQUIRED)
find_package(SDL2_mixer CONFIG REQUIRED)
find_package(GTest CONFIG REQUIRED)

# The names the Linux build finds its libraries under.
if(NOT TARGET JPEG::JPEG)
  add_library(JPEG::JPEG INTERFACE IMPORTED)
  set_target_properties(JPEG::JPEG PROPERTIES
    INTERFACE_LINK_LIBRARIES libjpeg-turbo::jpeg-static)
endif()
# SDL2_mixer's headers only: the library is loaded when the sound opens, as on Linux.
get_target_property(SDL2_MIXER_INCLUDE_DIRS SDL2_mixer::SDL2_mixer INTERFACE_INCLUDE_DIRECTORIES)
get_target_property(_zv_sdl_includes SDL2::SDL2 INTERFACE_INCLUDE_DIRECTORIES)
list(APPEND SDL2_MIXER_INCLUDE_DIRS ${_zv_sdl_includes})

# Programs that paint the artwork, compose the movies and write the sample settings run on
# the build machine: a native build exports them (zorvane-host-tools.cmake in its build
# folder), and ZV_HOST_BUILD names that folder.
set(ZV_HOST_BUILD "" CACHE PATH "A native build folder of this project, for its generators")
if(NOT EXISTS "${ZV_HOST_BUILD}/zorvane-host-tools.cmake")
  message(FATAL_ERROR "A Windows build needs the generators of a native build: "
    "-DZV_HOST_BUILD=<native build folder> (tools/windows makes one)")
endif()
include("${ZV_HOST_BUILD}/zorvane-host-tools.cmake")
# They run as they are, not through the emulator that runs the Windows tests.
set_target_properties(artwork_generator movie_generator sample_settings_generator
  PROPERTIES CROSSCOMPILING_EMULATOR "")
