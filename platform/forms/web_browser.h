// A web browser control for local files: HTML shown as simple formatted
// text, a bitmap, PNG or SVG as its picture, other files by name; history with back and
// forward; the events the HTML window handles.
#pragma once

#include <string>
#include <vector>

#include "platform/forms/control.h"

namespace altimar::forms {

class WebBrowser : public Control {
 public:
  using Control::Control;
  // A local path or file:// URL.
  void Navigate(const std::string& url);
  void GoBack();
  void GoForward();
  void Stop() { busy_ = false; }
  // Loads the current page again.
  void Reload();
  // A link that wants a new window: NewWindow2 may cancel it; otherwise it
  // opens here.
  void OpenInNewWindow(const std::string& url);

  const std::string& LocationURL() const { return location_; }
  const std::string& LocationName() const { return title_; }
  // The text the page shows, one line per entry.
  const std::vector<std::string>& DocumentLines() const { return lines_; }
  bool Busy() const { return busy_; }

  std::function<void(const std::string& text)> StatusTextChange;
  std::function<void(bool& cancel)> NewWindow2;
  std::function<void(const std::string& url, bool& cancel)> NavigateError;
  std::function<void(long progress, long progressMax)> ProgressChange;
  std::function<void(const std::string& url)> NavigateComplete2;

  // HTML as the lines of text it shows (tags dropped, entities decoded).
  static std::vector<std::string> HtmlToLines(const std::string& html, std::string* title = nullptr);

 protected:
  void Paint(win::Surface& s) override;
  const char* ClassName() const override { return "Shell Embedding"; }

 private:
  void Load(const std::string& url, bool record);
  std::vector<std::string> history_;
  int position_ = -1;
  std::string location_, title_;
  std::vector<std::string> lines_;
  win::Surface picture_;
  bool busy_ = false;
};

}  // namespace altimar::forms
