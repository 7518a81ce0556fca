# The glTF writer in the browser build. tinygltf and the JSON library it writes with are headers
# (Debian's libtinygltf-dev, nlohmann-json3-dev): just those are copied into the build folder, so
# that no header of the machine's own C library can come before emscripten's. stb_image_write
# (libstb-dev) encodes the page's PNG, as libpng does in the native build. The flags are the
# writer's sources' alone: the rest of the program compiles as before.
find_file(KVR_TINYGLTF_HEADER tiny_gltf.h PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_path(KVR_NLOHMANN_DIR nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_path(KVR_STB_WRITE_DIR stb_image_write.h PATHS /usr/include/stb NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(KVR_GLTF_HEADERS ${CMAKE_BINARY_DIR}/gltf_headers)
file(COPY ${KVR_TINYGLTF_HEADER} DESTINATION ${KVR_GLTF_HEADERS})
file(COPY ${KVR_NLOHMANN_DIR}/nlohmann DESTINATION ${KVR_GLTF_HEADERS})
set_source_files_properties(exchange/gltf_export.cpp exchange/tinygltf_build.cpp exchange/png_bytes_stb.cpp
  DIRECTORY ${CMAKE_SOURCE_DIR}
  PROPERTIES
    COMPILE_OPTIONS "-isystem${KVR_GLTF_HEADERS};-isystem${KVR_STB_WRITE_DIR}"
    COMPILE_DEFINITIONS "TINYGLTF_NO_STB_IMAGE;TINYGLTF_NO_STB_IMAGE_WRITE;TINYGLTF_NO_EXTERNAL_IMAGE")
