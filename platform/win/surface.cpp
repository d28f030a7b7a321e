#include "platform/win/surface.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace altimar::win {

void Surface::Resize(int w, int h, Pixel fill) {
  w = std::max(w, 0);
  h = std::max(h, 0);
  if (w == w_ && h == h_) return;
  std::vector<Pixel> next(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill);
  const int cw = std::min(w, w_), ch = std::min(h, h_);
  for (int y = 0; y < ch; ++y)
    std::memcpy(next.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w), row(y),
                static_cast<std::size_t>(cw) * sizeof(Pixel));
  px_ = std::move(next);
  w_ = w;
  h_ = h;
}

void Surface::Fill(Pixel p) { std::fill(px_.begin(), px_.end(), p); }

void Surface::FillRect(int l, int t, int r, int b, Pixel p) {
  l = std::max(l, 0);
  t = std::max(t, 0);
  r = std::min(r, w_);
  b = std::min(b, h_);
  for (int y = t; y < b; ++y) std::fill(row(y) + l, row(y) + std::max(l, r), p);
}

namespace {

using File = std::unique_ptr<FILE, int (*)(FILE*)>;

void Put16(unsigned char* p, unsigned v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
}
void Put32(unsigned char* p, std::uint32_t v) {
  Put16(p, v & 0xFFFF);
  Put16(p + 2, v >> 16);
}
std::uint32_t Get32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
unsigned Get16(const unsigned char* p) { return p[0] | (p[1] << 8); }

}  // namespace

std::string WriteBmp(const std::string& path, const Surface& s) {
  File f(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!f) return "cannot create " + path + ": " + std::strerror(errno);
  const std::uint32_t stride = (static_cast<std::uint32_t>(s.width()) * 3 + 3) & ~3u;
  const std::uint32_t dataSize = stride * static_cast<std::uint32_t>(s.height());
  unsigned char header[54] = {'B', 'M'};
  Put32(header + 2, 54 + dataSize);
  Put32(header + 10, 54);
  Put32(header + 14, 40);
  Put32(header + 18, static_cast<std::uint32_t>(s.width()));
  Put32(header + 22, static_cast<std::uint32_t>(s.height()));
  Put16(header + 26, 1);
  Put16(header + 28, 24);
  Put32(header + 34, dataSize);
  Put32(header + 38, 3780);  // 96 dpi in pixels per metre
  Put32(header + 42, 3780);
  bool ok = std::fwrite(header, 1, sizeof header, f.get()) == sizeof header;
  std::vector<unsigned char> line(stride, 0);
  for (int y = s.height() - 1; ok && y >= 0; --y) {
    const Pixel* r = s.row(y);
    for (int x = 0; x < s.width(); ++x) {
      line[static_cast<std::size_t>(x) * 3] = static_cast<unsigned char>(r[x]);
      line[static_cast<std::size_t>(x) * 3 + 1] = static_cast<unsigned char>(r[x] >> 8);
      line[static_cast<std::size_t>(x) * 3 + 2] = static_cast<unsigned char>(r[x] >> 16);
    }
    ok = std::fwrite(line.data(), 1, stride, f.get()) == stride;
  }
  if (!ok || std::fflush(f.get()) != 0) return "cannot write " + path + ": " + std::strerror(errno);
  return {};
}

std::string ReadBmp(const std::string& path, Surface& s) {
  File f(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!f) return "cannot open " + path + ": " + std::strerror(errno);
  unsigned char header[54];
  if (std::fread(header, 1, sizeof header, f.get()) != sizeof header || header[0] != 'B' ||
      header[1] != 'M')
    return path + " is not a bitmap file";
  const std::uint32_t offset = Get32(header + 10);
  const auto w = static_cast<std::int32_t>(Get32(header + 18));
  const auto h = static_cast<std::int32_t>(Get32(header + 22));
  if (Get16(header + 28) != 24 || Get32(header + 30) != 0 || w <= 0 || h == 0 || w > 65535 ||
      h > 65535 || h < -65535)
    return path + ": only uncompressed 24-bit bitmaps are read";
  const bool bottomUp = h > 0;
  const int height = bottomUp ? h : -h;
  const std::uint32_t stride = (static_cast<std::uint32_t>(w) * 3 + 3) & ~3u;
  // The pixels must all be in the file before anything is allocated for them.
  if (std::fseek(f.get(), 0, SEEK_END) != 0) return path + ": cannot be read";
  const long fileSize = std::ftell(f.get());
  if (fileSize < 0 || static_cast<std::uint64_t>(offset) + static_cast<std::uint64_t>(stride) * static_cast<std::uint64_t>(height) >
                          static_cast<std::uint64_t>(fileSize))
    return path + ": truncated";
  if (std::fseek(f.get(), static_cast<long>(offset), SEEK_SET) != 0) return path + ": truncated";
  Surface out(w, height);
  std::vector<unsigned char> line(stride);
  for (int k = 0; k < height; ++k) {
    if (std::fread(line.data(), 1, stride, f.get()) != stride) return path + ": truncated";
    const int y = bottomUp ? height - 1 - k : k;
    for (int x = 0; x < w; ++x)
      out.at(x, y) = static_cast<Pixel>(line[static_cast<std::size_t>(x) * 3]) |
                     static_cast<Pixel>(line[static_cast<std::size_t>(x) * 3 + 1]) << 8 |
                     static_cast<Pixel>(line[static_cast<std::size_t>(x) * 3 + 2]) << 16;
  }
  s = std::move(out);
  return {};
}

std::string WritePng(const std::string& path, const Surface& s) {
  File f(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!f) return "cannot create " + path + ": " + std::strerror(errno);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return "cannot start a PNG";
  }
  std::vector<unsigned char> line(static_cast<std::size_t>(s.width()) * 3);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return "cannot write " + path;
  }
  png_init_io(png, f.get());
  png_set_IHDR(png, info, static_cast<png_uint_32>(s.width()), static_cast<png_uint_32>(s.height()),
               8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < s.height(); ++y) {
    const Pixel* r = s.row(y);
    for (int x = 0; x < s.width(); ++x) {
      line[static_cast<std::size_t>(x) * 3] = static_cast<unsigned char>(r[x] >> 16);
      line[static_cast<std::size_t>(x) * 3 + 1] = static_cast<unsigned char>(r[x] >> 8);
      line[static_cast<std::size_t>(x) * 3 + 2] = static_cast<unsigned char>(r[x]);
    }
    png_write_row(png, line.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return {};
}

std::string ReadPng(const std::string& path, Surface& s) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str()))
    return path + " is not a PNG file: " + image.message;
  constexpr png_uint_32 kMaxSide = 16384;
  if (image.width == 0 || image.height == 0 || image.width > kMaxSide || image.height > kMaxSide) {
    png_image_free(&image);
    return path + ": the picture is too large";
  }
  image.format = PNG_FORMAT_BGRA;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(image.width) * image.height);
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
    const std::string why = image.message;
    png_image_free(&image);
    return path + " cannot be read: " + why;
  }
  // Transparent parts show white, as on a page.
  Surface out(static_cast<int>(image.width), static_cast<int>(image.height));
  for (std::size_t k = 0; k < pixels.size(); ++k) {
    const std::uint32_t p = pixels[k];  // bytes B, G, R, A in memory
    const unsigned a = p >> 24;
    auto mix = [a](unsigned c) { return (c * a + 255 * (255 - a) + 127) / 255; };
    const unsigned r = mix((p >> 16) & 0xFF), g = mix((p >> 8) & 0xFF), b = mix(p & 0xFF);
    out.row(static_cast<int>(k / image.width))[k % image.width] = (r << 16) | (g << 8) | b;
  }
  s = std::move(out);
  return {};
}

}  // namespace altimar::win
