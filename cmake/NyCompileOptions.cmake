# The settings every library source is compiled with.
#
# The Windows target, the lean <windows.h> and no min/max macros are set on
# the command line, never in a header: mingw-w64's runtime headers define
# _WIN32_WINNT themselves when they come first. Windows 7 (0x0601) is the
# oldest system the hosts run on, so a call newer than that fails to compile.
set(NY_WINDOWS_DEFINITIONS _WIN32_WINNT=0x0601 WINVER=0x0601 WIN32_LEAN_AND_MEAN NOMINMAX)

# Gives `target` the library's Windows target and warnings (errors).
# `scope` is PRIVATE for the DLL, whose public headers must not force these
# on a host, and PUBLIC for the internal static library, whose users (the
# DLL and the suites that test internals) are compiled the same way.
function(ny_library_settings target scope)
  target_compile_definitions(${target} ${scope} ${NY_WINDOWS_DEFINITIONS})
  if(MSVC)
    target_compile_definitions(${target} ${scope} _CRT_SECURE_NO_WARNINGS)
    target_compile_options(${target} PRIVATE /W4 /WX /utf-8)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  endif()
endfunction()
