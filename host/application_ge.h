// One holder's reference to the running globe (its objGE). Empty until first
// used; the first call connects to the globe registered on the desktop and
// keeps that reference until the holder goes away.
#pragma once

#include <memory>

#include "platform/automation/ge_interfaces.h"
#include "platform/win/desktop.h"

namespace altimar::host {

class ApplicationGE {
 public:
  explicit ApplicationGE(win::Desktop& desktop) : desktop_(&desktop) {}

  // The connected globe; connects on first use. Throws AutomationError when
  // no globe is running.
  automation::IApplicationGE& get();
  automation::IApplicationGE* operator->() { return &get(); }
  bool connected() const { return object_ != nullptr; }
  // Drops the reference (the next call connects again).
  void reset() { object_.reset(); }

 private:
  win::Desktop* desktop_;
  std::shared_ptr<automation::IApplicationGE> object_;
};

}  // namespace altimar::host
