// tinygltf's writer for the browser build: Debian's libtinygltf holds native code only, so the
// page compiles the implementation from the same header. Images are never decoded or encoded by
// it (the exporter hands it PNG bytes already made) and no file is read or written through it.
#define TINYGLTF_IMPLEMENTATION
#include <tiny_gltf.h>
