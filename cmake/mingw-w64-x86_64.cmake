# Cross build for 64-bit Windows with Debian's mingw-w64, posix threads flavour
# (g++-mingw-w64-x86-64-posix: std::thread and std::mutex need it).
#
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# Test executables run through wine (CMAKE_CROSSCOMPILING_EMULATOR), so ctest
# and gtest_discover_tests work unchanged. WINEPREFIX is taken from the caller's
# environment; initialise it once with `wineboot --init` before the first run.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER   ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${MINGW_TRIPLE}-windres)

# Headers, libraries and packages only from the mingw sysroot and from the Windows builds named
# in CMAKE_PREFIX_PATH (Qt for Windows), build tools from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# -static pulls libgcc, libstdc++ and libwinpthread into the .exe, so it runs
# with nothing beside it (only Windows' own DLLs are imported). Qt's DLLs use
# the runtime's DLLs instead, so Qt and whatever loads it are built with
# TRELLISK_MINGW_SHARED_RUNTIME=ON: one runtime for the whole process, its
# libstdc++-6.dll, libgcc_s_seh-1.dll and libwinpthread-1.dll beside the .exe.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TRELLISK_MINGW_SHARED_RUNTIME)
if(NOT TRELLISK_MINGW_SHARED_RUNTIME)
  set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
  set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -Wl,-Bstatic,-lwinpthread,-Bdynamic")
  set(CMAKE_MODULE_LINKER_FLAGS_INIT "${CMAKE_SHARED_LINKER_FLAGS_INIT}")
endif()

# Debian installs the 64-bit loader as /usr/lib/wine/wine64 and a `wine`
# wrapper in PATH; either runs a 64-bit .exe. WINEDEBUG=-all also silences the
# wrapper's "wine32 is missing" hint; the empty overrides stop wine offering to
# download Mono and Gecko on a headless machine.
find_program(WINE_EXECUTABLE NAMES wine wine64 wine-stable PATHS /usr/lib/wine)
if(WINE_EXECUTABLE)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${CMAKE_COMMAND} -E env WINEDEBUG=-all "WINEDLLOVERRIDES=mscoree,mshtml="
      ${WINE_EXECUTABLE})
endif()
