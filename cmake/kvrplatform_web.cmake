# kvrplatform-web: the layer as the browser build makes it, for the user's own programs. A program
# written for Windows becomes a page with
#   emcc prog.cpp $(pkg-config --cflags --libs kvrplatform-web) -o prog.html
# which links the layer and its process entry, and brings the page round the program (its HTML,
# web/kvrplatform-shell.html; its start-up script, web/kvrplatform-page.js) and the font GDI text
# is drawn with. In the build tree, build-web/kvrplatform-web.pc names the build's own files;
# `cmake --install build-web --prefix DIR` installs
#   LIBDIR/kvrplatform-web/libkvrplatform.a, libkvrplatform_main.a
#   include/kvrplatform/                   the layer's Windows SDK headers
#   share/kvrplatform-web/                 the page's HTML, script and font
#   LIBDIR/pkgconfig/kvrplatform-web.pc    naming them relative to itself, so DIR may move
include(GNUInstallDirs)

set(KVR_WEB_PAGE_FILES ${CMAKE_SOURCE_DIR}/web/kvrplatform-shell.html ${CMAKE_SOURCE_DIR}/web/kvrplatform-page.js)
set(KVR_WEB_PAGE_DIR ${CMAKE_BINARY_DIR}/kvrplatform-web)
foreach(file ${KVR_WEB_PAGE_FILES} ${KVR_WEB_FONT})
  get_filename_component(name ${file} NAME)
  configure_file(${file} ${KVR_WEB_PAGE_DIR}/${name} COPYONLY)
endforeach()

set(KVR_PC_PREFIX ${CMAKE_BINARY_DIR})
set(KVR_PC_INCLUDE ${CMAKE_SOURCE_DIR}/platform/include)
set(KVR_PC_LIBDIR ${CMAKE_BINARY_DIR}/platform)
set(KVR_PC_PAGEDIR ${KVR_WEB_PAGE_DIR})
configure_file(${CMAKE_SOURCE_DIR}/platform/kvrplatform-web.pc.in ${CMAKE_BINARY_DIR}/kvrplatform-web.pc @ONLY)

file(RELATIVE_PATH KVR_PC_UP /root/${CMAKE_INSTALL_LIBDIR}/pkgconfig /root)
string(REGEX REPLACE "/$" "" KVR_PC_UP "${KVR_PC_UP}")
set(KVR_PC_PREFIX "\${pcfiledir}/${KVR_PC_UP}")
set(KVR_PC_INCLUDE "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}/kvrplatform")
set(KVR_PC_LIBDIR "\${prefix}/${CMAKE_INSTALL_LIBDIR}/kvrplatform-web")
set(KVR_PC_PAGEDIR "\${prefix}/${CMAKE_INSTALL_DATADIR}/kvrplatform-web")
configure_file(${CMAKE_SOURCE_DIR}/platform/kvrplatform-web.pc.in ${CMAKE_BINARY_DIR}/packaging/kvrplatform-web.pc
               @ONLY)

install(TARGETS kvrplatform kvrplatform_main ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}/kvrplatform-web)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/platform/include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kvrplatform)
install(FILES ${KVR_WEB_PAGE_FILES} ${KVR_WEB_FONT} DESTINATION ${CMAKE_INSTALL_DATADIR}/kvrplatform-web)
install(FILES ${CMAKE_BINARY_DIR}/packaging/kvrplatform-web.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
