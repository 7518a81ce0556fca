// Animated GIF through giflib (each picture quantised to 256 colours of its own by
// GifQuantizeBuffer) and animated WebP through libwebp's animation encoder, both made in memory
// and written in one go.
#include "app/animated_picture.h"

#include <gif_lib.h>
#include <webp/encode.h>
#include <webp/mux.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// Through the file API, so that the name is taken as the file calls take it (exactly, when marked
// so); a file not written whole is removed.
bool WriteWhole(const std::string& path, const uint8_t* bytes, size_t size, std::string& problem) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    problem = "cannot be created";
    return false;
  }
  bool written = true;
  for (size_t done = 0; written && done < size;) {
    const DWORD chunk = static_cast<DWORD>(size - done < (1u << 30) ? size - done : (1u << 30));
    DWORD wrote = 0;
    written = WriteFile(file, bytes + done, chunk, &wrote, nullptr) && wrote == chunk;
    done += wrote;
  }
  if (CloseHandle(file) && written) return true;
  DeleteFileA(path.c_str());
  problem = "cannot be written whole";
  return false;
}

int AppendBytes(GifFileType* gif, const GifByteType* bytes, int count) {
  static_cast<std::vector<uint8_t>*>(gif->UserData)->insert(
      static_cast<std::vector<uint8_t>*>(gif->UserData)->end(), bytes, bytes + count);
  return count;
}

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int error = 0;
    EGifCloseFile(gif, &error);
  }
};

struct MapFreer {
  void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

// The frame's delay in hundredths of a second: the frame's share of the loop, rounded so that
// the delays add up to the loop's length.
int Hundredths(const AnimatedPicture& picture, size_t frame) {
  const uint32_t end = frame + 1 < picture.starts.size() ? picture.starts[frame + 1] : picture.length;
  return static_cast<int>((end + 5) / 10 - (picture.starts[frame] + 5) / 10);
}

// Encodes into bytes; the file's whole text is there only when true.
bool EncodeGif(const AnimatedPicture& picture, std::vector<uint8_t>& bytes, std::string& problem) {
  int error = 0;
  std::unique_ptr<GifFileType, GifCloser> gif(EGifOpen(&bytes, AppendBytes, &error));
  if (!gif) {
    problem = GifErrorString(error);
    return false;
  }
  EGifSetGifVersion(gif.get(), true);
  const auto failed = [&] {
    problem = GifErrorString(gif->Error);
    return false;
  };
  if (EGifPutScreenDesc(gif.get(), picture.width, picture.height, 8, 0, nullptr) == GIF_ERROR) return failed();
  // Loop for ever (the NETSCAPE2.0 extension, a count of 0).
  const GifByteType loop[3] = {1, 0, 0};
  if (EGifPutExtensionLeader(gif.get(), APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
      EGifPutExtensionBlock(gif.get(), 11, "NETSCAPE2.0") == GIF_ERROR ||
      EGifPutExtensionBlock(gif.get(), 3, loop) == GIF_ERROR || EGifPutExtensionTrailer(gif.get()) == GIF_ERROR)
    return failed();

  const size_t pixels = size_t(picture.width) * size_t(picture.height);
  std::vector<GifByteType> red(pixels), green(pixels), blue(pixels), indices(pixels);
  GifColorType colours[256];
  for (size_t f = 0; f < picture.frames.size(); ++f) {
    const std::vector<uint8_t>& rgb = picture.frames[f];
    for (size_t i = 0; i < pixels; ++i) {
      red[i] = rgb[3 * i];
      green[i] = rgb[3 * i + 1];
      blue[i] = rgb[3 * i + 2];
    }
    int count = 256;
    std::memset(colours, 0, sizeof(colours));
    if (GifQuantizeBuffer(static_cast<unsigned>(picture.width), static_cast<unsigned>(picture.height), &count,
                          red.data(), green.data(), blue.data(), indices.data(), colours) == GIF_ERROR) {
      problem = "a picture could not be reduced to 256 colours";
      return false;
    }
    // The whole table of 256 is written: a map's size is a power of two.
    std::unique_ptr<ColorMapObject, MapFreer> map(GifMakeMapObject(256, colours));
    if (!map) {
      problem = "out of memory";
      return false;
    }
    GraphicsControlBlock control = {};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.DelayTime = Hundredths(picture, f);
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    const size_t length = EGifGCBToExtension(&control, extension);
    if (EGifPutExtension(gif.get(), GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) == GIF_ERROR ||
        EGifPutImageDesc(gif.get(), 0, 0, picture.width, picture.height, false, map.get()) == GIF_ERROR)
      return failed();
    for (int32_t y = 0; y < picture.height; ++y) {
      if (EGifPutLine(gif.get(), indices.data() + size_t(y) * size_t(picture.width), picture.width) == GIF_ERROR)
        return failed();
    }
  }
  GifFileType* open = gif.release();
  if (EGifCloseFile(open, &error) == GIF_ERROR) {
    problem = GifErrorString(error);
    return false;
  }
  return true;
}

struct AnimEncoderDeleter {
  void operator()(WebPAnimEncoder* encoder) const { WebPAnimEncoderDelete(encoder); }
};

}  // namespace

bool WriteAnimatedGif(const std::string& path, const AnimatedPicture& picture, std::string& problem) {
  std::vector<uint8_t> bytes;
  return EncodeGif(picture, bytes, problem) && WriteWhole(path, bytes.data(), bytes.size(), problem);
}

bool WriteAnimatedWebp(const std::string& path, const AnimatedPicture& picture, std::string& problem) {
  WebPAnimEncoderOptions options;
  WebPConfig config;
  if (!WebPAnimEncoderOptionsInit(&options) || !WebPConfigInit(&config)) {
    problem = "libwebp does not match its headers";
    return false;
  }
  options.anim_params.loop_count = 0;  // for ever
  config.lossless = 1;
  // Lossless at a low effort: the pictures stay exact, and a turn of 36 is made in a fraction of
  // a second.
  config.quality = 20;
  config.method = 1;
  std::unique_ptr<WebPAnimEncoder, AnimEncoderDeleter> encoder(
      WebPAnimEncoderNew(picture.width, picture.height, &options));
  if (!encoder) {
    problem = "out of memory";
    return false;
  }
  for (size_t f = 0; f < picture.frames.size(); ++f) {
    WebPPicture frame;
    if (!WebPPictureInit(&frame)) return false;
    frame.use_argb = 1;
    frame.width = picture.width;
    frame.height = picture.height;
    const bool added = WebPPictureImportRGB(&frame, picture.frames[f].data(), picture.width * 3) &&
                       WebPAnimEncoderAdd(encoder.get(), &frame, static_cast<int>(picture.starts[f]), &config);
    WebPPictureFree(&frame);
    if (!added) {
      problem = WebPAnimEncoderGetError(encoder.get());
      return false;
    }
  }
  WebPData data;
  WebPDataInit(&data);
  if (!WebPAnimEncoderAdd(encoder.get(), nullptr, static_cast<int>(picture.length), nullptr) ||
      !WebPAnimEncoderAssemble(encoder.get(), &data)) {
    problem = WebPAnimEncoderGetError(encoder.get());
    return false;
  }
  const bool written = WriteWhole(path, data.bytes, data.size, problem);
  WebPDataClear(&data);
  return written;
}
