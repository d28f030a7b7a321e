// Attribute text of dBASE tables to UTF-8, and UTF-8 to XML character data.
//
// The code page of a table comes from its .cpg file ("UTF-8", "utf8",
// "65001", "1252", "ISO-8859-1", "88591", "ANSI 1251", ... or any name iconv
// knows), else from the language driver byte of the .dbf header (0x57 and
// 0x03: CP1252, 0x01: CP437, 0x02: CP850, ...), else CP1252.
#pragma once

#include <iconv.h>

#include <string>
#include <string_view>

namespace altimar::shapefile {

// The iconv name for a .cpg text or, when that is empty, a language driver
// byte (0: none).
std::string CodePageName(std::string_view cpgText, int languageDriver);

// Converts field bytes of one code page to well-formed UTF-8: bytes the code
// page does not define and invalid UTF-8 become U+FFFD, control characters
// (U+0000..U+001F, NUL padding included) become blanks, and the characters
// XML 1.0 forbids (U+FFFE, U+FFFF) become U+FFFD. The output is therefore
// always fit for XML character data once escaped.
class TextDecoder {
 public:
  explicit TextDecoder(const std::string& codePage = "UTF-8");
  ~TextDecoder();
  TextDecoder(const TextDecoder&) = delete;
  TextDecoder& operator=(const TextDecoder&) = delete;
  const std::string& codePage() const { return codePage_; }
  void Append(std::string& out, std::string_view raw);

 private:
  std::string codePage_;
  iconv_t cd_ = reinterpret_cast<iconv_t>(-1);  // none for UTF-8 input
  std::string scratch_;
};

// Appends well-formed UTF-8, replacing what is not (see TextDecoder).
void AppendCleanUtf8(std::string& out, std::string_view bytes);

// Appends text with & < > " ' escaped; `text` must be clean UTF-8.
void AppendXmlEscaped(std::string& out, std::string_view text);

}  // namespace altimar::shapefile
