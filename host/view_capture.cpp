#include "host/view_capture.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/win/gdi.h"

namespace altimar::host {

using namespace altimar::win;

std::string CaptureView(Desktop& d, automation::IApplicationGE& ge, forms::PictureBox& picBmp,
                        const std::string& programDir, HWND& renderHwnd) {
  Gdi& gdi = d.gdi();
  const HDC screen = gdi.GetDC(d.GetDesktopWindow());
  gdi.SetROP2(screen, R2_NOTXORPEN);
  struct Release {
    Gdi& gdi;
    HWND desktop;
    HDC dc;
    ~Release() { gdi.ReleaseDC(desktop, dc); }
  } release{gdi, d.GetDesktopWindow(), screen};

  renderHwnd = ge.GetRenderHwnd();
  d.Sleep(100);  // the menu closes and the globe repaints
  RECT r;
  if (!d.GetWindowRect(renderHwnd, &r)) return {};
  r.left = std::max<LONG>(r.left, 0);
  r.top = std::max<LONG>(r.top, 0);
  r.right = std::min<LONG>(r.right, d.width());
  r.bottom = std::min<LONG>(r.bottom, d.height());
  const int w = std::max<LONG>(0, r.width()), h = std::max<LONG>(0, r.height());
  picBmp.Move(0, 0, forms::ToTwips(w), forms::ToTwips(h));

  const HDC memory = gdi.CreateCompatibleDC(screen);
  const HBITMAP bitmap = gdi.CreateCompatibleBitmap(screen, w, h);
  const HGDIOBJ old = gdi.SelectObject(memory, bitmap);
  gdi.BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  const HDC picture = picBmp.hDC();
  gdi.BitBlt(picture, 0, 0, w, h, memory, 0, 0, SRCCOPY);
  gdi.ReleaseDC(picBmp.hwnd(), picture);
  gdi.SelectObject(memory, old);
  gdi.DeleteObject(bitmap);
  gdi.DeleteDC(memory);
  picBmp.Refresh();

  // Written beside the old file, then moved over it: a failed write keeps it.
  const std::filesystem::path path = std::filesystem::path(programDir) / "Altimar.bmp";
  const std::string temporary = path.string() + ".part";
  if (std::string err = WriteBmp(temporary, picBmp.Canvas()); !err.empty()) return err;
  std::error_code ec;
  std::filesystem::rename(temporary, path, ec);
  if (ec) {
    std::filesystem::remove(temporary, ec);
    return "cannot write " + path.string();
  }
  return {};
}

}  // namespace altimar::host
