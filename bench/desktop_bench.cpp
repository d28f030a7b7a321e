// The desktop's hot paths: DoEvents with nothing pending (called after
// every grid cell of a range scan), composing a full screen, and drawing
// many short lines through a device context.
#include <benchmark/benchmark.h>

#include "platform/win/desktop.h"
#include "platform/win/gdi.h"

namespace {

using namespace altimar::win;

void BM_DoEventsIdle(benchmark::State& state) {
  Desktop d(Clock::Kind::Real);
  for (auto _ : state) d.DoEvents();
}
BENCHMARK(BM_DoEventsIdle);

// With a timer that is not due, as in the running program (its status timer).
void BM_DoEventsIdleWithTimer(benchmark::State& state) {
  Desktop d(Clock::Kind::Real);
  const int p = d.StartProgram("p");
  const HWND w = d.CreateWindowExA(0, "c", "w", WS_VISIBLE, 0, 0, 10, 10, 0, p);
  d.SetTimer(w, 1, 1000000, [] {});
  for (auto _ : state) d.DoEvents();
}
BENCHMARK(BM_DoEventsIdleWithTimer);

// A screen like the program's: the globe filling most of it with children,
// the workspace form, a layered window.
void BM_ComposeScreen(benchmark::State& state) {
  Desktop d(Clock::Kind::Virtual);
  const int p = d.StartProgram("p");
  const HWND main = d.CreateWindowExA(0, "QWidget", "Google Earth", WS_VISIBLE, 0, 0, 1280, 770, 0, p);
  d.SetFrame(main, {4, 30, 4, 4});
  d.CreateWindowExA(0, "QWidget", "menubar", WS_VISIBLE, 0, 0, 1272, 22, main, p);
  d.CreateWindowExA(0, "QWidget", "render", WS_VISIBLE, 0, 22, 1272, 714, main, p);
  d.CreateWindowExA(0, "ThunderFormDC", "Altimar", WS_VISIBLE, 900, 100, 360, 500, 0, p);
  const HWND fade = d.CreateWindowExA(WS_EX_LAYERED, "Fade", "", WS_VISIBLE, 300, 300, 300, 200, 0, p);
  d.SetLayeredWindowAttributes(fade, 0, 160, LWA_ALPHA);
  for (auto _ : state) {
    d.MarkScreenDirty();
    benchmark::DoNotOptimize(d.ComposeScreen().at(640, 400));
  }
}
BENCHMARK(BM_ComposeScreen)->Unit(benchmark::kMillisecond);

// Lines one pixel wide, 20 pixels long, XOR drawn (as the rubber shapes are).
void BM_TenThousandOnePixelLines(benchmark::State& state) {
  Desktop d(Clock::Kind::Virtual);
  const int p = d.StartProgram("p");
  const HWND w = d.CreateWindowExA(0, "c", "w", WS_VISIBLE, 0, 0, 1000, 700, 0, p);
  Gdi& g = d.gdi();
  const HDC dc = g.GetDC(w);
  const HPEN pen = g.CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  g.SelectObject(dc, pen);
  g.SetROP2(dc, R2_XORPEN);
  for (auto _ : state) {
    for (int k = 0; k < 10000; ++k) {
      const int x = (k * 37) % 990, y = (k * 53) % 690;
      g.MoveToEx(dc, x, y, nullptr);
      g.LineTo(dc, x + 20, y + 7);
    }
  }
  g.ReleaseDC(w, dc);
}
BENCHMARK(BM_TenThousandOnePixelLines)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
