# The package a host consumes: `cmake --install <build> --prefix <dir>` lays out
#
#   include/                 the public headers
#   include/toolkit/         the toolkit stand-in headers they include
#   lib/DoRor.lib            the import library
#   bin/DoRor.dll            the DLL, with the C++ runtime DLLs it shares with
#                            its host beside it
#   lib/cmake/DoRor/         DoRorConfig.cmake, its version file and the
#                            exported target DoRor::DoRor
#
# so that a host writes find_package(DoRor REQUIRED) and links DoRor::DoRor.
# The exported target carries only what a host needs: the include folder, the
# import library and NY_WITH_MFC when the library was built with it. The
# library's own Windows target, lean headers and no-min/max settings are
# PRIVATE to the DLL and stay out of the package, and the internal static
# library is linked only in the build tree.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# The same name in the build tree, for a superproject that adds this folder
# instead of installing it.
add_library(DoRor::DoRor ALIAS DoRor)

set(NY_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/DoRor)

install(TARGETS DoRor EXPORT DoRorTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${NY_RUNTIME_DLLS} DESTINATION ${CMAKE_INSTALL_BINDIR})

install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  FILES_MATCHING PATTERN "*.h")
# Every stand-in header, matched when the install runs, so that a new one is
# shipped without touching this list. With real MFC the public headers take
# MFC's own and the stand-in is not built, so it is not shipped either.
if(NOT NY_WITH_MFC)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/toolkit/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/toolkit
    FILES_MATCHING PATTERN "NyAfx*.h")
endif()

install(EXPORT DoRorTargets NAMESPACE DoRor:: DESTINATION ${NY_INSTALL_CMAKEDIR})

# The DLLs a host's executable needs beside it, by file name: the config file
# lists them in the installed bin folder for hosts that copy them.
set(NY_PACKAGE_RUNTIME_DLL_NAMES DoRor${CMAKE_SHARED_LIBRARY_SUFFIX})
foreach(dll IN LISTS NY_RUNTIME_DLLS)
  get_filename_component(name "${dll}" NAME)
  list(APPEND NY_PACKAGE_RUNTIME_DLL_NAMES "${name}")
endforeach()

configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/DoRorConfig.cmake.in
  ${CMAKE_BINARY_DIR}/package/DoRorConfig.cmake
  INSTALL_DESTINATION ${NY_INSTALL_CMAKEDIR}
  PATH_VARS CMAKE_INSTALL_INCLUDEDIR CMAKE_INSTALL_BINDIR)
# Before 1.0 a minor version may break the interface: only the same major and
# minor version are compatible. The version file also refuses a host of
# another pointer size (a 32-bit host cannot load this DLL).
write_basic_package_version_file(${CMAKE_BINARY_DIR}/package/DoRorConfigVersion.cmake
  VERSION ${PROJECT_VERSION}
  COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_BINARY_DIR}/package/DoRorConfig.cmake
              ${CMAKE_BINARY_DIR}/package/DoRorConfigVersion.cmake
  DESTINATION ${NY_INSTALL_CMAKEDIR})
