# Cross compiling the Qt-free parts and their tests for 64-bit Windows with MinGW-w64.
# The programs are linked statically so that they run anywhere, Wine included, without DLL paths.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-compilers.cmake)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Tests and test discovery run the built programs under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
