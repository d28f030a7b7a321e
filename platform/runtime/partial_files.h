// Files that must not outlive a run ended by SIGINT, SIGTERM or SIGHUP: a
// document half written under a temporary name, or an earlier document set
// aside while the new one takes its place. The signal handler only unlinks
// and renames (both async-signal-safe), then ends the process by the same
// signal with its default action, so the exit status still tells the signal.
#pragma once

#include <string>

namespace altimar::runtime {

// Installs the handlers once. A signal whose disposition is not the default
// (ignored under nohup, say) is left alone.
void RemovePartialFilesOnSignals();

// While it lives, a signal removes `path`, or, with `restoreTo`, renames
// `path` back to `restoreTo`. A path too long for the fixed table (or a full
// table) is simply not watched: watched() says which.
class PartialFileGuard {
 public:
  explicit PartialFileGuard(const std::string& path, const std::string& restoreTo = {});
  ~PartialFileGuard();
  PartialFileGuard(const PartialFileGuard&) = delete;
  PartialFileGuard& operator=(const PartialFileGuard&) = delete;
  bool watched() const { return slot_ >= 0; }

 private:
  int slot_ = -1;
};

}  // namespace altimar::runtime
