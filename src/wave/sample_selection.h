#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace delvix::wave {

// The two red lines of the wave view: clicks set the first, then the second (a click on the first line's
// frame leaves only the first), and a click with both set starts again from the clicked frame.
class SampleSelection {
 public:
  // A click on sample frame `frame`; frames at or past `frameCount` are ignored (false).
  bool click(std::uint64_t frame, std::uint64_t frameCount);
  void clear() { first_.reset(), second_.reset(); }

  const std::optional<std::uint64_t>& first() const { return first_; }
  const std::optional<std::uint64_t>& second() const { return second_; }
  // Both lines are set: Delete is possible.
  bool complete() const { return first_ && second_; }
  // The frames Delete removes, both lines included; nullopt unless complete.
  std::optional<std::pair<std::uint64_t, std::uint64_t>> range() const;
  // What the "selected samples" panel shows: how many frames Delete removes, "0" until both lines are set.
  std::string countText() const;

 private:
  std::optional<std::uint64_t> first_, second_;
};

}  // namespace delvix::wave
