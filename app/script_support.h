// What the script driver's parts share: its error, number reading and
// formatting, and finding the program's forms and controls by name.
#pragma once

#include <stdexcept>
#include <string>

#include "app/program.h"

namespace altimar::app::scripting {

class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The number a text holds (all of it); what names the value in the error.
double Number(const std::string& s, const std::string& what);
// A whole number from lo to hi (all of the text), else an error naming the range.
long long Integer(const std::string& s, const std::string& what, long long lo, long long hi);
// Screen pixels a script may name: what a mouse message can carry.
inline constexpr long long kMinCoordinate = -32768, kMaxCoordinate = 32767;
std::string Bool(bool b);
std::string Num(double v);
// A form of the program by name, or nullptr.
forms::Form* FindForm(Program& p, const std::string& name);
// "Name" or "Name(3)" (an element of a control array), or nullptr.
forms::Control* FindControl(forms::Form& f, const std::string& control);

}  // namespace altimar::app::scripting
