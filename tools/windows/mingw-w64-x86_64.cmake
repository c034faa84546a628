# CMake toolchain file: 64-bit Windows programs cross-built with Debian's mingw-w64 (package
# g++-mingw-w64-x86-64-win32). tools/windows/build.sh builds zlib, libpng, Allegro and the
# program with it, passing TARVENLOFT_WINDOWS_DEPS, the folder where the Windows libraries are
# installed.
#
# SPDX-License-Identifier: MIT
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The win32 thread model names are used on purpose: the posix variants would make the program
# need libwinpthread-1.dll.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Headers and libraries come from the cross compiler's tree and the Windows libraries only,
# never from the build machine; programs (pkg-config among them) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${TARVENLOFT_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
if(TARVENLOFT_WINDOWS_DEPS)
  set(ENV{PKG_CONFIG_LIBDIR} ${TARVENLOFT_WINDOWS_DEPS}/lib/pkgconfig)
  set(ENV{PKG_CONFIG_PATH} "")
endif()

# The GCC and C++ runtimes are linked in, so that the program needs only Windows' own DLLs. No
# link time goes into the program's header, so that the same sources give the same program.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")
