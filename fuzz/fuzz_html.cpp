// HTML pages the browser control shows: any text, turned into lines.
#include <cstdint>
#include <string>

#include "platform/forms/web_browser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string title;
  const auto lines =
      altimar::forms::WebBrowser::HtmlToLines(std::string(reinterpret_cast<const char*>(data), size), &title);
  (void)lines;
  return 0;
}
