#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace delvix::app {

// The lines of everything the program reported during the run, in order, and who wants to hear of new ones.
class MessageLog {
 public:
  struct Listener {
    std::function<void(std::string_view line)> added;
    std::function<void()> cleared;
  };

  // Ends a listener's hearing when it goes; harmless after the log is gone.
  class Subscription {
   public:
    Subscription() = default;
    Subscription(Subscription&&) noexcept = default;
    Subscription& operator=(Subscription&& other) noexcept;
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { end(); }
    void end();

   private:
    friend class MessageLog;
    using Listeners = std::map<std::size_t, Listener>;
    Subscription(std::weak_ptr<Listeners> listeners, std::size_t id) : listeners_(std::move(listeners)), id_(id) {}
    std::weak_ptr<Listeners> listeners_;
    std::size_t id_ = 0;
  };

  void add(std::string_view line);
  const std::vector<std::string>& lines() const { return lines_; }
  void clear();

  // Tells `listener` of every line added and every clearing until the subscription ends. A listener may
  // not add lines, listen or end a subscription while it is being told.
  [[nodiscard]] Subscription listen(Listener listener);

 private:
  std::vector<std::string> lines_;
  std::shared_ptr<Subscription::Listeners> listeners_ = std::make_shared<Subscription::Listeners>();
  std::size_t nextId_ = 0;
};

inline constexpr const char* logFileName = "Log.dat";

// Writes the log as "Log.dat", one line per entry, replacing an older one: into `programFolder` when that
// can be written, else into `dataFolder` (made when missing). Returns the file written, nullopt when neither could be.
std::optional<std::filesystem::path> saveLogFile(const MessageLog& log, const std::filesystem::path& programFolder,
                                                 const std::filesystem::path& dataFolder);

}  // namespace delvix::app
