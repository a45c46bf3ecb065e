# The Debian package: cpack -G DEB in the build folder.
set(ZINTAR_HOMEPAGE "https://zintar.example/" CACHE STRING "Home page named in the package")
set(CPACK_PACKAGE_NAME zintar)
set(CPACK_PACKAGE_VERSION 2.3)
set(CPACK_PACKAGE_VENDOR "Zintar maintainers")
set(CPACK_PACKAGE_CONTACT "Zintar maintainers <maintainers@users.noreply.c-seed-7856db8b.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "analog clock for the desktop, with alarms and styles")
set(CPACK_PACKAGE_INSTALL_DIRECTORY zintar)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ZINTAR_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# SDL2 and libsndfile are opened at the first sound, not linked, so dpkg-shlibdeps cannot see
# them: they are named here (the audio stream API needs SDL 2.0.7, mp3 files libsndfile 1.1.0).
# CPack adds what dpkg-shlibdeps finds to this list.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl2-2.0-0 (>= 2.0.7), libsndfile1 (>= 1.1.0)")
# The long description under the summary line (CPack indents it as Debian wants).
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Zintar is a small analog clock for the desktop: a round window with a bitmap
face and anti-aliased tapered hands, in five sizes, kept on top of or below
other windows, or half-transparent and click-through. Alarms ring once,
every day or every few minutes; they show a notification with snooze, play
a sound and can start a program.")

include(CPack)
