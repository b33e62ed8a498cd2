# 64-bit Windows: a test build only, for machines that run no 32-bit code and so
# cannot start 32-bit Wine. The vendor's library has no 64-bit form.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
