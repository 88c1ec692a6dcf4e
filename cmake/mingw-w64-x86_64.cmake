# Cross-builds for 64-bit Windows with Debian's mingw-w64 (the POSIX threads
# variant, which std::thread, std::mutex and std::condition_variable need):
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DTESSARO_WINDOWS_PREFIX=<folder of the cross-built libraries> \
#         [-DTESSARO_WINDOWS_QT=<folder of Qt for Windows>]
# scripts/test-windows.sh builds those libraries into build-windows-deps/prefix.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TESSARO_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TESSARO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESSARO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TESSARO_MINGW_TRIPLET}-windres)

# Libraries, headers and packages come from the compiler's own root and from
# the prefix of the cross-built libraries, never from the build machine.
set(TESSARO_WINDOWS_PREFIX "" CACHE PATH "Prefix of the libraries cross-built for Windows")
# Qt for Windows (scripts/windows/build-qt.sh prints its folder); with it the
# windows are built too. Its build tools (moc, uic, rcc) are the build
# machine's own Qt of the same version.
set(TESSARO_WINDOWS_QT "" CACHE PATH "Qt for Windows, cross-built (scripts/windows/build-qt.sh)")
set(CMAKE_FIND_ROOT_PATH /usr/${TESSARO_MINGW_TRIPLET} ${TESSARO_WINDOWS_PREFIX} ${TESSARO_WINDOWS_QT})
if(TESSARO_WINDOWS_QT)
  set(QT_HOST_PATH /usr)
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
if(TESSARO_WINDOWS_PREFIX)
  set(ENV{PKG_CONFIG_LIBDIR} ${TESSARO_WINDOWS_PREFIX}/lib/pkgconfig)
  set(ENV{PKG_CONFIG_PATH} "")
endif()

# The programs carry the compiler's run-time libraries, so they run from any
# folder, and under Wine, without DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs are run under Wine.
find_program(TESSARO_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(TESSARO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TESSARO_WINE})
endif()
