# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (the package
# g++-mingw-w64-x86-64-posix). Used for the game in build-windows/ and for
# the libraries it links, built by scripts/windows-deps:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
#         -DCMAKE_PREFIX_PATH=$PWD/build-windows/deps/prefix
# The posix flavour: its C++ library has std::thread and std::mutex, on
# winpthreads, which the programs link statically like everything else.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)

# Headers, libraries and CMake packages come from mingw-w64's own tree and
# from the prefixes given in CMAKE_PREFIX_PATH (the cross-built SFML,
# FreeType and Google Test), never from the Linux system's; programs run
# during the build are the host's.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
