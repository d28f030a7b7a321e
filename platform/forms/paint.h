// The one look of the form runtime: grey faces, raised and sunken edges,
// text in the system font.
#pragma once

#include <string>

#include "platform/win/desktop.h"

namespace altimar::forms::paint {

inline constexpr win::Pixel kFace = 0xF0F0F0;
inline constexpr win::Pixel kShadow = 0xA0A0A0;
inline constexpr win::Pixel kDarkShadow = 0x696969;
inline constexpr win::Pixel kHighlight = 0xFFFFFF;
inline constexpr win::Pixel kText = 0x000000;
inline constexpr win::Pixel kDisabledText = 0x9A9A9A;
inline constexpr win::Pixel kWindow = 0xFFFFFF;
inline constexpr win::Pixel kSelection = 0x0078D7;

void Raised(win::Surface& s, int l, int t, int r, int b);
void Sunken(win::Surface& s, int l, int t, int r, int b);
void Text(win::Desktop& d, win::HWND hwnd, const std::string& text, win::RECT r, win::Pixel colour,
          win::UINT format);

}  // namespace altimar::forms::paint
