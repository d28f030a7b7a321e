// Counting and cutting UTF-8 text by characters, as the program's texts are
// cut ("the first 30 characters"): never inside a character.
#pragma once

#include <cstddef>
#include <string_view>

namespace altimar::runtime {

// The number of characters (lead bytes) of a UTF-8 text.
std::size_t Utf8Length(std::string_view text);
// Its first n characters.
std::string_view Utf8Prefix(std::string_view text, std::size_t n);

}  // namespace altimar::runtime
