# Cross-build for 64-bit Windows with the MinGW-w64 GCC "posix" threading variant
# (it has std::thread and std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QORVEL_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${QORVEL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QORVEL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${QORVEL_MINGW_PREFIX}-windres)
set(CMAKE_AR           ${QORVEL_MINGW_PREFIX}-gcc-ar-posix)
set(CMAKE_RANLIB       ${QORVEL_MINGW_PREFIX}-gcc-ranlib-posix)
set(CMAKE_OBJCOPY      ${QORVEL_MINGW_PREFIX}-objcopy)

set(CMAKE_FIND_ROOT_PATH /usr/${QORVEL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run under Wine through this wrapper (prefix, display, quiet logs).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-exec)
