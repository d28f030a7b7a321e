// An attribute database in a program folder of its own, with the shapefile
// library and a desktop whose message boxes are recorded.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "data/attribute_database.h"
#include "platform/forms/progress.h"
#include "platform/shapefile/shape_library.h"
#include "test_folder.h"

namespace altimar::testing {

// A progress bar that remembers whether it showed and each value it took.
class RecordingProgressBar : public forms::PlainProgressBar {
 public:
  void SetVisible(bool v) override {
    shown = shown || v;
    PlainProgressBar::SetVisible(v);
  }
  void SetValue(double v) override {
    values.push_back(v);
    PlainProgressBar::SetValue(v);
  }
  bool shown = false;
  std::vector<double> values;
};

class AttributeFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = FreshTestFolder("altimar_rdb");
    desktop.SetQuietMessageBoxes(true);
    data::ImportView view;
    view.progress = &bar;
    view.setMousePointer = [this](int p) { pointers.push_back(p); };
    view.appendLog = [this](const std::string& t) { log += t; };
    view.reportSeconds = [this](const std::string& t) { seconds = t; };
    rdb = std::make_unique<data::AttributeDatabase>(desktop, shapes, dir.string(), view);
  }
  void TearDown() override {
    rdb.reset();
    std::filesystem::remove_all(dir);
  }
  std::string Path(const std::string& name) const { return (dir / name).string(); }
  void WriteText(const std::string& name, const std::string& text) const {
    std::ofstream(Path(name), std::ios::binary) << text;
  }
  std::string LastBox() const {
    return desktop.MessageBoxLog().empty() ? "" : desktop.MessageBoxLog().back().text;
  }
  // Field `name` of the Feature row at `position` (from 0, insertion order).
  dao::Value FeatureValue(std::int64_t position, const std::string& name) {
    rdb->FeatureRs->SetAbsolutePosition(position);
    return rdb->FeatureRs->Get(name);
  }
  std::string FeatureText(std::int64_t position, const std::string& name) {
    return dao::ValueText(FeatureValue(position, name));
  }

  std::filesystem::path dir;
  win::Desktop desktop{win::Clock::Kind::Virtual};
  shapefile::ShapeLibrary shapes;
  RecordingProgressBar bar;
  std::vector<int> pointers;
  std::string log, seconds;
  std::unique_ptr<data::AttributeDatabase> rdb;
};

}  // namespace altimar::testing
