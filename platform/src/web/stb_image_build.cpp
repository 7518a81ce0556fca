// stb_image's decoder for the browser build: Debian's libstb holds native code only, so the page
// compiles the implementation from the same header. The layer uses the decoding from memory
// alone (image_reader.cpp); files are read by the layer itself.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_NO_HDR
#define STBI_NO_LINEAR
#include <stb_image.h>
