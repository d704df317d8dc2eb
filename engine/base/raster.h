#pragma once
// A picture as 32-bit pixels 0x00BBGGRR (red in the low byte), row by row from the top-left.

#include <cstdint>
#include <vector>

namespace tivenor {

inline constexpr uint32_t kRed = 255;
inline constexpr uint32_t kGreen = 65280;
inline constexpr uint32_t kBlue = 16711680;
inline constexpr uint32_t kYellow = 65535;

struct PixelPoint {
  int32_t x = 0;
  int32_t y = 0;
  friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

struct Raster {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;

  // Makes a width x height raster filled with one colour, reusing the storage it has.
  void Resize(int32_t newWidth, int32_t newHeight, uint32_t colour = 0);
  // The same for a raster whose every pixel the caller writes next: pixels kept from before are
  // not filled again.
  void ResizeForOverwrite(int32_t newWidth, int32_t newHeight);
  // Makes this raster a copy of `from`, reusing the storage it has.
  void CopyFrom(const Raster& from);
  // Empties the raster and gives its storage back.
  void Release();

  bool Contains(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  // A pixel outside the raster reads as black: never bright, never taken by a fill.
  uint32_t Pixel(int32_t x, int32_t y) const { return Contains(x, y) ? pixels[Index(x, y)] : 0u; }
  // Writing outside the raster does nothing.
  void SetPixel(int32_t x, int32_t y, uint32_t colour) {
    if (Contains(x, y)) pixels[Index(x, y)] = colour;
  }

 private:
  std::size_t Index(int32_t x, int32_t y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
           static_cast<std::size_t>(x);
  }
};

// Filled ellipse in the bounding rectangle l <= x < r, t <= y < b: a pixel is covered when its
// centre (x + 0.5, y + 0.5) lies inside or on the ellipse. Pen and fill are one colour.
void FillEllipse(Raster& raster, int32_t left, int32_t top, int32_t right, int32_t bottom,
                 uint32_t colour);

// Bresenham line from (x0, y0) to (x1, y1), both ends drawn; pixels outside are skipped.
void DrawLine(Raster& raster, PixelPoint from, PixelPoint to, uint32_t colour);

}  // namespace tivenor
