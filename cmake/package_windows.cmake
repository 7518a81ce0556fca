# The Windows zip, `cpack` in the Windows build folder (or `make package-windows`):
# kvrview-<version>-windows.zip holding kvrview-<version>-windows/ with kvrview.exe, README.md
# and the sample data set. The program needs nothing else but d3dx9_43.dll, the DirectX 9
# runtime's D3DX, which Windows does not always have.
install(TARGETS kvrview RUNTIME DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION .)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/sample/ DESTINATION sample PATTERN .gitattributes EXCLUDE)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME kvrview)
set(CPACK_PACKAGE_VENDOR "The kvrview developers")
set(CPACK_PACKAGE_FILE_NAME kvrview-${PROJECT_VERSION}-windows)
set(CPACK_STRIP_FILES ON)
include(CPack)
