# Cross-building for 64-bit Windows with Debian's mingw-w64 compilers. The posix
# variant gives std::thread and std::mutex (through winpthreads).
# QUILLFEN_WINDOWS_PREFIX names the folder of the cross-built libraries.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QUILLFEN_WINDOWS_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${QUILLFEN_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config answers for the cross-built libraries only, never the host's.
if(QUILLFEN_WINDOWS_PREFIX)
  set(ENV{PKG_CONFIG_LIBDIR} ${QUILLFEN_WINDOWS_PREFIX}/lib/pkgconfig:/usr/x86_64-w64-mingw32/lib/pkgconfig)
  set(ENV{PKG_CONFIG_PATH} "")
endif()

# Test programs run under Wine.
find_program(QUILLFEN_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(QUILLFEN_WINE64 NAMES wine64)
if(QUILLFEN_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUILLFEN_WINE64})
endif()
