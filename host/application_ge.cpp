#include "host/application_ge.h"

namespace altimar::host {

automation::IApplicationGE& ApplicationGE::get() {
  if (!object_) {
    auto running = desktop_->RunningObjects().Get(automation::kApplicationGEClsid);
    object_ = std::dynamic_pointer_cast<automation::IApplicationGE>(running);
    if (!object_) throw automation::AutomationError("Google Earth is not running.");
  }
  return *object_;
}

}  // namespace altimar::host
