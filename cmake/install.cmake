# Installing kvrview on Linux (`cmake --install`, `make install`, and cpack's staging), in two
# components, one Debian package each (cmake/package.cmake):
# viewer (kvrview)
#   bin/kvrview                                  the viewer
#   share/kvrview/sample/                        the sample data set
#   share/man/man1/kvrview.1.gz                  made by help2man from --help and --version
#   share/bash-completion/completions/kvrview
#   share/applications/kvrview.desktop           opens a folder, a model file or a manifest
#   share/mime/packages/kvrview.xml              the file types of a data set
#   share/thumbnailers/kvrview.thumbnailer       kvrview --thumbnail for file managers
#   share/metainfo/org.kvrview.kvrview.metainfo.xml  for software centres
#   share/icons/hicolor/*/apps/kvrview.*         the icon: SVG and PNGs of 16 to 256 pixels
#   share/zsh/vendor-completions/_kvrview, share/fish/vendor_completions.d/kvrview.fish
#   share/doc/kvrview/                           README.md, copyright, changelog.gz
# dev (libkvrplatform-dev)
#   LIBDIR/libkvrplatform.a, libkvrplatform_main.a  the layer and its process entry (main calling
#                                                WinMain), for plain Win32/Direct3D 9 programs
#   include/kvrplatform/                         the layer's Windows SDK headers
#   LIBDIR/pkgconfig/kvrplatform.pc              naming the installed prefix
#   share/doc/libkvrplatform-dev/                the layer's part of the README, copyright,
#                                                changelog.gz
# LIBDIR is Debian's multiarch folder (lib/x86_64-linux-gnu) under /usr, where the package
# installs, and the configured one (lib) under any other prefix, /usr/local say.
include(GNUInstallDirs)

set(KVR_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)

# ---- viewer

install(TARGETS kvrview RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT viewer)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/sample/ DESTINATION ${CMAKE_INSTALL_DATADIR}/kvrview/sample
        COMPONENT viewer PATTERN .gitattributes EXCLUDE)

# The man page is made from the built program's --help and --version, with the sections they
# lack from packaging/kvrview.h2m. The sanitizer builds make it too, with leak reports off: one
# would fail the build over a man page.
find_program(KVR_HELP2MAN help2man)
if(KVR_HELP2MAN)
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/kvrview.1
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
            ${KVR_HELP2MAN} --no-info --name "view the 3D models of a strategy game's data set"
            --include ${KVR_PACKAGING_DIR}/kvrview.h2m
            --output ${CMAKE_BINARY_DIR}/kvrview.1
            $<TARGET_FILE:kvrview>
    DEPENDS kvrview ${KVR_PACKAGING_DIR}/kvrview.h2m
    COMMENT "Writing the man page kvrview.1 with help2man"
    VERBATIM)
  # Installed compressed, as Debian wants (gzip -9n: no name or time in the header, so the same
  # page makes the same bytes); kvrview.1 stays for `man ./kvrview.1`.
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/packaging/kvrview.1.gz
    COMMAND gzip -9n -c ${CMAKE_BINARY_DIR}/kvrview.1 > ${CMAKE_BINARY_DIR}/packaging/kvrview.1.gz
    DEPENDS ${CMAKE_BINARY_DIR}/kvrview.1)
  add_custom_target(kvrview_man ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/kvrview.1.gz)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/kvrview.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
          COMPONENT viewer)
else()
  message(WARNING "help2man is missing (scripts/install-deps installs it): no man page is made, "
                  "and installs and packages have none")
endif()

install(FILES ${KVR_PACKAGING_DIR}/kvrview.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME kvrview COMPONENT viewer)
install(FILES ${KVR_PACKAGING_DIR}/kvrview.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        COMPONENT viewer)
install(FILES ${KVR_PACKAGING_DIR}/kvrview.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        COMPONENT viewer)
install(FILES ${KVR_PACKAGING_DIR}/kvrview.thumbnailer DESTINATION ${CMAKE_INSTALL_DATADIR}/thumbnailers
        COMPONENT viewer)
install(FILES ${KVR_PACKAGING_DIR}/org.kvrview.kvrview.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
        COMPONENT viewer)
install(FILES ${KVR_PACKAGING_DIR}/icons/kvrview.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT viewer)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${KVR_PACKAGING_DIR}/icons/kvrview-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME kvrview.png COMPONENT viewer)
endforeach()
install(FILES ${KVR_PACKAGING_DIR}/kvrview.zsh DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions
        RENAME _kvrview COMPONENT viewer)
install(FILES ${KVR_PACKAGING_DIR}/kvrview.fish DESTINATION ${CMAKE_INSTALL_DATADIR}/fish/vendor_completions.d
        COMPONENT viewer)

# The packages are made here, from our own source, so Debian counts them as native: their changelog
# is changelog.gz, not changelog.Debian.gz. Each package carries its own copy of it and of the
# copyright file in its documentation folder.
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  COMMAND gzip -9n -c ${KVR_PACKAGING_DIR}/changelog > ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  DEPENDS ${KVR_PACKAGING_DIR}/changelog)
add_custom_target(kvrview_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${KVR_PACKAGING_DIR}/copyright
              ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT viewer)

# ---- dev

# Where the libraries and kvrplatform.pc go, decided when installing (cpack installs under /usr
# whatever the build was configured with): the rules below name it as ${KVR_INSTALL_LIBDIR}, which
# the install script expands then.
if(CMAKE_LIBRARY_ARCHITECTURE)
  set(KVR_MULTIARCH_LIBDIR lib/${CMAKE_LIBRARY_ARCHITECTURE})
else()
  set(KVR_MULTIARCH_LIBDIR ${CMAKE_INSTALL_LIBDIR})
endif()
install(CODE "
  if(CMAKE_INSTALL_PREFIX MATCHES \"^/usr/?\$\")
    set(KVR_INSTALL_LIBDIR \"${KVR_MULTIARCH_LIBDIR}\")
  else()
    set(KVR_INSTALL_LIBDIR \"${CMAKE_INSTALL_LIBDIR}\")
  endif()" COMPONENT dev)

install(TARGETS kvrplatform kvrplatform_main ARCHIVE DESTINATION "\${KVR_INSTALL_LIBDIR}" COMPONENT dev)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/platform/include/
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kvrplatform COMPONENT dev FILES_MATCHING PATTERN "*.h")

# platform/CMakeLists.txt wrote the pkg-config file with every flag but the prefix and the library
# folder, which are known only now.
install(CODE "
  set(KVR_INSTALL_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
  configure_file(\"${CMAKE_BINARY_DIR}/packaging/kvrplatform.pc.in\"
                 \"${CMAKE_BINARY_DIR}/packaging/kvrplatform.pc\" @ONLY)" COMPONENT dev)
install(FILES ${CMAKE_BINARY_DIR}/packaging/kvrplatform.pc DESTINATION "\${KVR_INSTALL_LIBDIR}/pkgconfig"
        COMPONENT dev)

# The layer's documentation is its section of the README ("The platform layer"), taken out at
# build time so that the two never differ.
set(KVR_LAYER_README ${CMAKE_BINARY_DIR}/packaging/libkvrplatform-dev/README.md)
add_custom_command(
  OUTPUT ${KVR_LAYER_README}
  COMMAND ${CMAKE_COMMAND} -DREADME=${CMAKE_SOURCE_DIR}/README.md -DOUTPUT=${KVR_LAYER_README}
          -P ${CMAKE_SOURCE_DIR}/cmake/layer_readme.cmake
  DEPENDS ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/cmake/layer_readme.cmake)
add_custom_target(kvrplatform_readme ALL DEPENDS ${KVR_LAYER_README})
install(FILES ${KVR_LAYER_README} ${KVR_PACKAGING_DIR}/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/libkvrplatform-dev COMPONENT dev)

# A stripped install (cpack with CPACK_STRIP_FILES, `cmake --install --strip`) strips the program
# but leaves static libraries whole, 7 MB of debug information included. Here they lose that
# information (only that: without their symbols nothing could link against them), and both lose
# the compiler's .comment and .note sections, as dh_strip does.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(library libkvrplatform.a libkvrplatform_main.a)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-debug --remove-section=.comment
                              --remove-section=.note --enable-deterministic-archives
                              \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${KVR_INSTALL_LIBDIR}/\${library}\"
                              COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()" COMPONENT dev)
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/kvrview\"
                            COMMAND_ERROR_IS_FATAL ANY)
  endif()" COMPONENT viewer)
