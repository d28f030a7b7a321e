// Painting a form with 60 controls (buttons, labels, check boxes, option
// buttons, text boxes, a progress bar), as the workspace form has.
#include <benchmark/benchmark.h>

#include <deque>

#include "platform/forms/controls.h"

namespace {

using namespace altimar;

class BusyForm : public forms::Form {
 public:
  explicit BusyForm(win::Desktop& d) : Form(d, d.StartProgram("p"), "frmBusy") {
    initialWidth_ = 9000;
    initialHeight_ = 7500;
    for (int k = 0; k < 60; ++k) {
      const double x = 150 + (k % 4) * 2200, y = 150 + (k / 4) * 450;
      forms::Control* c = nullptr;
      switch (k % 5) {
        case 0: c = &buttons.emplace_back(*this, "Command" + std::to_string(k)); buttons.back().Caption = "Command"; break;
        case 1: c = &labels.emplace_back(*this, "Label" + std::to_string(k)); labels.back().Caption = "A label"; break;
        case 2: c = &checks.emplace_back(*this, "Check" + std::to_string(k)); checks.back().Caption = "Labels"; break;
        case 3: c = &options.emplace_back(*this, "opt", k); options.back().Caption = "Option"; break;
        default: c = &texts.emplace_back(*this, "Text" + std::to_string(k)); break;
      }
      c->Move(x, y, 2000, 375);
    }
  }
  std::deque<forms::CommandButton> buttons;
  std::deque<forms::Label> labels;
  std::deque<forms::CheckBox> checks;
  std::deque<forms::OptionButton> options;
  std::deque<forms::TextBox> texts;
};

void BM_PaintFormWith60Controls(benchmark::State& state) {
  win::Desktop d(win::Clock::Kind::Virtual);
  BusyForm f(d);
  f.Show();
  for (auto& t : f.texts) t.SetText("12345");
  for (auto _ : state) f.Refresh();
  state.counters["controls"] = static_cast<double>(f.controls().size());
}
BENCHMARK(BM_PaintFormWith60Controls)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
