# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (POSIX thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(NY_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${NY_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NY_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${NY_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${NY_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Packages (GoogleTest's, say) only from the cross tree: the machine's own are
# Linux libraries. The folders a project names in CMAKE_PREFIX_PATH (an
# installed DoRor package, say) are Windows trees too: they count as roots,
# so that find_package searches them as they are.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
list(APPEND CMAKE_FIND_ROOT_PATH ${CMAKE_PREFIX_PATH})
