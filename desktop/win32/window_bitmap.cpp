#include "desktop/win32/window_bitmap.h"

#include <cstdint>
#include <fstream>
#include <vector>

namespace klxr::win32 {
namespace {

// The window's pixels, bottom row first, rows padded to 4 bytes; empty when they cannot be read.
std::vector<char> ReadPixels(HWND window, BITMAPINFOHEADER& header) {
  RECT frame;
  if (!GetWindowRect(window, &frame)) {
    return {};
  }
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  if (width <= 0 || height <= 0) {
    return {};
  }
  const HDC windowDc = GetWindowDC(window);
  const HDC memoryDc = CreateCompatibleDC(windowDc);
  const HBITMAP bitmap = CreateCompatibleBitmap(windowDc, width, height);
  const HGDIOBJ previous = SelectObject(memoryDc, bitmap);
  BitBlt(memoryDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
  SelectObject(memoryDc, previous);
  header = BITMAPINFOHEADER{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  const int stride = (width * 3 + 3) / 4 * 4;
  header.biSizeImage = static_cast<DWORD>(stride * height);
  std::vector<char> pixels(header.biSizeImage);
  const int rows = GetDIBits(memoryDc, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                             reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memoryDc);
  ReleaseDC(window, windowDc);
  if (rows != height) {
    return {};
  }
  return pixels;
}

}  // namespace

bool SaveWindowBitmap(HWND window, const std::string& path) {
  BITMAPINFOHEADER header;
  const std::vector<char> pixels = ReadPixels(window, header);
  if (pixels.empty()) {
    return false;
  }
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  return static_cast<bool>(out);
}

}  // namespace klxr::win32
