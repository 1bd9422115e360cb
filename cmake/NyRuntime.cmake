# The DLL shares one C++ runtime with its host: with mingw-w64, libstdc++,
# libgcc and winpthread are linked as DLLs, so they must sit beside DoRor.dll,
# in the build folder and in the install folder alike. (MSVC's runtime is the
# system's own; nothing to copy there.)
set(NY_RUNTIME_DLLS)
if(MINGW)
  foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(path "${path}" REALPATH)
    if(NOT EXISTS "${path}")
      message(FATAL_ERROR "runtime DLL ${dll} not found (asked ${CMAKE_CXX_COMPILER})")
    endif()
    list(APPEND NY_RUNTIME_DLLS "${path}")
  endforeach()
endif()

# Copies the runtime DLLs beside the given target's output after every build.
function(ny_copy_runtime target)
  if(NY_RUNTIME_DLLS)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${NY_RUNTIME_DLLS} $<TARGET_FILE_DIR:${target}>
      VERBATIM)
  endif()
endfunction()
