#include "screenshot.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#ifndef TESSARO_SCREENSHOT_DIR
#error "TESSARO_SCREENSHOT_DIR names the folder for screenshots"
#endif

namespace support {

std::string ScreenshotPath(const std::string& name) {
  const std::string folder = TESSARO_SCREENSHOT_DIR;
  ::CreateDirectoryA(folder.c_str(), nullptr);
  return folder + "/" + name + ".bmp";
}

bool SaveScreenshot(const std::string& path) {
  // The whole virtual desktop: on two monitors both of them.
  const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int width = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
  if (width <= 0 || height <= 0) return false;

  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = height;  // bottom-up, as BMP files store their rows
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3U;
  info.biSizeImage = stride * static_cast<DWORD>(height);

  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  void* pixels = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                      &pixels, nullptr, 0);
  bool copied = false;
  if (bitmap != nullptr) {
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    copied = ::BitBlt(memory, 0, 0, width, height, screen, left, top, SRCCOPY) != FALSE;
    ::GdiFlush();
    ::SelectObject(memory, old);
  }

  bool written = false;
  if (copied) {
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + info.biSizeImage;
    if (std::FILE* out = std::fopen(path.c_str(), "wb")) {
      written = std::fwrite(&file, sizeof(file), 1, out) == 1 &&
                std::fwrite(&info, sizeof(info), 1, out) == 1 &&
                std::fwrite(pixels, info.biSizeImage, 1, out) == 1;
      written = std::fclose(out) == 0 && written;
    }
  }
  if (bitmap != nullptr) ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return written;
}

}  // namespace support
