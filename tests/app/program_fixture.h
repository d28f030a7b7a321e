// A desktop with a running globe and the program, for scenario tests.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/program.h"
#include "platform/earth/globe.h"
#include "platform/earth/procedural_terrain.h"

namespace altimar::testing {

class ProgramTest : public ::testing::Test {
 protected:
  using Desktop = win::Desktop;
  using POINT = win::POINT;
  using RECT = win::RECT;
  using HWND = win::HWND;
  using Clock = win::Clock;
  ProgramTest() {
    d.SetQuietMessageBoxes(true);
    dir = std::filesystem::temp_directory_path() / ("altimar_program_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
  }
  ~ProgramTest() override {
    program.reset();
    std::filesystem::remove_all(dir);
  }
  void StartGlobe(RECT placement = {0, 0, 1024, 768}) {
    earth::GlobeOptions o;
    o.placement = placement;
    globe = earth::Globe::Start(d, std::make_shared<earth::ProceduralTerrain>(), o);
    d.Sleep(earth::Globe::kStartUpMs);
  }
  void StartProgram() {
    program = std::make_unique<app::Program>(d, dir.string(), 7);
    program->Start();
  }
  // Screen centre of a toolbar button.
  POINT ButtonCentre(forms::Toolbar& bar, const std::string& key) {
    RECT r, b;
    d.GetWindowRect(bar.hwnd(), &r);
    if (!bar.ButtonRect(key, b)) {
      ADD_FAILURE() << "no button " << key;
      return {};
    }
    return {r.left + (b.left + b.right) / 2, r.top + (b.top + b.bottom) / 2};
  }
  // Screen centre of a control (its form is loaded for it), or a pixel of it.
  POINT Centre(forms::Control& c) {
    RECT r;
    d.GetWindowRect(c.hwnd(), &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  POINT At(forms::Control& c, int x, int y) {
    RECT r;
    d.GetWindowRect(c.hwnd(), &r);
    return {r.left + x, r.top + y};
  }
  void Click(forms::Control& c) {
    const POINT p = Centre(c);
    d.InjectClick(p.x, p.y);
  }
  void PressKeys(std::initializer_list<int> keys) {
    for (int k : keys) d.InjectKey(k, true);
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) d.InjectKey(*it, false);
    d.DoEvents();
  }
  std::string LastMessage() const {
    return d.MessageBoxLog().empty() ? "" : d.MessageBoxLog().back().text;
  }

  Desktop d{Clock::Kind::Virtual};
  std::filesystem::path dir;
  std::shared_ptr<earth::Globe> globe;
  std::unique_ptr<app::Program> program;
};

}  // namespace altimar::testing
