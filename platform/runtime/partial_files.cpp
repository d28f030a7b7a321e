#include "platform/runtime/partial_files.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include <atomic>
#include <mutex>

namespace altimar::runtime {
namespace {

// A fixed table: the handler may touch nothing that allocates or locks.
enum SlotState : int { kFree = 0, kFilling = 1, kArmed = 2 };
struct Slot {
  std::atomic<int> state{kFree};
  char path[PATH_MAX];
  char restoreTo[PATH_MAX];
};
constexpr int kSlots = 16;
Slot gSlots[kSlots];
static_assert(std::atomic<int>::is_always_lock_free, "the handler needs lock-free atomics");

extern "C" void OnEndingSignal(int sig) {
  const int savedErrno = errno;
  for (Slot& s : gSlots) {
    if (s.state.load(std::memory_order_acquire) != kArmed) continue;
    if (s.restoreTo[0] != '\0')
      (void)std::rename(s.path, s.restoreTo);
    else
      (void)::unlink(s.path);
  }
  errno = savedErrno;
  // SA_RESETHAND put the default action back; the signal stays blocked until
  // this handler returns, and then ends the process.
  (void)::raise(sig);
}

}  // namespace

void RemovePartialFilesOnSignals() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
      struct sigaction old {};
      if (::sigaction(sig, nullptr, &old) != 0 || old.sa_handler != SIG_DFL) continue;
      struct sigaction sa {};
      sa.sa_handler = OnEndingSignal;
      sigemptyset(&sa.sa_mask);
      sa.sa_flags = SA_RESETHAND;
      ::sigaction(sig, &sa, nullptr);
    }
  });
}

PartialFileGuard::PartialFileGuard(const std::string& path, const std::string& restoreTo) {
  if (path.empty() || path.size() >= PATH_MAX || restoreTo.size() >= PATH_MAX) return;
  for (int k = 0; k < kSlots; ++k) {
    int expected = kFree;
    if (!gSlots[k].state.compare_exchange_strong(expected, kFilling, std::memory_order_acquire))
      continue;
    std::memcpy(gSlots[k].path, path.c_str(), path.size() + 1);
    std::memcpy(gSlots[k].restoreTo, restoreTo.c_str(), restoreTo.size() + 1);
    gSlots[k].state.store(kArmed, std::memory_order_release);
    slot_ = k;
    return;
  }
}

PartialFileGuard::~PartialFileGuard() {
  if (slot_ >= 0) gSlots[slot_].state.store(kFree, std::memory_order_release);
}

}  // namespace altimar::runtime
