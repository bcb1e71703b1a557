#pragma once
// ProgressWatch: whether each of the watched threads has made progress lately.
// A thread shows its progress as a count that grows while it works (and
// while it waits for work, which it does in short steps); a count that stays
// as it was for a whole period belongs to a thread that is stuck. Asked from
// one thread only.

#include <cstdint>
#include <functional>
#include <vector>

class ProgressWatch {
 public:
  using Progress = std::function<std::uint64_t()>;

  void Watch(Progress progress);
  bool Empty() const { return watched_.empty(); }

  // Whether every count changed within periodMs before nowMs; the first look
  // at a count counts as a change.
  bool AllProgressed(std::int64_t nowMs, std::int64_t periodMs);

 private:
  struct Watched {
    Progress progress;
    bool seen = false;
    std::uint64_t last = 0;
    std::int64_t changedAtMs = 0;
  };
  std::vector<Watched> watched_;
};
