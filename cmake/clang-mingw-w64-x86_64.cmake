# Second compiler: Debian's clang for the same 64-bit Windows target, with MinGW-w64's headers,
# libraries and GNU binutils. It builds the product only; the tests stay with GCC.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MERIDO_MINGW_TRIPLE x86_64-w64-mingw32)
set(MERIDO_MINGW_GCC_DIR /usr/lib/gcc/${MERIDO_MINGW_TRIPLE}/12-posix)

set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${MERIDO_MINGW_TRIPLE})
set(CMAKE_CXX_COMPILER_TARGET ${MERIDO_MINGW_TRIPLE})
set(CMAKE_RC_COMPILER ${MERIDO_MINGW_TRIPLE}-windres)

# clang does not look into GCC's versioned folders for the C++ library: name them, and the
# folder that holds libgcc, libstdc++ and the C runtime start-up files.
set(CMAKE_CXX_FLAGS_INIT
    "-isystem ${MERIDO_MINGW_GCC_DIR}/include/c++ -isystem ${MERIDO_MINGW_GCC_DIR}/include/c++/${MERIDO_MINGW_TRIPLE}")
# GCC's driver links winpthread by itself (this libstdc++ uses POSIX threads); clang's adds it
# to its closing library group on -pthread.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-L${MERIDO_MINGW_GCC_DIR} -pthread")

set(CMAKE_FIND_ROOT_PATH /usr/${MERIDO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
