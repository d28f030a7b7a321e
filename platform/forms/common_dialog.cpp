#include "platform/forms/common_dialog.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>

#include "platform/forms/paint.h"

namespace altimar::forms {

using namespace altimar::win;
namespace fs = std::filesystem;

namespace {
constexpr int kRow = 18;
constexpr int kWidth = 420, kHeight = 360;

// "#RRGGBB" or a Win32 colour number.
bool ParseColour(const std::string& text, COLORREF& out) {
  if (!text.empty() && text[0] == '#' && text.size() == 7) {
    unsigned v = 0;
    auto r = std::from_chars(text.data() + 1, text.data() + 7, v, 16);
    if (r.ec != std::errc() || r.ptr != text.data() + 7) return false;
    out = RGB(static_cast<int>(v >> 16), static_cast<int>((v >> 8) & 0xFF), static_cast<int>(v & 0xFF));
    return true;
  }
  unsigned long v = 0;
  auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  if (r.ec != std::errc() || r.ptr != text.data() + text.size() || v > 0xFFFFFF) return false;
  out = static_cast<COLORREF>(v);
  return true;
}

const COLORREF kPalette[48] = {
    RGB(255, 128, 128), RGB(255, 255, 128), RGB(128, 255, 128), RGB(0, 255, 128),   RGB(128, 255, 255),
    RGB(0, 128, 255),   RGB(255, 128, 192), RGB(255, 128, 255), RGB(255, 0, 0),     RGB(255, 255, 0),
    RGB(128, 255, 0),   RGB(0, 255, 64),    RGB(0, 255, 255),   RGB(0, 128, 192),   RGB(128, 128, 192),
    RGB(255, 0, 255),   RGB(128, 64, 64),   RGB(255, 128, 64),  RGB(0, 255, 0),     RGB(0, 128, 128),
    RGB(0, 64, 128),    RGB(128, 128, 255), RGB(128, 0, 64),    RGB(255, 0, 128),   RGB(128, 0, 0),
    RGB(255, 128, 0),   RGB(0, 128, 0),     RGB(0, 128, 64),    RGB(0, 0, 255),     RGB(0, 0, 160),
    RGB(128, 0, 128),   RGB(128, 0, 255),   RGB(64, 0, 0),      RGB(128, 64, 0),    RGB(0, 64, 0),
    RGB(0, 64, 64),     RGB(0, 0, 128),     RGB(0, 0, 64),      RGB(64, 0, 64),     RGB(64, 0, 128),
    RGB(0, 0, 0),       RGB(128, 128, 0),   RGB(128, 128, 64),  RGB(128, 128, 128), RGB(64, 128, 128),
    RGB(192, 192, 192), RGB(64, 0, 64),     RGB(255, 255, 255)};
}  // namespace

std::vector<std::string> CommonDialog::Patterns() const {
  std::vector<std::string> parts;
  std::size_t from = 0;
  for (;;) {
    const auto bar = Filter.find('|', from);
    parts.push_back(Filter.substr(from, bar == std::string::npos ? std::string::npos : bar - from));
    if (bar == std::string::npos) break;
    from = bar + 1;
  }
  const std::size_t at = static_cast<std::size_t>(std::max(FilterIndex, 1) - 1) * 2 + 1;
  std::vector<std::string> patterns;
  if (at >= parts.size()) return {"*"};
  std::size_t p = 0;
  const std::string& list = parts[at];
  for (;;) {
    const auto semi = list.find(';', p);
    patterns.push_back(list.substr(p, semi == std::string::npos ? std::string::npos : semi - p));
    if (semi == std::string::npos) break;
    p = semi + 1;
  }
  return patterns;
}

bool CommonDialog::Matches(const std::string& name, const std::string& pattern) {
  // '*' and '?', case-insensitive as the platform's file names are.
  std::size_t n = 0, p = 0, star = std::string::npos, mark = 0;
  auto same = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  };
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], name[n]))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool CommonDialog::Finish(bool chosen) {
  if (!chosen && CancelError) throw CommonDialogCancel();
  return chosen;
}

bool CommonDialog::ShowOpen() { return Finish(Run(false)); }
bool CommonDialog::ShowColor() { return Finish(Run(true)); }

bool CommonDialog::Run(bool colour) {
  Desktop& d = form_.desktop();
  const std::string title = DialogTitle.empty() ? (colour ? "Color" : "Open") : DialogTitle;
  bool chosen = false;
  fs::path folder = InitDir.empty() ? fs::current_path() : fs::path(InitDir);
  std::vector<fs::path> entries;
  HWND dlg = 0;

  auto paintList = [&] {
    Surface& s = d.WindowSurface(dlg);
    s.Fill(paint::kFace);
    s.FillRect(0, 0, kWidth, 24, 0x2B579A);
    paint::Text(d, dlg, title, {6, 0, kWidth, 24}, 0xFFFFFF, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    if (colour) {
      for (int k = 0; k < 48; ++k) {
        const int x = 12 + (k % 8) * 48, y = 36 + (k / 8) * 40;
        s.FillRect(x, y, x + 40, y + 32, ToPixel(kPalette[k]));
        paint::Sunken(s, x, y, x + 40, y + 32);
      }
    } else {
      entries.clear();
      std::error_code ec;
      if (folder.has_parent_path() && folder != folder.root_path()) entries.push_back(folder / "..");
      std::vector<fs::path> dirs, files;
      for (const auto& e : fs::directory_iterator(folder, fs::directory_options::skip_permission_denied, ec)) {
        if (e.is_directory(ec)) dirs.push_back(e.path());
        else
          for (const auto& p : Patterns())
            if (Matches(e.path().filename().string(), p)) {
              files.push_back(e.path());
              break;
            }
      }
      std::sort(dirs.begin(), dirs.end());
      std::sort(files.begin(), files.end());
      entries.insert(entries.end(), dirs.begin(), dirs.end());
      entries.insert(entries.end(), files.begin(), files.end());
      s.FillRect(8, 30, kWidth - 8, kHeight - 40, paint::kWindow);
      paint::Sunken(s, 8, 30, kWidth - 8, kHeight - 40);
      paint::Text(d, dlg, folder.string(), {10, 30, kWidth - 10, 30 + kRow}, paint::kShadow, DT_LEFT | DT_SINGLELINE);
      for (std::size_t k = 0; k < entries.size() && 30 + static_cast<int>(k + 1) * kRow < kHeight - 40; ++k) {
        const bool dir = entries[k].filename() == ".." || fs::is_directory(entries[k], ec);
        paint::Text(d, dlg, (dir ? "[" + entries[k].filename().string() + "]" : entries[k].filename().string()),
                    {12, 30 + static_cast<int>(k + 1) * kRow, kWidth - 12, 30 + static_cast<int>(k + 2) * kRow},
                    paint::kText, DT_LEFT | DT_SINGLELINE);
      }
    }
    s.FillRect(kWidth - 96, kHeight - 32, kWidth - 12, kHeight - 8, paint::kFace);
    paint::Raised(s, kWidth - 96, kHeight - 32, kWidth - 12, kHeight - 8);
    paint::Text(d, dlg, "Cancel", {kWidth - 96, kHeight - 32, kWidth - 12, kHeight - 8}, paint::kText,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  };

  dlg = d.CreateWindowExA(WS_EX_TOPMOST, "#32770", title, WS_VISIBLE | WS_POPUP, (d.width() - kWidth) / 2,
                          (d.height() - kHeight) / 2, kWidth, kHeight, 0, d.ProgramOf(form_.hwnd()),
                          [&](HWND h, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
                            const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
                            if (msg == WM_KEYDOWN && wp == VK_ESCAPE) d.DestroyWindow(h);
                            if (msg != WM_LBUTTONUP) return 0;
                            if (x >= kWidth - 96 && y >= kHeight - 32) {
                              d.DestroyWindow(h);  // Cancel
                            } else if (colour) {
                              const int col = (x - 12) / 48, row = (y - 36) / 40;
                              if (x >= 12 && y >= 36 && col < 8 && row < 6) {
                                Color = kPalette[row * 8 + col];
                                chosen = true;
                                d.DestroyWindow(h);
                              }
                            } else {
                              const int k = (y - 30) / kRow - 1;
                              if (y >= 30 && k >= 0 && k < static_cast<int>(entries.size())) {
                                const fs::path p = entries[static_cast<std::size_t>(k)];
                                std::error_code ec;
                                if (p.filename() == ".." || fs::is_directory(p, ec)) {
                                  folder = fs::weakly_canonical(p, ec);
                                  paintList();
                                } else {
                                  FileName = p.string();
                                  chosen = true;
                                  d.DestroyWindow(h);
                                }
                              }
                            }
                            return 0;
                          });
  paintList();
  if (d.headless()) {
    std::string answer;
    if (!d.TakeDialogAnswer(answer)) {
      d.DestroyWindow(dlg);
      throw ModalLoopError("the dialog '" + title + "' needs an answer, and none is queued");
    }
    // Answered a moment later, so that the dialog is open meanwhile.
    d.SetTimer(dlg, 1, 10, [&, answer] {
      if (answer != "cancel") {
        if (colour) chosen = ParseColour(answer, Color);
        else {
          FileName = answer;
          chosen = true;
        }
      }
      d.DestroyWindow(dlg);
    });
  }
  try {
    d.RunModalLoop(dlg);
  } catch (...) {
    if (d.IsWindow(dlg)) d.DestroyWindow(dlg);  // its procedure refers to this call
    throw;
  }
  return chosen;
}

}  // namespace altimar::forms
