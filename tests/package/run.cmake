# Installs the build into a fresh folder, checks the layout a host relies on,
# then builds the host project in host/ against that folder alone and runs it.
# Run with cmake -P and these definitions (set by tests/CMakeLists.txt):
#   NY_SOURCE_DIR NY_BUILD_DIR   the library's source and build folders
#   NY_WORK_DIR                  this test's own folder, emptied first
#   NY_CONFIG                    the build's configuration (may be empty)
#   NY_GENERATOR NY_GENERATOR_PLATFORM NY_MAKE_PROGRAM
#   NY_TOOLCHAIN_FILE NY_CXX_COMPILER
#                                how the build was configured, handed on
#   NY_CROSSCOMPILING            whether the build is for another system
#   NY_EMULATOR                  the runner for a cross build, "|"-separated
#   NY_BINDIR NY_LIBDIR NY_INCLUDEDIR
#                                the install's folders, relative to its prefix
#   NY_WITH_MFC                  whether the toolkit stand-in is in the package
cmake_minimum_required(VERSION 3.20)

foreach(var NY_SOURCE_DIR NY_BUILD_DIR NY_WORK_DIR NY_GENERATOR NY_BINDIR NY_LIBDIR NY_INCLUDEDIR)
  if("${${var}}" STREQUAL "")
    message(FATAL_ERROR "run.cmake: ${var} is not set")
  endif()
endforeach()

set(install_dir ${NY_WORK_DIR}/install)
set(host_dir ${NY_WORK_DIR}/host)
set(config_args)
if(NOT "${NY_CONFIG}" STREQUAL "")
  set(config_args --config ${NY_CONFIG})
endif()

# Runs a command; on failure shows what it printed and stops.
function(ny_run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${what} failed (${rc}):\n${out}")
  endif()
  set(ny_run_output "${out}" PARENT_SCOPE)
endfunction()

function(ny_expect_file path)
  if(NOT EXISTS "${install_dir}/${path}")
    message(FATAL_ERROR "the install lacks ${path}")
  endif()
endfunction()

# ---- Install -------------------------------------------------------------------
file(REMOVE_RECURSE ${NY_WORK_DIR})
ny_run("install" ${CMAKE_COMMAND} --install ${NY_BUILD_DIR} --prefix ${install_dir} ${config_args})

# Every public header, and every stand-in header they may include.
file(GLOB headers RELATIVE ${NY_SOURCE_DIR}/include ${NY_SOURCE_DIR}/include/*.h)
foreach(header IN LISTS headers)
  ny_expect_file(${NY_INCLUDEDIR}/${header})
endforeach()
if(NOT NY_WITH_MFC)
  file(GLOB headers RELATIVE ${NY_SOURCE_DIR}/toolkit ${NY_SOURCE_DIR}/toolkit/NyAfx*.h)
  foreach(header IN LISTS headers)
    ny_expect_file(${NY_INCLUDEDIR}/toolkit/${header})
  endforeach()
endif()
foreach(file ${NY_LIBDIR}/DoRor.lib ${NY_BINDIR}/DoRor.dll ${NY_LIBDIR}/cmake/DoRor/DoRorConfig.cmake
             ${NY_LIBDIR}/cmake/DoRor/DoRorConfigVersion.cmake ${NY_LIBDIR}/cmake/DoRor/DoRorTargets.cmake)
  ny_expect_file(${file})
endforeach()

# The library's own compile settings and its internal static library stay out
# of the package. (The host cannot see NOMINMAX for itself under mingw-w64,
# whose standard headers define it.)
set(own_settings "NOMINMAX|WIN32_LEAN_AND_MEAN|_WIN32_WINNT|WINVER|NY_BUILDING_DLL")
file(GLOB target_files ${install_dir}/${NY_LIBDIR}/cmake/DoRor/DoRorTargets*.cmake)
foreach(file IN LISTS target_files)
  file(READ ${file} text)
  if(text MATCHES "DoRorCore|${own_settings}")
    message(FATAL_ERROR "${file} carries ${CMAKE_MATCH_0}")
  endif()
endforeach()
file(GLOB_RECURSE installed_headers ${install_dir}/${NY_INCLUDEDIR}/*.h)
foreach(file IN LISTS installed_headers)
  file(READ ${file} text)
  if(text MATCHES "#[ \t]*define[ \t]+(${own_settings})")
    message(FATAL_ERROR "${file} defines ${CMAKE_MATCH_1}")
  endif()
endforeach()

# ---- The host: configure and build against the install alone ------------------
set(configure_args -S ${CMAKE_CURRENT_LIST_DIR}/host -B ${host_dir} -G ${NY_GENERATOR})
if(NY_GENERATOR_PLATFORM)
  list(APPEND configure_args -A ${NY_GENERATOR_PLATFORM})
endif()
if(NY_MAKE_PROGRAM)
  list(APPEND configure_args -DCMAKE_MAKE_PROGRAM=${NY_MAKE_PROGRAM})
endif()
if(NOT "${NY_CONFIG}" STREQUAL "")
  list(APPEND configure_args -DCMAKE_BUILD_TYPE=${NY_CONFIG})
endif()
if(NY_TOOLCHAIN_FILE)
  list(APPEND configure_args -DCMAKE_TOOLCHAIN_FILE=${NY_TOOLCHAIN_FILE})
elseif(NY_CXX_COMPILER)
  list(APPEND configure_args -DCMAKE_CXX_COMPILER=${NY_CXX_COMPILER})
endif()
list(APPEND configure_args -DCMAKE_PREFIX_PATH=${install_dir})
ny_run("configuring the host" ${CMAKE_COMMAND} ${configure_args})
ny_run("building the host" ${CMAKE_COMMAND} --build ${host_dir} ${config_args} --parallel 2)

# ---- Run it, beside the DLLs its build copied from the install ----------------
file(GLOB_RECURSE host_exe ${host_dir}/host.exe)
list(LENGTH host_exe count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one host.exe under ${host_dir}, found: ${host_exe}")
endif()
get_filename_component(exe_dir ${host_exe} DIRECTORY)
if(NOT EXISTS ${exe_dir}/DoRor.dll)
  message(FATAL_ERROR "the host's build did not copy DoRor.dll beside it")
endif()

if(NY_CROSSCOMPILING AND NOT NY_EMULATOR)
  message("package test: host not run: a cross build without a runner")
  return()
endif()
string(REPLACE "|" ";" runner "${NY_EMULATOR}")
execute_process(COMMAND ${runner} ${host_exe} WORKING_DIRECTORY ${exe_dir}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("${out}${err}")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the host failed (${rc})")
endif()
if(NOT out MATCHES "package host: [0-9]+ checks passed")
  message(FATAL_ERROR "the host did not report its checks")
endif()
