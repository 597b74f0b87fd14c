# Shared part of the two MinGW toolchain files; SW_MINGW_TRIPLE names the target.
set(CMAKE_C_COMPILER ${SW_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SW_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${SW_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${SW_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# No MinGW runtime DLL beside the programs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
