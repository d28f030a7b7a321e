#include "host/application_ge.h"

namespace altimar::host {

IApplicationGE& ApplicationGE::get() {
  if (!object_) {
    auto running = desktop_->RunningObjects().Get(kApplicationGEClsid);
    object_ = std::dynamic_pointer_cast<IApplicationGE>(running);
    if (!object_) throw AutomationError("Google Earth is not running.");
  }
  return *object_;
}

}  // namespace altimar::host
