# Windows through a MinGW-w64 cross compiler; the including toolchain file names the
# processor. The posix-thread variants are used because GoogleTest needs std::mutex.
set(CMAKE_SYSTEM_NAME Windows)
set(KAVRO_MINGW ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)

set(CMAKE_C_COMPILER ${KAVRO_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KAVRO_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${KAVRO_MINGW}-windres)
set(CMAKE_DLLTOOL ${KAVRO_MINGW}-dlltool)

set(CMAKE_FIND_ROOT_PATH /usr/${KAVRO_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run under Wine, so that ctest runs them unchanged; the runner picks
# the 32-bit or the 64-bit Wine by the program itself.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
