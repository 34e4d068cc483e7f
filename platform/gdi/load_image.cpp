#include "platform/gdi/load_image.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dib_decoder.h"
#include "platform/gdi/stretch_core.h"

namespace {

// The whole of a regular file, or nullopt.
std::optional<std::vector<BYTE>> ReadWholeFile(const char* path) {
  // O_NONBLOCK so that naming a FIFO cannot hang the caller before the
  // regular-file check refuses it.
  const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  std::optional<std::vector<BYTE>> result;
  struct stat st {};
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
      static_cast<std::uint64_t>(st.st_size) <= kp::gdi::kMaxImageFileBytes) {
    std::vector<BYTE> bytes(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    bool ok = true;
    while (done < bytes.size()) {
      const ssize_t n = read(fd, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        ok = false;  // an error, or the file shrank while being read
        break;
      }
      done += static_cast<std::size_t>(n);
    }
    if (ok) result = std::move(bytes);
  }
  close(fd);
  return result;
}

kp::gdi::ImageFileDecoder& FileDecoder() {
  static kp::gdi::ImageFileDecoder decoder = nullptr;
  return decoder;
}

}  // namespace

namespace kp::gdi {

void SetImageFileDecoder(ImageFileDecoder decoder) { FileDecoder() = decoder; }

HBITMAP LoadBitmapFromBytes(std::span<const BYTE> bytes, int cx, int cy) {
  if (cx < 0 || cy < 0) return nullptr;
  const ImageFileDecoder decoder = FileDecoder();
  std::optional<DecodedImage> image = IsBmpFile(bytes) ? DecodeBmpFile(bytes) : decoder ? decoder(bytes) : std::nullopt;
  if (!image) return nullptr;
  const int width = cx ? cx : image->width;
  const int height = cy ? cy : image->height;
  if (width == image->width && height == image->height)
    return CreateBitmapFromPixels(width, height, image->bitsPerPixel, image->pixels);
  if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxBitmapBytes / 4) return nullptr;
  std::vector<std::uint32_t> scaled(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  // Rows are bottom-up on both sides; the floor rule is applied top-down, as
  // StretchBlt applies it, so rows are flipped on the way in and out.
  const int sourceHeight = image->height, sourceWidth = image->width;
  detail::ForEachStretchedPixel(sourceWidth, sourceHeight, 0, 0, sourceWidth, sourceHeight, width, height, 0, 0, width,
                                height, [&](int tx, int ty, int sx, int sy) {
                                  scaled[static_cast<std::size_t>(height - 1 - ty) * width + tx] =
                                      image->pixels[static_cast<std::size_t>(sourceHeight - 1 - sy) * sourceWidth + sx];
                                });
  return CreateBitmapFromPixels(width, height, image->bitsPerPixel, scaled);
}

}  // namespace kp::gdi

namespace {

kp::gdi::ResourceImageLoader& ResourceLoader() {
  static kp::gdi::ResourceImageLoader loader = nullptr;
  return loader;
}

}  // namespace

void kp::gdi::SetResourceImageLoader(ResourceImageLoader loader) { ResourceLoader() = loader; }

HANDLE LoadImage(HINSTANCE instance, LPCTSTR name, UINT type, int cx, int cy, UINT flags) {
  if (!(flags & LR_LOADFROMFILE)) {
    const kp::gdi::ResourceImageLoader loader = ResourceLoader();
    return loader ? loader(instance, name, type, cx, cy, flags) : nullptr;
  }
  if (type != IMAGE_BITMAP || !name || IS_INTRESOURCE(name)) return nullptr;
  const std::optional<std::vector<BYTE>> bytes = ReadWholeFile(name);
  if (!bytes) return nullptr;
  return kp::gdi::LoadBitmapFromBytes(*bytes, cx, cy);
}
