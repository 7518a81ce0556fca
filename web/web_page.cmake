# build-web/: index.html, kvrview-page.js, and the program as kvrview.js + kvrview.wasm, with the
# sample data set and the font in kvrview.data (mounted at /sample and /fonts in the page's
# memory file system).
set(KVR_WEB_FONT /usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf CACHE FILEPATH
    "The font the page draws text with (Debian's fonts-liberation)")
if(NOT EXISTS ${KVR_WEB_FONT})
  message(FATAL_ERROR "${KVR_WEB_FONT} is missing (scripts/install-deps installs fonts-liberation)")
endif()

add_executable(kvrview app/win_main_anchor.cc)
set_target_properties(kvrview PROPERTIES SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
file(GLOB_RECURSE KVR_SAMPLE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/sample/*)
set_property(TARGET kvrview APPEND PROPERTY LINK_DEPENDS ${KVR_SAMPLE_FILES} ${KVR_WEB_FONT})
target_link_libraries(kvrview PRIVATE -Wl,--whole-archive kvrcore -Wl,--no-whole-archive kvrplatform_main
                      kvrplatform)
target_link_options(kvrview PRIVATE
  "SHELL:--preload-file ${CMAKE_SOURCE_DIR}/sample@/sample"
  "SHELL:--preload-file ${KVR_WEB_FONT}@/fonts/LiberationSans-Bold.ttf"
  -sFORCE_FILESYSTEM=1
  # The page presses keys, and takes the model shown as a .glb ("Download as glTF").
  -sEXPORTED_FUNCTIONS=_main,_kvr_page_key,_kvr_page_export_glb,_kvr_page_export_bytes,_kvr_page_export_text,_kvr_page_export_release
  -sEXPORTED_RUNTIME_METHODS=FS,ccall,HEAPU8,UTF8ToString
  # The program runs once per page: when it ends (Escape), the page says so; its files stay.
  -sEXIT_RUNTIME=1
  -sINITIAL_MEMORY=67108864)

foreach(page index.html kvrview-page.js)
  configure_file(${CMAKE_SOURCE_DIR}/web/${page} ${CMAKE_BINARY_DIR}/${page} COPYONLY)
endforeach()

# For the browser test (build-web/tests/): GDI's cells and text extents as the canvas gives them,
# compared with the native build's FreeType ones.
add_executable(kvr_gdi_cells tests/web/gdi_cells.cpp)
set_target_properties(kvr_gdi_cells PROPERTIES SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
target_link_libraries(kvr_gdi_cells PRIVATE kvrplatform)
target_link_options(kvr_gdi_cells PRIVATE
  "SHELL:--preload-file ${KVR_WEB_FONT}@/fonts/LiberationSans-Bold.ttf" -sFORCE_FILESYSTEM=1 -sEXIT_RUNTIME=0)
configure_file(${CMAKE_SOURCE_DIR}/tests/web/gdi_cells.html ${CMAKE_BINARY_DIR}/tests/gdi_cells.html COPYONLY)

# The layer for the user's own programs as pages: kvrplatform-web.pc and what it names.
include(${CMAKE_SOURCE_DIR}/cmake/kvrplatform_web.cmake)
