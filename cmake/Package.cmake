# SPDX-License-Identifier: MIT
# Debian packages: `cpack -G DEB` in the build folder makes
# libzarnetgenqtxml1 (the shared libraries) and libzarnetgenqtxml-dev (headers,
# CMake and pkg-config files, the unversioned .so links, the examples).
set(CPACK_PACKAGE_NAME libzarnetgenqtxml)
set(CPACK_PACKAGE_VENDOR "The ZarnetGenQtXml developers")
set(CPACK_PACKAGE_CONTACT "The ZarnetGenQtXml developers <zarnetgenqtxml@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL Runtime Development)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS Runtime)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libzarnetgenqtxml${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libzarnetgenqtxml-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
# The model classes' headers need Qt's; the C interface does not.
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SUGGESTS qt6-base-dev)
include(CPack)
