# The Debian package, built by scripts/package.sh (cpack -G DEB). Its dependencies come from the
# shared libraries the programs link (dpkg-shlibdeps).
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "klxr-log")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "The klxr-log developers")
set(CPACK_PACKAGE_CONTACT "The klxr-log developers <developers@klxr.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop companion of the KL-XR TV signal meter")
set(CPACK_PACKAGE_DESCRIPTION
    "Reads the measurement log of the KL-XR handheld TV signal meter over its USB
lead, shows it as a table in dBm or dBuV, saves and loads .tlg log files,
exports CSV, erases the meter's log and lists the meters attached. Comes with
klxr-log-cli, the command-line companion for batch conversion, and a virtual
meter holding a sample log (--demo) to try every command without a meter. A
udev rule gives the logged-in user access to the meter's USB lead.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
set(CPACK_DEBIAN_PACKAGE_RELEASE "1")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION "electronics")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${KLXR_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    "${CMAKE_CURRENT_SOURCE_DIR}/debian/postinst;${CMAKE_CURRENT_SOURCE_DIR}/debian/postrm")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
