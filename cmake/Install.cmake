include(CMakePackageConfigHelpers)

set(ZGQX_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/ZarnetGenQtXml)

install(TARGETS ZarnetGenQtXml ZarnetGenLowLevel
  EXPORT ZarnetGenQtXmlTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES
  ${PROJECT_SOURCE_DIR}/gen/gen_qtxmlif.h
  ${PROJECT_SOURCE_DIR}/gen/zarnetgenqtxml_export.h
  ${PROJECT_SOURCE_DIR}/lowlevel/gen_lowlevel.h
  ${ZGQX_MODEL_PUBLIC_HEADERS}
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/ZarnetGenQtXml)

install(EXPORT ZarnetGenQtXmlTargets
  NAMESPACE ZarnetGenQtXml::
  DESTINATION ${ZGQX_INSTALL_CMAKEDIR})

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/ZarnetGenQtXmlConfig.cmake.in
  ${PROJECT_BINARY_DIR}/ZarnetGenQtXmlConfig.cmake
  INSTALL_DESTINATION ${ZGQX_INSTALL_CMAKEDIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/ZarnetGenQtXmlConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${PROJECT_BINARY_DIR}/ZarnetGenQtXmlConfig.cmake
  ${PROJECT_BINARY_DIR}/ZarnetGenQtXmlConfigVersion.cmake
  DESTINATION ${ZGQX_INSTALL_CMAKEDIR})

# The pkg-config file finds its prefix from where it lies, so that an install
# with --prefix works as well.
file(RELATIVE_PATH ZGQX_PC_TO_PREFIX "/p/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/p")
configure_file(${PROJECT_SOURCE_DIR}/cmake/ZarnetGenQtXml.pc.in
  ${PROJECT_BINARY_DIR}/ZarnetGenQtXml.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/ZarnetGenQtXml.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
