# The SDK, as cmake --install lays it out under the prefix:
#
#   bin/qpmhost                      the reference host
#   lib/libqpmwin32.so               the Win32 layer
#   lib/libqpm_framework.a           the framework, without and with the
#   lib/libqpm_framework_plugin.a    plug-in fields (linked whole)
#   lib/qpm/libpellux.so             the known types' libraries qpmhost runs
#   lib/qpm/libvarnoq.so             the installer, which qpmhost copies to the
#                                    user's components folder and runs from there
#   include/qpm/                     the contract and the framework's public headers
#   include/qpmwin32/                the layer's windows.h and qpm_platform.h
#   lib/cmake/QPM/                   the package: find_package(QPM CONFIG)
#   lib/pkgconfig/qpmwin32.pc        the layer, for pkg-config
#
# Installed programs and libraries find the layer through a relative
# RUNPATH, so the tree can be moved as a whole.
include(CMakePackageConfigHelpers)

set(QPM_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/QPM)

file(RELATIVE_PATH bin_to_lib /${CMAKE_INSTALL_BINDIR} /${CMAKE_INSTALL_LIBDIR})
file(RELATIVE_PATH components_to_lib /${QPM_INSTALL_COMPONENTDIR} /${CMAKE_INSTALL_LIBDIR})
string(REGEX REPLACE "/$" "" components_to_lib "${components_to_lib}")
set_target_properties(qpmhost PROPERTIES INSTALL_RPATH "$ORIGIN/${bin_to_lib}")
set_target_properties(pellux varnoq PROPERTIES INSTALL_RPATH "$ORIGIN/${components_to_lib}")

install(TARGETS qpmhost RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS pellux varnoq LIBRARY DESTINATION ${QPM_INSTALL_COMPONENTDIR})

install(TARGETS qpmwin32 qpm_protocol qpm_framework_basic qpm_framework_plugin
  EXPORT QPMTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES platform/include/windows.h platform/include/qpm_platform.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/qpmwin32)
# The contract and the framework's public headers side by side in include/qpm.
install(DIRECTORY include/qpm framework/include/qpm DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

install(EXPORT QPMTargets NAMESPACE QPM:: DESTINATION ${QPM_INSTALL_CMAKEDIR})
configure_package_config_file(cmake/QPMConfig.cmake.in ${PROJECT_BINARY_DIR}/QPMConfig.cmake
  INSTALL_DESTINATION ${QPM_INSTALL_CMAKEDIR}
  PATH_VARS CMAKE_INSTALL_BINDIR)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/QPMConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES
    ${PROJECT_BINARY_DIR}/QPMConfig.cmake
    ${PROJECT_BINARY_DIR}/QPMConfigVersion.cmake
    cmake/QPMComponentLibrary.cmake
  DESTINATION ${QPM_INSTALL_CMAKEDIR})

# The .pc file names its prefix relative to itself, so it holds for any
# --prefix given at install time.
file(RELATIVE_PATH pc_to_prefix /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" pc_to_prefix "${pc_to_prefix}")
configure_file(cmake/qpmwin32.pc.in ${PROJECT_BINARY_DIR}/qpmwin32.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/qpmwin32.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
