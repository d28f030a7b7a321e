// Text of outside files in their own code page, turned into UTF-8: what
// dBASE tables and shapefile attributes hold is bytes of a code page named
// by a .cpg file or the table's language byte, and everything the program
// stores, shows and writes is UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace altimar::runtime {

enum class CodePage { Utf8, Windows1252, Latin1, Dos437, Dos850 };

// The code page a .cpg file names ("UTF-8", "65001", "1252", "ISO-8859-1",
// "88591", "437", "850", with any case and blanks around); Windows1252 when it
// names none of these.
CodePage CodePageFromCpg(std::string_view cpgText);
// The code page of a dBASE language-driver byte; Windows1252 for 0 and for
// bytes it does not know.
CodePage CodePageFromLanguageDriver(std::uint8_t ldid);

// The bytes as UTF-8. Bytes the code page leaves undefined, and invalid
// UTF-8 in a UTF-8 text, become U+FFFD; NUL bytes are kept (callers cut or
// refuse them). Plain ASCII is copied as it is.
std::string ToUtf8(std::string_view bytes, CodePage page);

// The number of characters of a UTF-8 text (lead bytes counted), and its
// first n characters.
std::size_t Utf8Length(std::string_view text);
std::string_view Utf8Prefix(std::string_view text, std::size_t n);

}  // namespace altimar::runtime
