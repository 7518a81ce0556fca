# The Debian package, `cpack` in the build folder (or `make package`): kvrview_<version>_amd64.deb
# holding what cmake/install.cmake installs, under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kvrview)
set(CPACK_PACKAGE_VENDOR "The kvrview developers")
set(CPACK_PACKAGE_CONTACT "The kvrview developers <developers@kvrview.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "http://www.kvrview.org")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

# Debian's description: a summary line, then paragraphs (CPack indents them and turns empty lines
# into " .").
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for the 3D models of a strategy game's data set")
set(CPACK_PACKAGE_DESCRIPTION
"kvrview shows the models of a real-time strategy game's data set one at a time:
PIE models with their DDS texture pages (DXT1, DXT3, DXT5 and uncompressed)
and ANIM3D keyframe animations, textured and unlit, optionally turning, with
the animations playing. Clickable panels list the categories and their models.
Modders and artists use it to check their work: files changed on disk are read
again while it runs, and kvrview --check lists a data set's problems
without opening a window.

Data sets are treated as hostile: nothing outside the data set's folder is
read, special files and oversized pages are refused, and what cannot be
loaded is listed in a log while the rest is shown.

The package also holds a sample data set, and kvrplatform, the static library
(with headers and a pkg-config file) on which the Win32 and Direct3D 9 program
runs here: a plain Win32/Direct3D 9 program limited to the same subset builds
against it.")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # kvrview_<version>_<architecture>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# SDL2 and libepoxy open OpenGL with dlopen, so dpkg-shlibdeps cannot see it: the X11 window and
# the headless commands' offscreen one use GLX and EGL, drawn by Mesa where there is no GPU.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libegl1")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri, fonts-liberation")
# What a program built against kvrplatform.pc links besides the layer.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS
    "libsdl2-dev, libepoxy-dev, libfreetype-dev, libfontconfig-dev, libsquish-dev, libpng-dev, libstb-dev")

include(CPack)
