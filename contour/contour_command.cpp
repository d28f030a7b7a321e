#include "contour/contour_command.h"

#include <filesystem>

namespace altimar::contour {

namespace {
// Step 5 of the command, however it ends.
class Restore {
 public:
  Restore(Contour& c, const ContourCommandUi& ui) : c_(c), ui_(ui) {}
  ~Restore() {
    c_.progress_bar()->SetVisible(false);
    if (ui_.pressContourButton) ui_.pressContourButton(false);
    if (ui_.enableToolbar) ui_.enableToolbar(true);
  }
  Restore(const Restore&) = delete;
  Restore& operator=(const Restore&) = delete;

 private:
  Contour& c_;
  const ContourCommandUi& ui_;
};
}  // namespace

ContourCommandResult RunContourCommand(Contour& c, const std::string& programDir,
                                       const ContourCommandUi& ui) {
  ContourCommandResult r;
  if (ui.enableToolbar) ui.enableToolbar(false);
  if (ui.pressContourButton) ui.pressContourButton(true);
  Restore restore(c, ui);
  const bool show = ui.showProgress ? ui.showProgress() : c.ShowProgress;
  if (show) {
    ProgressBar& bar = *c.progress_bar();
    bar.SetMin(1);
    bar.SetMax(100);
    bar.SetValue(1);
    bar.SetVisible(true);
    if (ui.placeProgressBar) ui.placeProgressBar();
  }
  r.sampled = c.SamplingMode == 0 ? c.SampleScreenGrid() : c.SampleByFlying();
  if (r.sampled)
    r.run = c.MakeContourFile((std::filesystem::path(programDir) / "contour.kml").string());
  return r;
}

}  // namespace altimar::contour
