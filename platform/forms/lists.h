// A list view in report view (column headers, items with sub-items) and a
// tab strip.
#pragma once

#include <string>
#include <vector>

#include "platform/forms/control.h"

namespace altimar::forms {

struct ColumnHeader {
  std::string Text;
  double Width = 1440;  // twips
};

struct ListItem {
  std::string Text;
  std::vector<std::string> SubItems;  // SubItems[0] is column 2
  int Index = 0;                      // 1-based
};

class ListView : public Control {
 public:
  using Control::Control;
  ColumnHeader& AddColumn(const std::string& text, double width);
  ListItem& AddItem(const std::string& text);
  void Clear();  // the items; the columns stay
  std::vector<ColumnHeader>& ColumnHeaders() { return columns_; }
  std::vector<ListItem>& ListItems() { return items_; }
  ListItem* SelectedItem() { return selected_ > 0 ? &items_[static_cast<std::size_t>(selected_ - 1)] : nullptr; }
  std::function<void(ListItem&)> ItemClick;
  static constexpr int kRow = 17;

 protected:
  void Paint(win::Surface& s) override;
  void OnPress(int x, int y) override;
  const char* ClassName() const override { return "ListView20WndClass"; }

 private:
  std::vector<ColumnHeader> columns_;
  std::vector<ListItem> items_;
  int selected_ = 0;
};

struct Tab {
  std::string Caption, Key;
  int Index = 0;  // 1-based
};

class TabStrip : public Control {
 public:
  using Control::Control;
  Tab& Add(const std::string& key, const std::string& caption);
  std::vector<Tab>& Tabs() { return tabs_; }
  Tab* SelectedItem() { return selected_ > 0 ? &tabs_[static_cast<std::size_t>(selected_ - 1)] : nullptr; }
  // Selecting a tab by code raises Click, as a click does.
  void Select(int index);

 protected:
  void Paint(win::Surface& s) override;
  void OnPress(int x, int y) override;
  void OnClick() override;
  const char* ClassName() const override { return "TabStrip20WndClass"; }

 private:
  int TabAt(int x, int y);
  std::vector<int> Lefts();
  std::vector<Tab> tabs_;
  int selected_ = 0;
  int pressedTab_ = 0;
};

}  // namespace altimar::forms
