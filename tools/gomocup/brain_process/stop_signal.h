#pragma once
// A switch one thread throws to end another thread's waits at once: how a
// game is stopped from outside while a brain thinks. Once set it stays set,
// with the first reason given.
//
// fd() becomes readable when the switch is set and stays readable, so a
// poll() on a brain's pipe can watch it beside the pipe; WaitFor is the
// same wait for a caller with nothing else to watch.
//
// Thread-safety: every member may be called from any thread at once.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace quorvex::match {

class StopSignal {
 public:
  // Throws std::system_error when no descriptor is left for it.
  StopSignal();
  ~StopSignal();
  StopSignal(const StopSignal&) = delete;
  StopSignal& operator=(const StopSignal&) = delete;

  void Set(const std::string& reason);
  bool IsSet() const { return set_.load(); }
  // The reason of the first Set; empty before it.
  std::string reason() const;
  int fd() const { return fd_; }
  // Waits at most `ms`; true when the switch is set.
  bool WaitFor(int32_t ms) const;

 private:
  const int fd_;
  std::atomic<bool> set_{false};
  mutable std::mutex mutex_;
  std::string reason_;  // guarded by mutex_
};

}  // namespace quorvex::match
