# 32-bit Windows: the product, since the vendor's USBCDDLL.dll is a 32-bit DLL.
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
