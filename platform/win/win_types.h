// The few Win32 types and constants the program's code is written against.
#pragma once

#include <cstdint>

namespace altimar::win {

using HWND = std::intptr_t;  // a window handle on one Desktop; 0 is "none"
using UINT = std::uint32_t;
using DWORD = std::uint32_t;

// MessageBoxA flags and answers.
inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_OKCANCEL = 0x1;
inline constexpr UINT MB_YESNO = 0x4;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr UINT MB_SYSTEMMODAL = 0x1000;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

}  // namespace altimar::win
