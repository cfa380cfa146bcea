# The Debian package, made by CPack's DEB generator from the install rules, so that the package holds
# exactly what `cmake --install` installs (scripts/package; scripts/check-package compares the two).
# Library dependencies come from dpkg-shlibdeps; what no link shows is named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrel-orbit)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGE_CONTACT "Kestrel Orbit developers <maintainers@users.noreply.c-seed-61df8078.example>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${KO_HOMEPAGE_URL})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration utility for the Kestrel Orbit gaming mouse")
# The summary above is the synopsis line; this is the extended description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Sets the DPI stages and report rate of the Kestrel Orbit mouse, what every
button does (keys, key combinations, media keys, macros, DPI and system
functions), macros recorded from the keyboard, the lighting effect and its
colours, and six profiles that can be exported and imported. It lives in the
system tray and also sets the desktop's pointer speed, double-click time and
wheel lines.
.
The package also holds kestrel-orbit-ctl, which does the same from the
command line, and a udev rule that gives the user at the seat access to the
mouse.")

set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so no link names them: the QML modules the UI documents import (QtQuick and
# the modules its qmldir imports), Qt's platform plugins and the Wayland platform.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qml6-module-qtquick, qml6-module-qtqml, qml6-module-qtqml-models, qml6-module-qtqml-workerscript, qt6-qpa-plugins, qt6-wayland")
# The Chinese UI texts need a CJK font; the program runs without one.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-noto-cjk)

set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_CURRENT_LIST_DIR}/debian/postinst ${CMAKE_CURRENT_LIST_DIR}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
