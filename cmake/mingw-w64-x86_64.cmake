# Cross toolchain: Debian's MinGW-w64 x86_64 compilers with the posix thread model
# (GoogleTest needs std::mutex, which the win32 thread model lacks).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
# Stop early with the package to install rather than with CMake's compiler-not-found errors.
find_program(ENIGO_MINGW_CXX x86_64-w64-mingw32-g++-posix)
if(NOT ENIGO_MINGW_CXX)
  message(FATAL_ERROR "The MinGW-w64 cross compiler x86_64-w64-mingw32-g++-posix is not on the PATH: "
    "install the Debian package g++-mingw-w64-x86-64-posix (./enigo.sh build does), then configure again.")
endif()
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Windows executables built here run under Wine through this wrapper (tests, quiz checks),
# which first starts the build's Wine keeper when it is not running.
set(CMAKE_CROSSCOMPILING_EMULATOR env ENIGO_KEEPER=${CMAKE_BINARY_DIR}/tests/wine_keeper.exe
  ${CMAKE_CURRENT_LIST_DIR}/../tests/windows/wine-run.sh)
