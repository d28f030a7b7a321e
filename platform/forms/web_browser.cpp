#include "platform/forms/web_browser.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/forms/paint.h"
#include "platform/forms/svg_picture.h"
#include "platform/win/gdi.h"

namespace altimar::forms {

using namespace altimar::win;
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxPage = 16u << 20;  // larger files are shown cut

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Decode(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '&') {
      out += s[i];
      continue;
    }
    const auto semi = s.find(';', i);
    if (semi == std::string::npos || semi - i > 8) {
      out += '&';
      continue;
    }
    const std::string name = s.substr(i + 1, semi - i - 1);
    if (name == "amp") out += '&';
    else if (name == "lt") out += '<';
    else if (name == "gt") out += '>';
    else if (name == "quot") out += '"';
    else if (name == "apos") out += '\'';
    else if (name == "nbsp") out += ' ';
    else if (!name.empty() && name[0] == '#') {
      const long code = std::strtol(name.c_str() + 1 + (name.size() > 1 && (name[1] == 'x' || name[1] == 'X')),
                                    nullptr, (name.size() > 1 && (name[1] == 'x' || name[1] == 'X')) ? 16 : 10);
      out += code > 31 && code < 127 ? static_cast<char>(code) : '?';
    } else {
      out += s.substr(i, semi - i + 1);
    }
    i = semi;
  }
  return out;
}

}  // namespace

std::vector<std::string> WebBrowser::HtmlToLines(const std::string& html, std::string* title) {
  std::string text;
  const std::string lower = Lower(html);
  std::size_t i = 0;
  while (i < html.size()) {
    if (html[i] != '<') {
      const char c = html[i++];
      text += (c == '\n' || c == '\r' || c == '\t') ? ' ' : c;
      continue;
    }
    const auto end = html.find('>', i);
    if (end == std::string::npos) break;
    std::string tag = lower.substr(i + 1, end - i - 1);
    const bool closing = !tag.empty() && tag[0] == '/';
    if (closing) tag.erase(0, 1);
    tag = tag.substr(0, tag.find_first_of(" \t\r\n/"));
    i = end + 1;
    if (!closing && (tag == "script" || tag == "style" || tag == "title")) {
      const auto close = lower.find("</" + tag, i);
      const std::size_t stop = close == std::string::npos ? html.size() : close;
      if (tag == "title" && title) *title = Decode(html.substr(i, stop - i));
      // Past the closing tag; a document that ends inside it ends here.
      const auto closeEnd = close == std::string::npos ? std::string::npos : lower.find('>', close);
      i = closeEnd == std::string::npos ? html.size() : closeEnd + 1;
      continue;
    }
    if (tag == "br" || tag == "p" || tag == "div" || tag == "tr" || tag == "li" || tag == "table" ||
        (tag.size() == 2 && tag[0] == 'h' && std::isdigit(static_cast<unsigned char>(tag[1]))))
      text += '\n';
    else if (tag == "td" || tag == "th")
      text += "  ";
  }
  std::vector<std::string> lines;
  std::istringstream in(Decode(text));
  std::string line;
  while (std::getline(in, line)) {
    // Runs of blanks fold to one, as a browser shows them.
    std::string folded;
    for (char c : line)
      if (!(c == ' ' && (folded.empty() || folded.back() == ' '))) folded += c;
    while (!folded.empty() && folded.back() == ' ') folded.pop_back();
    if (!folded.empty()) lines.push_back(folded);
  }
  return lines;
}

void WebBrowser::Navigate(const std::string& url) { Load(url, true); }

void WebBrowser::Reload() {
  if (position_ >= 0) Load(history_[static_cast<std::size_t>(position_)], false);
}

void WebBrowser::GoBack() {
  if (position_ <= 0) return;
  --position_;
  Load(history_[static_cast<std::size_t>(position_)], false);
}

void WebBrowser::GoForward() {
  if (position_ + 1 >= static_cast<int>(history_.size())) return;
  ++position_;
  Load(history_[static_cast<std::size_t>(position_)], false);
}

void WebBrowser::OpenInNewWindow(const std::string& url) {
  bool cancel = false;
  if (NewWindow2) NewWindow2(cancel);
  if (!cancel) Navigate(url);
}

void WebBrowser::Load(const std::string& url, bool record) {
  std::string path = url;
  if (path.rfind("file:///", 0) == 0) path = path.substr(7);
  else if (path.rfind("file://", 0) == 0) path = path.substr(7);
  busy_ = true;
  if (ProgressChange) ProgressChange(0, 100);
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) {
    bool cancel = false;
    if (NavigateError) NavigateError(url, cancel);
    busy_ = false;
    if (cancel) return;
    lines_ = {"The page cannot be displayed.", url};
    picture_ = Surface();
    title_ = "Error";
  } else {
    const std::string ext = Lower(fs::path(path).extension().string());
    picture_ = Surface();
    lines_.clear();
    title_ = fs::path(path).filename().string();
    if (ext == ".bmp" || ext == ".png" || ext == ".svg") {
      const std::string err = ext == ".bmp"   ? ReadBmp(path, picture_)
                              : ext == ".png" ? ReadPng(path, picture_)
                                              : ReadSvg(path, picture_, desktop().gdi().fonts());
      if (!err.empty()) lines_ = {"The picture cannot be read: " + title_};
    } else if (ext == ".htm" || ext == ".html" || ext == ".txt") {
      std::ifstream in(path, std::ios::binary);
      std::string content(kMaxPage, '\0');
      in.read(content.data(), static_cast<std::streamsize>(content.size()));
      content.resize(static_cast<std::size_t>(in.gcount()));
      if (ext == ".txt") {
        std::istringstream s(content);
        for (std::string l; std::getline(s, l);) lines_.push_back(l);
      } else {
        lines_ = HtmlToLines(content, &title_);
      }
    } else {
      lines_ = {"[" + title_ + "]"};  // a picture format this browser does not draw
    }
  }
  location_ = url;
  if (record) {
    history_.resize(static_cast<std::size_t>(position_ + 1));
    history_.push_back(url);
    position_ = static_cast<int>(history_.size()) - 1;
  }
  Control::Refresh();
  busy_ = false;
  if (ProgressChange) ProgressChange(100, 100);
  if (StatusTextChange) StatusTextChange("Done");
  if (NavigateComplete2) NavigateComplete2(url);
}

void WebBrowser::Paint(Surface& s) {
  s.Fill(paint::kWindow);
  paint::Sunken(s, 0, 0, s.width(), s.height());
  int y = 4;
  if (picture_.width() > 0) {
    for (int py = 0; py < picture_.height() && 4 + py < s.height() - 2; ++py)
      for (int px = 0; px < picture_.width() && 4 + px < s.width() - 2; ++px) s.at(4 + px, 4 + py) = picture_.at(px, py);
    y += picture_.height() + 4;
  }
  LOGFONTA font;
  font.lfHeight = -13;
  const int lineHeight = desktop().gdi().fonts().Metrics(font).height;
  for (const auto& line : lines_) {
    if (y >= s.height() - 2) break;
    RECT r{6, y, s.width() - 6, s.height() - 2};
    const HDC dc = desktop().gdi().GetDC(hwnd());
    desktop().gdi().SetBkMode(dc, TRANSPARENT);
    const int h = desktop().gdi().DrawTextA(dc, line.c_str(), -1, &r, DT_LEFT | DT_WORDBREAK);
    desktop().gdi().ReleaseDC(hwnd(), dc);
    y += std::max(h, lineHeight);
  }
}

}  // namespace altimar::forms
