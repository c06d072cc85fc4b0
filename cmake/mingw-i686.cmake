# Cross build for 32-bit Windows (i386, PE32) with Debian's mingw-w64.
# The posix-threads variant of the compiler is the one with a complete
# C++20 thread library; everything is linked statically so that the
# executable needs only the DLLs that come with Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(QUILLFEN_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_C_COMPILER ${QUILLFEN_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILLFEN_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${QUILLFEN_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUILLFEN_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
