# 32-bit Windows programs (cmake/mingw.cmake).
set(HX_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
