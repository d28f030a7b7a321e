#include "platform/runtime/code_page.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <string>

namespace altimar::runtime {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

std::string Normalised(std::string_view text) {
  std::string out;
  for (char c : text)
    if (!std::isspace(static_cast<unsigned char>(c)) && c != '-' && c != '_')
      out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

void AppendCodePoint(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Length of the valid UTF-8 sequence at text[i], 0 when it is not one.
std::size_t ValidSequence(std::string_view text, std::size_t i) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char c = b(i);
  std::size_t n = 0;
  std::uint32_t cp = 0;
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) n = 2, cp = c & 0x1F;
  else if (c >= 0xE0 && c <= 0xEF) n = 3, cp = c & 0x0F;
  else if (c >= 0xF0 && c <= 0xF4) n = 4, cp = c & 0x07;
  else return 0;
  if (i + n > text.size()) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    if ((b(i + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b(i + k) & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
  if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
    return 0;
  return n;
}

std::string ValidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = ValidSequence(text, i);
    if (n == 0) {
      out += kReplacement;
      ++i;
    } else {
      out.append(text.substr(i, n));
      i += n;
    }
  }
  return out;
}

const char* IconvName(CodePage page) {
  switch (page) {
    case CodePage::Windows1252: return "CP1252";
    case CodePage::Dos437: return "CP437";
    case CodePage::Dos850: return "CP850";
    default: return nullptr;
  }
}

// One single-byte code page as a table of code points (0 = undefined),
// built once through iconv.
using ByteTable = std::array<std::uint32_t, 256>;

ByteTable BuildTable(CodePage page) {
  ByteTable table{};
  for (std::uint32_t c = 0; c < 0x80; ++c) table[c] = c;
  iconv_t cd = iconv_open("UTF-32LE", IconvName(page));
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    for (std::uint32_t c = 0x80; c < 256; ++c) table[c] = c;  // no converter: read as Latin-1
    return table;
  }
  for (std::uint32_t c = 0x80; c < 256; ++c) {
    char in = static_cast<char>(c);
    unsigned char out[8] = {};
    char* inp = &in;
    char* outp = reinterpret_cast<char*>(out);
    std::size_t inLeft = 1, outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inp, &inLeft, &outp, &outLeft) != static_cast<std::size_t>(-1) && outLeft == 4)
      table[c] = out[0] | (out[1] << 8) | (out[2] << 16) | (static_cast<std::uint32_t>(out[3]) << 24);
  }
  iconv_close(cd);
  return table;
}

const ByteTable& TableOf(CodePage page) {
  static const ByteTable w1252 = BuildTable(CodePage::Windows1252);
  static const ByteTable d437 = BuildTable(CodePage::Dos437);
  static const ByteTable d850 = BuildTable(CodePage::Dos850);
  switch (page) {
    case CodePage::Dos437: return d437;
    case CodePage::Dos850: return d850;
    default: return w1252;
  }
}

}  // namespace

CodePage CodePageFromCpg(std::string_view cpgText) {
  const std::string name = Normalised(cpgText);
  if (name == "UTF8" || name == "65001") return CodePage::Utf8;
  if (name == "ISO88591" || name == "88591" || name == "LATIN1" || name == "28591") return CodePage::Latin1;
  if (name == "437" || name == "CP437" || name == "IBM437") return CodePage::Dos437;
  if (name == "850" || name == "CP850" || name == "IBM850") return CodePage::Dos850;
  return CodePage::Windows1252;
}

CodePage CodePageFromLanguageDriver(std::uint8_t ldid) {
  switch (ldid) {
    case 0x01: return CodePage::Dos437;
    case 0x02: return CodePage::Dos850;
    default: return CodePage::Windows1252;  // 0x03, 0x57 and the unknown
  }
}

std::string ToUtf8(std::string_view bytes, CodePage page) {
  if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
    return std::string(bytes);
  if (page == CodePage::Utf8) return ValidUtf8(bytes);
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  if (page == CodePage::Latin1) {
    for (char c : bytes) AppendCodePoint(out, static_cast<unsigned char>(c));
    return out;
  }
  const ByteTable& table = TableOf(page);
  for (char c : bytes) {
    const std::uint32_t cp = table[static_cast<unsigned char>(c)];
    if (cp == 0 && c != '\0')
      out += kReplacement;
    else
      AppendCodePoint(out, cp);
  }
  return out;
}

std::size_t Utf8Length(std::string_view text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string_view Utf8Prefix(std::string_view text, std::size_t n) {
  std::size_t i = 0, count = 0;
  for (; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      if (count == n) break;
      ++count;
    }
  }
  return text.substr(0, i);
}

}  // namespace altimar::runtime
