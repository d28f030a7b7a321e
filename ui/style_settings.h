// The style settings the style dialogs edit and the KML writers and the
// screen drawing read. Colours are Win32 colour values (red in the low byte).
#pragma once

#include <cstdint>

#include "platform/win/win_types.h"

namespace altimar::ui {

struct StyleSettings {
  std::int32_t StyleTarget = 0;  // dialog in use: 1 BBox, 2 Highlight, 3 Cursor
  std::int32_t StyleColor = 0;
  float StyleWidth = 0;
  std::int16_t StyleOpacity = 0;
  std::int32_t BBoxColor = 0;
  std::int32_t HighlightColor = 0;
  std::int32_t CursorShape = 0;  // -1 none, 20 small cross, 0 big cross
  std::int32_t CursorColor = 0;
  std::int32_t CursorWidth = 0;
  std::int32_t CursorDrawStyle = 0;  // pen style 0..6

  // The values every run starts with.
  void SetStyleDefaults() {
    StyleTarget = 0;
    StyleColor = static_cast<std::int32_t>(win::RGB(0, 0, 255));
    StyleWidth = 0.1f;
    StyleOpacity = 0;
    BBoxColor = static_cast<std::int32_t>(win::RGB(0, 0, 255));
    HighlightColor = static_cast<std::int32_t>(win::RGB(0, 255, 255));
    CursorShape = 20;
    CursorColor = static_cast<std::int32_t>(win::RGB(0, 255, 0));
    CursorWidth = 0;
    CursorDrawStyle = 0;
  }
};

}  // namespace altimar::ui
