#include "platform/shapefile/text_encoding.h"

#include <cctype>
#include <cerrno>
#include <cstdint>

namespace altimar::shapefile {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

std::string Upper(std::string_view s) {
  std::string out;
  for (char c : s)
    if (!std::isspace(static_cast<unsigned char>(c)))
      out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

const char* LanguageDriverCodePage(int ldid) {
  switch (ldid) {
    case 0x01: case 0x09: case 0x0B: case 0x0D: case 0x0F: case 0x11: case 0x15: case 0x18: case 0x19:
    case 0x1B:
      return "CP437";
    case 0x02: case 0x0A: case 0x0E: case 0x10: case 0x12: case 0x14: case 0x16: case 0x1A: case 0x1D:
    case 0x25: case 0x37:
      return "CP850";
    case 0x03: case 0x57: case 0x58: case 0x59:
      return "CP1252";
    case 0x08: case 0x17: case 0x66: return "CP865";
    case 0x13: case 0x7B: return "CP932";
    case 0x1C: case 0x6C: return "CP863";
    case 0x1F: case 0x22: case 0x23: case 0x40: case 0x64: case 0x87: return "CP852";
    case 0x24: return "CP860";
    case 0x26: case 0x65: return "CP866";
    case 0x4D: case 0x7A: return "CP936";
    case 0x4E: case 0x79: return "CP949";
    case 0x4F: case 0x78: return "CP950";
    case 0x50: case 0x7C: return "CP874";
    case 0x67: return "CP861";
    case 0x6A: case 0x86: return "CP737";
    case 0x6B: case 0x88: return "CP857";
    case 0xC8: return "CP1250";
    case 0xC9: return "CP1251";
    case 0xCA: return "CP1254";
    case 0xCB: return "CP1253";
    case 0xCC: return "CP1257";
    default: return "CP1252";
  }
}

// Length of the well-formed UTF-8 sequence at s[i] (XML-allowed characters
// only), or 0.
std::size_t GoodSequence(std::string_view s, std::size_t i) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
  const unsigned char c = b(0);
  const std::size_t left = s.size() - i;
  const auto cont = [&](std::size_t k) { return k < left && (b(k) & 0xC0) == 0x80; };
  if (c >= 0xC2 && c <= 0xDF) return cont(1) ? 2 : 0;
  if (c >= 0xE0 && c <= 0xEF) {
    if (!cont(1) || !cont(2)) return 0;
    if (c == 0xE0 && b(1) < 0xA0) return 0;   // overlong
    if (c == 0xED && b(1) >= 0xA0) return 0;  // surrogate
    if (c == 0xEF && b(1) == 0xBF && (b(2) == 0xBE || b(2) == 0xBF)) return 0;  // U+FFFE, U+FFFF
    return 3;
  }
  if (c >= 0xF0 && c <= 0xF4) {
    if (!cont(1) || !cont(2) || !cont(3)) return 0;
    if (c == 0xF0 && b(1) < 0x90) return 0;   // overlong
    if (c == 0xF4 && b(1) >= 0x90) return 0;  // beyond U+10FFFF
    return 4;
  }
  return 0;
}

}  // namespace

std::string CodePageName(std::string_view cpgText, int languageDriver) {
  const std::string u = Upper(cpgText);
  if (u.empty()) return languageDriver ? LanguageDriverCodePage(languageDriver) : "CP1252";
  if (u == "UTF-8" || u == "UTF8" || u == "65001") return "UTF-8";
  if (u == "ISO-8859-1" || u == "ISO88591" || u == "88591" || u == "8859-1" || u == "LATIN1") return "ISO-8859-1";
  if (u.rfind("ISO8859", 0) == 0 && AllDigits(u.substr(7))) return "ISO-8859-" + u.substr(7);
  if (u.rfind("8859", 0) == 0 && AllDigits(u.substr(4))) return "ISO-8859-" + u.substr(4);
  if (AllDigits(u)) return "CP" + u;
  if (u.rfind("ANSI", 0) == 0 && AllDigits(u.substr(4))) return "CP" + u.substr(4);
  if (u.rfind("OEM", 0) == 0 && AllDigits(u.substr(3))) return "CP" + u.substr(3);
  return u;
}

void AppendCleanUtf8(std::string& out, std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      out += c < 0x20 ? ' ' : static_cast<char>(c);
      ++i;
      continue;
    }
    const std::size_t n = GoodSequence(s, i);
    if (n == 0) {
      out += kReplacement;
      ++i;
    } else {
      out.append(s.substr(i, n));
      i += n;
    }
  }
}

TextDecoder::TextDecoder(const std::string& codePage) : codePage_(codePage) {
  if (codePage_ == "UTF-8") return;
  cd_ = iconv_open("UTF-8", codePage_.c_str());
  if (cd_ == reinterpret_cast<iconv_t>(-1)) {  // a name iconv does not know
    codePage_ = "CP1252";
    cd_ = iconv_open("UTF-8", "CP1252");
  }
}

TextDecoder::~TextDecoder() {
  if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
}

void TextDecoder::Append(std::string& out, std::string_view raw) {
  bool ascii = true;
  for (char c : raw) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii || cd_ == reinterpret_cast<iconv_t>(-1)) {
    AppendCleanUtf8(out, raw);
    return;
  }
  scratch_.clear();
  iconv(cd_, nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(raw.data());
  std::size_t inLeft = raw.size();
  char buf[1024];
  while (inLeft > 0) {
    char* o = buf;
    std::size_t oLeft = sizeof buf;
    const std::size_t r = iconv(cd_, &in, &inLeft, &o, &oLeft);
    scratch_.append(buf, static_cast<std::size_t>(o - buf));
    if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
      // A byte the code page does not define, or a cut multi-byte sequence.
      scratch_ += kReplacement;
      ++in;
      --inLeft;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
  }
  AppendCleanUtf8(out, scratch_);
}

void AppendXmlEscaped(std::string& out, std::string_view text) {
  std::size_t plain = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char* rep = nullptr;
    switch (text[i]) {
      case '&': rep = "&amp;"; break;
      case '<': rep = "&lt;"; break;
      case '>': rep = "&gt;"; break;
      case '"': rep = "&quot;"; break;
      case '\'': rep = "&apos;"; break;
      default: continue;
    }
    out.append(text.substr(plain, i - plain));
    out += rep;
    plain = i + 1;
  }
  out.append(text.substr(plain));
}

}  // namespace altimar::shapefile
