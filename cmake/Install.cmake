# SPDX-License-Identifier: MIT
include(CMakePackageConfigHelpers)

set(ZGQX_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/ZarnetGenQtXml)

# Runtime: the shared libraries. Development: headers, the unversioned .so
# links, the CMake package and the pkg-config files.
install(TARGETS ZarnetGenQtXml ZarnetGenLowLevel
  EXPORT ZarnetGenQtXmlTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime NAMELINK_COMPONENT Development
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime)
install(TARGETS ZarnetGenQtXmlModelUsage EXPORT ZarnetGenQtXmlModelTargets)

install(FILES ${ZGQX_C_PUBLIC_HEADERS} ${ZGQX_MODEL_PUBLIC_HEADERS}
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/ZarnetGenQtXml COMPONENT Development)

install(EXPORT ZarnetGenQtXmlTargets NAMESPACE ZarnetGenQtXml::
  DESTINATION ${ZGQX_INSTALL_CMAKEDIR} COMPONENT Development)
install(EXPORT ZarnetGenQtXmlModelTargets NAMESPACE ZarnetGenQtXml::
  DESTINATION ${ZGQX_INSTALL_CMAKEDIR} COMPONENT Development)

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/ZarnetGenQtXmlConfig.cmake.in
  ${PROJECT_BINARY_DIR}/ZarnetGenQtXmlConfig.cmake
  INSTALL_DESTINATION ${ZGQX_INSTALL_CMAKEDIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/ZarnetGenQtXmlConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${PROJECT_BINARY_DIR}/ZarnetGenQtXmlConfig.cmake
  ${PROJECT_BINARY_DIR}/ZarnetGenQtXmlConfigVersion.cmake
  DESTINATION ${ZGQX_INSTALL_CMAKEDIR} COMPONENT Development)

# The pkg-config files find their prefix from where they lie, so that an
# install with --prefix works as well.
file(RELATIVE_PATH ZGQX_PC_TO_PREFIX "/p/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/p")
foreach(pc ZarnetGenQtXml ZarnetGenQtXmlModel)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/${pc}.pc.in ${PROJECT_BINARY_DIR}/${pc}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${pc}.pc
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT Development)
endforeach()

install(FILES LICENSE CHANGELOG.md README.md DESTINATION ${CMAKE_INSTALL_DOCDIR}
  COMPONENT Runtime)
install(FILES examples/xmlbuild.c examples/xmlwalk.c examples/xmlquery.c examples/sample.xml
  DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples COMPONENT Development)
