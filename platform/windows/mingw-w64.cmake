# Cross build for Windows with Debian's MinGW-w64. The toolchain files beside
# this one set DISKSIG_MINGW_TRIPLET and include it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${DISKSIG_MINGW_TRIPLET})

set(CMAKE_CXX_COMPILER ${DISKSIG_MINGW_TRIPLET}-g++)
set(CMAKE_RC_COMPILER ${DISKSIG_MINGW_TRIPLET}-windres)
set(CMAKE_OBJDUMP ${DISKSIG_MINGW_TRIPLET}-objdump)

# Headers and libraries come from the target's sysroot only; programs (the
# build's own tools) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${DISKSIG_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
