#include "platform/win/running_objects.h"

namespace altimar::win {

void RunningObjectTable::Register(const std::string& clsid, std::shared_ptr<IUnknown> object) {
  objects_[clsid] = std::move(object);
}

void RunningObjectTable::Revoke(const std::string& clsid) { objects_.erase(clsid); }

std::shared_ptr<IUnknown> RunningObjectTable::Get(const std::string& clsid) const {
  auto it = objects_.find(clsid);
  return it == objects_.end() ? nullptr : it->second;
}

}  // namespace altimar::win
