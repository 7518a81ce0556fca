# The Debian packages, `cpack` in the build folder (or `make package`), one per install component
# of cmake/install.cmake, both under /usr:
#   kvrview_<version>_amd64.deb             component viewer: the program, its man page,
#                                           completions, desktop files and the sample data set
#   libkvrplatform-dev_<version>_amd64.deb  component dev: the layer's static libraries, headers
#                                           and pkg-config file, for building other programs
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kvrview)
set(CPACK_PACKAGE_VENDOR "The kvrview developers")
set(CPACK_PACKAGE_CONTACT "The kvrview developers <developers@kvrview.org>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_HOMEPAGE_URL "http://www.kvrview.org")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL viewer dev)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # <package>_<version>_<architecture>.deb
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

# Debian's descriptions: a summary line, then paragraphs (CPack indents them and turns empty lines
# into " .").
set(CPACK_DEBIAN_VIEWER_PACKAGE_NAME kvrview)
set(CPACK_DEBIAN_VIEWER_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_VIEWER_DESCRIPTION
"viewer for the 3D models of a strategy game's data set
kvrview shows the models of a real-time strategy game's data set one at a time:
PIE models with their DDS texture pages (DXT1, DXT3, DXT5 and uncompressed)
and ANIM3D keyframe animations, textured and unlit, optionally turning, with
the animations playing. Clickable panels list the categories and their models.
Modders and artists use it to check their work: files changed on disk are read
again while it runs, and kvrview --check lists a data set's problems
without opening a window.

Data sets are treated as hostile: nothing outside the data set's folder is
read, special files and oversized pages are refused, and what cannot be
loaded is listed in a log while the rest is shown. A data set in a folder the
user cannot write (the sample data set this package holds, say) is opened
read-only: the log and pictures go to the user's own folders.")
set(CPACK_DEBIAN_VIEWER_PACKAGE_SHLIBDEPS ON)
# SDL2 and libepoxy open OpenGL with dlopen, so dpkg-shlibdeps cannot see it: the X11 window and
# the headless commands' offscreen one use GLX and EGL, drawn by Mesa where there is no GPU.
set(CPACK_DEBIAN_VIEWER_PACKAGE_DEPENDS "libgl1, libegl1")
set(CPACK_DEBIAN_VIEWER_PACKAGE_RECOMMENDS "libgl1-mesa-dri, fonts-liberation")
set(CPACK_DEBIAN_VIEWER_PACKAGE_SUGGESTS "libkvrplatform-dev")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME libkvrplatform-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_DESCRIPTION
"Win32 and Direct3D 9 subset on SDL2 and OpenGL (development files)
kvrplatform is the layer on which kvrview, a Win32 and Direct3D 9 program,
runs on Linux: windows, messages, input, files, GDI text, Direct3D 9 on
OpenGL 3.3 and D3DX textures and math, behind the Windows SDK's own headers.
A plain Win32/Direct3D 9 program limited to the same subset builds against it
unmodified:

  c++ prog.cpp $(pkg-config --cflags --libs kvrplatform)

This package holds the static libraries, the headers and the pkg-config file.")
# What kvrplatform.pc names: its Requires.private and its Libs (-lsquish, -lstb, -lpng16, and
# libc's -lm -lpthread -ldl), and OpenGL, which libepoxy opens at run time.
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS
    "libsdl2-dev, libepoxy-dev, libfreetype-dev, libfontconfig-dev, libsquish-dev, libpng-dev, libstb-dev, libc6-dev | libc-dev, libgl1, libegl1")
set(CPACK_DEBIAN_DEV_PACKAGE_RECOMMENDS "libgl1-mesa-dri, fonts-liberation")

include(CPack)
