// The table of running automation objects: a program that serves an object
// registers it under its class id, and a client that holds no reference yet
// asks the table for the running one (what "New ApplicationGE" does on
// Windows).
#pragma once

#include <map>
#include <memory>
#include <string>

namespace altimar::win {

// Base of every automation object, so that the table can hold any of them.
class IUnknown {
 public:
  virtual ~IUnknown() = default;
};

class RunningObjectTable {
 public:
  // Registers (or replaces) the object served under clsid.
  void Register(const std::string& clsid, std::shared_ptr<IUnknown> object);
  // Removes the entry; clients that already hold the object keep it.
  void Revoke(const std::string& clsid);
  // The running object, or nullptr when none is registered.
  std::shared_ptr<IUnknown> Get(const std::string& clsid) const;

 private:
  std::map<std::string, std::shared_ptr<IUnknown>> objects_;
};

}  // namespace altimar::win
