// The common dialogs: choosing a file to open and choosing a colour. Each
// is a real modal window of class "#32770" titled with DialogTitle. With a
// front end a person answers it; headless it takes the next answer queued
// on the desktop (a path, a colour "#RRGGBB", or "cancel").
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/forms/form.h"

namespace altimar::forms {

// Cancel with CancelError set (the runtime's error 32755).
class CommonDialogCancel : public std::runtime_error {
 public:
  CommonDialogCancel() : std::runtime_error("Cancel was selected.") {}
};

class CommonDialog {
 public:
  CommonDialog(Form& form, std::string name) : form_(form), name_(std::move(name)) {}

  std::string Filter;  // "Shapefiles|*.shp|KML files|*.kml;*.kmz"
  int FilterIndex = 1;
  std::string FileName, DialogTitle, InitDir;
  long Flags = 0;
  bool CancelError = false;
  win::COLORREF Color = 0;

  // True when a file (a colour) was chosen; false when cancelled, or
  // CommonDialogCancel with CancelError set.
  bool ShowOpen();
  bool ShowColor();

  // The patterns of the filter at FilterIndex ("*.shp", ...).
  std::vector<std::string> Patterns() const;
  static bool Matches(const std::string& name, const std::string& pattern);

 private:
  bool Run(bool colour);
  bool Finish(bool chosen);
  Form& form_;
  std::string name_;
};

}  // namespace altimar::forms
