// The script driver's targets: controls by name, points on the screen,
// properties to print, check and set.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <sstream>
#include <vector>

#include "app/script.h"
#include "app/script_support.h"
#include "platform/earth/globe.h"
#include "platform/forms/menu.h"

namespace altimar::app {

namespace scripting {

double Number(const std::string& s, const std::string& what) {
  double v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size())
    throw ScriptError(what + " is not a number: '" + s + "'");
  return v;
}

namespace {
bool WholeIn(double v, long long lo, long long hi) {
  return v >= static_cast<double>(lo) && v <= static_cast<double>(hi) && v == std::floor(v);
}
std::string Range(long long lo, long long hi) {
  return std::to_string(lo) + " to " + std::to_string(hi);
}
}  // namespace

long long Integer(const std::string& s, const std::string& what, long long lo, long long hi) {
  const double v = Number(s, what);
  if (!WholeIn(v, lo, hi))
    throw ScriptError(what + " is a whole number from " + Range(lo, hi) + ", not '" + s + "'");
  return static_cast<long long>(v);
}

std::string Bool(bool b) {
  return b ? "true" : "false";
}
std::string Num(double v) {
  std::ostringstream s;
  s << v;
  return s.str();
}

forms::Form* FindForm(Program& p, const std::string& name) {
  for (forms::Form* f : std::initializer_list<forms::Form*>{
           &p.frmQuarlin, &p.frmGEMenu, &p.frmMove, &p.frmFloatingInfo, &p.frmContour,
           &p.styles.frmBBoxStyle, &p.styles.frmHighlightStyle, &p.styles.frmCursorStyle,
           &p.styles.frmSetRGB, &p.frmOpenOptions, &p.frmOpenResource, &p.frmFastSelect, &p.frmHtml,
           &p.frmHTML_})
    if (f->name() == name) return f;
  return nullptr;
}

forms::Control* FindControl(forms::Form& f, const std::string& control) {
  const auto open = control.find('(');
  if (open == std::string::npos || control.back() != ')') {
    for (forms::Control* c : f.controls())
      if (c->name() == control) return c;
    return nullptr;
  }
  const std::string name = control.substr(0, open),
                    text = control.substr(open + 1, control.size() - open - 2);
  const double index = Number(text, "the index of " + name);
  std::vector<int> elements;
  bool named = false;
  for (forms::Control* c : f.controls()) {
    if (c->name() != name) continue;
    named = true;
    if (c->Index < 0) continue;
    if (WholeIn(index, 0, c->Index) && static_cast<int>(index) == c->Index) return c;
    elements.push_back(c->Index);
  }
  if (!named) return nullptr;
  if (elements.empty()) throw ScriptError(f.name() + "." + name + " is not a control array");
  std::sort(elements.begin(), elements.end());
  std::string list;
  for (int e : elements) list += (list.empty() ? "" : ", ") + std::to_string(e);
  throw ScriptError(f.name() + "." + name + " has the elements " + list + ", not '" + text + "'");
}

}  // namespace scripting

using namespace altimar::win;
using namespace altimar::app::scripting;

// The control of "form.control", "form.control(2)" or "form.toolbar:key"
// (key gets the toolbar button's key, if any).
forms::Control* Script::ControlOf(const std::string& target, std::string& key) {
  const auto dot = target.find('.');
  forms::Form* form = FindForm(*program_, target.substr(0, dot));
  if (!form) throw ScriptError("no form '" + target.substr(0, dot) + "'");
  std::string control = target.substr(dot + 1);
  key.clear();
  if (const auto colon = control.find(':'); colon != std::string::npos) {
    key = control.substr(colon + 1);
    control = control.substr(0, colon);
  }
  forms::Control* c = FindControl(*form, control);
  if (!c) throw ScriptError("no control '" + target + "'");
  return c;
}

// A point on the screen: "X,Y", "globe" (the 3D view's centre), a control
// "form.control", an element of an array "form.control(2)", a toolbar
// button "form.toolbar:key", or an item of the open popup menu "menu:item".
POINT Script::PointOf(const std::string& target) {
  auto pixel = [](const std::string& s, const char* what) {
    return static_cast<LONG>(Integer(s, what, kMinCoordinate, kMaxCoordinate));
  };
  if (const auto comma = target.find(',');
      comma != std::string::npos && target.find('.') == std::string::npos)
    return {pixel(target.substr(0, comma), "x"), pixel(target.substr(comma + 1), "y")};
  RECT r;
  if (target == "globe") {
    if (!globe_ || !desktop_.GetWindowRect(globe_->GetRenderHwnd(), &r))
      throw ScriptError("no globe is running");
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  if (target.rfind("menu:", 0) == 0) {
    forms::MenuItemQuery q;
    q.name = target.substr(5);
    const HWND popup = desktop_.FindWindowA("#32768", "");
    if (popup == 0) throw ScriptError("no menu is open");
    desktop_.SendMessageA(popup, forms::kFindMenuItem, 0, reinterpret_cast<LPARAM>(&q));
    if (!q.found) throw ScriptError("the open menu has no item '" + q.name + "'");
    return {q.rect.left + 30, (q.rect.top + q.rect.bottom) / 2};
  }
  if (!program_) throw ScriptError("the program is not started");
  // "form.control@X,Y": that pixel of the control instead of its centre.
  if (const auto at = target.find('@'); at != std::string::npos) {
    const std::string offset = target.substr(at + 1);
    const auto comma = offset.find(',');
    if (comma == std::string::npos) throw ScriptError("an offset is @X,Y");
    const LONG dx = pixel(offset.substr(0, comma), "x"), dy = pixel(offset.substr(comma + 1), "y");
    const POINT centre = PointOf(target.substr(0, at));
    RECT box;
    desktop_.GetWindowRect(desktop_.WindowFromPoint(centre), &box);
    const long long x = static_cast<long long>(box.left) + dx,
                    y = static_cast<long long>(box.top) + dy;
    if (x < kMinCoordinate || x > kMaxCoordinate || y < kMinCoordinate || y > kMaxCoordinate)
      throw ScriptError(target + " is " + std::to_string(x) + "," + std::to_string(y) +
                        ", outside the screen pixels a script may name (" +
                        std::to_string(kMinCoordinate) + " to " + std::to_string(kMaxCoordinate) +
                        ")");
    return {static_cast<LONG>(x), static_cast<LONG>(y)};
  }
  if (target.find('.') == std::string::npos)
    throw ScriptError("a target is X,Y, globe, menu:item or form.control");
  std::string key;
  forms::Control* c = ControlOf(target, key);
  if (!desktop_.IsWindowVisible(c->hwnd()) || !desktop_.GetWindowRect(c->hwnd(), &r))
    throw ScriptError(target + " is not on the screen");
  if (!key.empty()) {
    auto* bar = dynamic_cast<forms::Toolbar*>(c);
    if (!bar) throw ScriptError(target + ": only a toolbar has buttons");
    RECT b;
    if (!bar->ButtonRect(key, b)) throw ScriptError("the toolbar shows no button '" + key + "'");
    return {r.left + (b.left + b.right) / 2, r.top + (b.top + b.bottom) / 2};
  }
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

std::vector<std::pair<std::string, std::string>> Script::Properties(const std::string& target) {
  std::vector<std::pair<std::string, std::string>> p;
  if (target == "program") {
    if (!program_) throw ScriptError("the program is not started");
    p = {{"ended", Bool(program_->ended())},
         {"ConnectMode", std::to_string(program_->frmQuarlin.ConnectMode)},
         {"Docked", Bool(program_->frmQuarlin.Docked)},
         {"LastToolKey", program_->frmQuarlin.LastToolKey},
         {"GridReady", Bool(program_->contour.GridReady)},
         {"GridCols", std::to_string(program_->contour.GridCols)},
         {"GridRows", std::to_string(program_->contour.GridRows)},
         {"NumLevels", std::to_string(program_->contour.NumLevels)},
         {"LevelMode", std::to_string(program_->contour.LevelMode)},
         {"LevelInterval", std::to_string(program_->contour.LevelInterval)},
         {"LabelContours", Bool(program_->contour.LabelContours)},
         {"LowColor", std::to_string(program_->contour.LowColor)},
         {"HighColor", std::to_string(program_->contour.HighColor)},
         {"SampleDelayMs", std::to_string(program_->contour.SampleDelayMs)},
         {"StyleColor", std::to_string(program_->style.StyleColor)},
         {"StyleWidth", Num(program_->style.StyleWidth)},
         {"BBoxColor", std::to_string(program_->style.BBoxColor)},
         {"HighlightColor", std::to_string(program_->style.HighlightColor)},
         {"CursorColor", std::to_string(program_->style.CursorColor)},
         {"CursorShape", std::to_string(program_->style.CursorShape)},
         {"CursorWidth", std::to_string(program_->style.CursorWidth)},
         {"HookDepth", std::to_string(program_->hooks.Depth())}};
    return p;
  }
  if (target == "globe") {
    if (!globe_) throw ScriptError("no globe was started");
    const earth::CameraState c = globe_->camera();
    p = {{"running", Bool(globe_->running())},
         {"latitude", Num(c.focusLatitude)},
         {"longitude", Num(c.focusLongitude)},
         {"range", Num(c.range)},
         {"tilt", Num(c.tilt)},
         {"azimuth", Num(c.azimuth)},
         {"opened", std::to_string(globe_->openRequests().size())},
         {"queries", std::to_string(globe_->terrainQueries())}};
    return p;
  }
  if (!program_) throw ScriptError("the program is not started");
  const auto dot = target.find('.');
  forms::Form* form = FindForm(*program_, target.substr(0, dot));
  if (!form) throw ScriptError("no form '" + target.substr(0, dot) + "'");
  if (dot == std::string::npos) {
    p = {{"loaded", Bool(form->loaded())}};
    if (form->loaded())
      p.insert(p.end(), {{"Caption", form->Caption()},
                         {"Visible", Bool(form->Visible())},
                         {"Left", Num(form->Left())},
                         {"Top", Num(form->Top())},
                         {"Width", Num(form->Width())},
                         {"Height", Num(form->Height())}});
    return p;
  }
  std::string key;
  forms::Control* c = ControlOf(target, key);
  if (!key.empty()) {
    auto* bar = dynamic_cast<forms::Toolbar*>(c);
    forms::ToolbarButton* b = bar ? bar->Button(key) : nullptr;
    if (!b) throw ScriptError("no toolbar button '" + target + "'");
    return {{"Value", std::to_string(b->Value)},
            {"Enabled", Bool(b->Enabled)},
            {"Visible", Bool(b->Visible)},
            {"ToolTipText", b->ToolTipText}};
  }
  p = {{"Visible", Bool(c->Visible())}, {"Enabled", Bool(c->Enabled())},
       {"Left", Num(c->Left())},        {"Top", Num(c->Top())},
       {"Width", Num(c->Width())},      {"Height", Num(c->Height())}};
  if (auto* b = dynamic_cast<forms::CommandButton*>(c)) p.emplace_back("Caption", b->Caption);
  if (auto* l = dynamic_cast<forms::Label*>(c)) p.emplace_back("Caption", l->Caption);
  if (auto* f = dynamic_cast<forms::Frame*>(c)) p.emplace_back("Caption", f->Caption);
  if (auto* t = dynamic_cast<forms::TextBox*>(c)) p.emplace_back("Text", t->Text());
  if (auto* k = dynamic_cast<forms::CheckBox*>(c)) {
    p.emplace_back("Caption", k->Caption);
    p.emplace_back("Value", std::to_string(k->Value));
  }
  if (auto* o = dynamic_cast<forms::OptionButton*>(c)) {
    p.emplace_back("Caption", o->Caption);
    p.emplace_back("Value", Bool(o->Value()));
  }
  if (auto* g = dynamic_cast<forms::ProgressBar*>(c)) {
    p.emplace_back("Min", Num(g->Min()));
    p.emplace_back("Max", Num(g->Max()));
    p.emplace_back("Value", Num(g->Value()));
  }
  if (auto* b = dynamic_cast<forms::ScrollBar*>(c))
    p.emplace_back("Value", std::to_string(b->Value()));
  if (auto* s = dynamic_cast<forms::Slider*>(c))
    p.emplace_back("Value", std::to_string(s->Value()));
  if (auto* b = dynamic_cast<forms::ComboBox*>(c)) {
    p.emplace_back("ListIndex", std::to_string(b->ListIndex()));
    p.emplace_back("Text", b->Text());
  }
  if (auto* bar = dynamic_cast<forms::Toolbar*>(c)) {
    std::string keys;
    for (const auto& b : bar->Buttons())
      if (!b.Key.empty()) keys += (keys.empty() ? "" : ",") + b.Key;
    p.emplace_back("Buttons", keys);
  }
  return p;
}

// Sets a control's value the way its own gestures would (raising its
// Change or Click): Value of a scroll bar, slider, check box or option
// button, Text of a text box, ListIndex of a combo box.
void Script::SetProperty(const std::string& target, const std::string& value) {
  const auto dot = target.rfind('.');
  const auto first = target.find('.');
  if (!program_) throw ScriptError("the program is not started");
  if (dot == std::string::npos || dot == first)
    throw ScriptError("set FORM.CONTROL.PROPERTY VALUE");
  forms::Form* form = FindForm(*program_, target.substr(0, first));
  if (!form) throw ScriptError("no form '" + target.substr(0, first) + "'");
  forms::Control* c = FindControl(*form, target.substr(first + 1, dot - first - 1));
  if (!c) throw ScriptError("no control '" + target.substr(0, dot) + "'");
  const std::string property = target.substr(dot + 1);
  if (!c->Enabled()) throw ScriptError(target.substr(0, dot) + " is disabled");
  // A value the control's own gestures could not give is refused, not clamped.
  auto number = [&](int lo, int hi) {
    return static_cast<int>(Integer(value, target, std::min(lo, hi), std::max(lo, hi)));
  };
  if (property == "Value") {
    if (auto* b = dynamic_cast<forms::ScrollBar*>(c)) return b->SetValue(number(b->Min, b->Max));
    if (auto* s = dynamic_cast<forms::Slider*>(c)) return s->SetValue(number(s->Min, s->Max));
    if (auto* k = dynamic_cast<forms::CheckBox*>(c)) return k->SetValue(number(0, 1));
    if (auto* o = dynamic_cast<forms::OptionButton*>(c)) {
      if (value != "true" && value != "false")
        throw ScriptError(target + " is true or false, not '" + value + "'");
      return o->SetValue(value == "true");
    }
  } else if (property == "Text") {
    if (auto* t = dynamic_cast<forms::TextBox*>(c)) return t->SetText(value);
  } else if (property == "ListIndex") {
    if (auto* b = dynamic_cast<forms::ComboBox*>(c))
      return b->SetListIndex(number(-1, b->ListCount() - 1));
  }
  throw ScriptError(target + " cannot be set");
}

}  // namespace altimar::app
