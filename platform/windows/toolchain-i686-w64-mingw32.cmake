# 32-bit Windows (x86), still found on plant and lab machines.
set(DISKSIG_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
