// Menus: a tree of items with caption, checked, enabled and visible state,
// separators (caption "-") and Click; a popup menu runs as a modal popup
// window and the chosen item's Click runs after it closes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/forms/form.h"

namespace altimar::forms {

enum PopupMenuFlags { vbPopupMenuLeftButton = 0, vbPopupMenuRightButton = 2 };

class Menu {
 public:
  Menu(std::string name, std::string caption) : Caption(std::move(caption)), name_(std::move(name)) {}
  const std::string& name() const { return name_; }
  std::string Caption;
  bool Checked = false, Enabled = true, Visible = true;
  ClickHandler Click;
  bool separator() const { return Caption == "-"; }

  Menu& Add(std::string name, std::string caption);
  Menu* Find(const std::string& name);
  std::vector<std::unique_ptr<Menu>>& items() { return items_; }

 private:
  std::string name_;
  std::vector<std::unique_ptr<Menu>> items_;
};

// Asks an open popup menu window where one of its items is, in screen
// pixels: SendMessageA(popup, kFindMenuItem, 0, LPARAM(&query)).
inline constexpr win::UINT kFindMenuItem = 0x8000 + 1;  // WM_APP + 1
struct MenuItemQuery {
  std::string name;
  win::RECT rect{};
  bool found = false;
};

// Shows menu's visible items at (x, y) in the form's client twips (the
// pointer's position when both are negative). Returns the item chosen
// (after running its Click), or nullptr when the menu was dismissed.
Menu* PopupMenu(Form& form, Menu& menu, int flags = vbPopupMenuLeftButton, double x = -1,
                double y = -1);

}  // namespace altimar::forms
