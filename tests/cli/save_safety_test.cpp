// What a save leaves when the disk, the limits, the paths or a signal are against it: the original, the
// output, no temporary file, and the reason. Each case runs delvix-cli as a process of its own.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "support/file_bytes.h"
#include "support/icon_builder.h"
#include "support/riff_builder.h"
#include "support/temp_dir.h"

namespace delvix::testing {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

constexpr uid_t nobody = 65534;

// A tmpfs of `bytes` mounted on `folder` for the life of the object, when the process may mount one.
class SmallDisk {
 public:
  SmallDisk(const fs::path& folder, std::size_t bytes) : folder_(folder) {
    fs::create_directories(folder);
    mounted_ = mount("tmpfs", folder.c_str(), "tmpfs", 0, ("size=" + std::to_string(bytes)).c_str()) == 0;
  }
  ~SmallDisk() {
    if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }
  // Fills what is left of it (only a mounted one: the folder may be on the real disk).
  void fill() const {
    if (!mounted_) return;
    const int file = open((folder_ / "filler").c_str(), O_WRONLY | O_CREAT, 0644);
    const Bytes block(4096, 1);
    while (write(file, block.data(), block.size()) > 0) {
    }
    close(file);
  }

 private:
  fs::path folder_;
  bool mounted_ = false;
};

// How the program is started, and what it left.
struct Launch {
  std::vector<std::string> args;
  rlim_t fileSizeLimit = RLIM_INFINITY;
  bool asNobody = false;  // as an ordinary user, for whom a folder's permissions hold
  fs::path input = "/dev/null";
  fs::path output;                    // standard output; a file in the folder when empty
  int signalOnTemporary = 0;          // sent as soon as a temporary file appears in the folder
  std::shared_ptr<SmallDisk> disk{};  // mounted while the case runs
};

struct Ended {
  int status = -1;  // the exit status, or -1
  int signal = 0;   // the signal that ended it, or 0
  bool hung = false;
  std::string err;
};

std::string contentOf(const fs::path& file) {
  auto bytes = readFileBytes(file);
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

// Whether the events waiting on `watch` include the creation of a save's temporary file.
bool temporaryCreated(int watch) {
  alignas(inotify_event) char events[8192];
  const ssize_t length = read(watch, events, sizeof events);
  for (ssize_t at = 0; at < length;) {
    inotify_event event;
    std::memcpy(&event, events + at, sizeof event);
    const std::string name(events + at + sizeof event, strnlen(events + at + sizeof event, event.len));
    if (name.find(".delvix-") != std::string::npos) return true;
    at += static_cast<ssize_t>(sizeof event + event.len);
  }
  return false;
}

Ended run(const fs::path& folder, const Launch& launch) {
  const fs::path errFile = folder / "stderr.txt";
  const fs::path outFile = launch.output.empty() ? folder / "stdout.txt" : launch.output;
  int watch = launch.signalOnTemporary ? inotify_init1(IN_NONBLOCK | IN_CLOEXEC) : -1;
  if (watch >= 0) inotify_add_watch(watch, folder.c_str(), IN_CREATE);

  std::vector<std::string> words{DELVIX_CLI_PATH};
  words.insert(words.end(), launch.args.begin(), launch.args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  const pid_t child = fork();
  if (child == 0) {
    const int in = open(launch.input.c_str(), O_RDONLY | O_NONBLOCK);
    const int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in >= 0) fcntl(in, F_SETFL, 0);
    dup2(in, 0), dup2(out, 1), dup2(err, 2);
    umask(022);
    // As from a terminal: the ending signals end it, whatever the test runner ignores or holds.
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    rlimit limit{launch.fileSizeLimit, launch.fileSizeLimit};
    setrlimit(RLIMIT_FSIZE, &limit);
    if (launch.asNobody && (setgid(nobody) != 0 || setuid(nobody) != 0)) _exit(125);
    execv(argv[0], argv.data());
    _exit(127);
  }
  Ended ended;
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ended.hung = true;
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      break;
    }
    if (watch >= 0 && temporaryCreated(watch)) {
      kill(child, launch.signalOnTemporary);
      close(watch);
      watch = -1;
      continue;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  if (watch >= 0) close(watch);
  if (WIFEXITED(status)) ended.status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) ended.signal = WTERMSIG(status);
  ended.err = contentOf(errFile);
  fs::remove(errFile);
  if (launch.output.empty()) fs::remove(outFile);
  return ended;
}

// Temporary files and empty files anywhere below `folder`.
std::vector<std::string> leftovers(const fs::path& folder) {
  std::vector<std::string> found;
  std::error_code error;
  for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.find(".delvix-") != std::string::npos) found.push_back(name);
    if (it->is_regular_file() && !it->is_symlink() && fs::file_size(it->path()) == 0)
      found.push_back(name + " (empty)");
  }
  return found;
}

// One row: sets up its files in the folder and says how to run; then what the run must leave.
struct SaveCase {
  std::string name;
  std::function<Launch(const fs::path& folder)> prepare;
  int status;           // the exit status expected, or -1 for an end by the signal sent
  std::string message;  // a part of standard error that must be there
  std::function<void(const fs::path& folder)> check;
};

void PrintTo(const SaveCase& c, std::ostream* out) { *out << c.name; }

Bytes iconWith(int pictures, int size) {
  IconFile file;
  for (int i = 0; i < pictures; ++i) file.entries.push_back({DibImage{.width = size, .height = size}.bytes()});
  return file.bytes();
}

const Bytes twoPictures = iconWith(2, 32), onePicture = iconWith(1, 32), bigIcon = iconWith(1, 64);
constexpr std::uint32_t largeSampleBytes = 32 << 20;

void write(const fs::path& file, const Bytes& bytes, mode_t mode = 0644) {
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  chmod(file.c_str(), mode);
}

void expectBytes(const fs::path& file, const Bytes& expected) {
  auto bytes = readFileBytes(file);
  ASSERT_TRUE(bytes) << file;
  EXPECT_TRUE(*bytes == expected) << file << ": " << bytes->size() << " bytes, expected " << expected.size();
}

struct stat statOf(const fs::path& file) {
  struct stat info {};
  stat(file.c_str(), &info);
  return info;
}

// A wave file of 32 MiB of silence, so that its save takes a while.
void writeLargeWave(const fs::path& file) {
  Bytes header = {'R', 'I', 'F', 'F'};
  appendLe32(header, 36 + largeSampleBytes);
  header.insert(header.end(), {'W', 'A', 'V', 'E'});
  const Bytes format = waveFormat({});
  header.insert(header.end(), format.begin(), format.end());
  header.insert(header.end(), {'d', 'a', 't', 'a'});
  appendLe32(header, largeSampleBytes);
  write(file, header);
  std::ofstream out(file, std::ios::binary | std::ios::app);
  const std::string block(1 << 20, '\x80');
  for (std::uint32_t done = 0; done < largeSampleBytes; done += block.size()) out << block;
}

// `delvix-cli save IN OUT` (or the verb given) on files in the folder.
Launch verb(const fs::path& f, std::vector<std::string> args) {
  for (std::string& arg : args)
    if (arg.ends_with(".ico") || arg.ends_with(".wav") || arg == "thumbs") arg = (f / arg).string();
  return {.args = std::move(args)};
}

Launch interrupted(const fs::path& f, const std::string& out, int signal) {
  writeLargeWave(f / "big.wav");
  Launch launch = verb(f, {"save", "big.wav", out});
  launch.signalOnTemporary = signal;
  return launch;
}

// A full disk of its own, mounted on f/disk, holding `old` as out.ico.
Launch onFullDisk(const fs::path& f, std::vector<std::string> args, const Bytes& old = {}) {
  auto disk = std::make_shared<SmallDisk>(f / "disk", 64 << 10);
  if (!old.empty()) write(f / "disk" / "out.ico", old);
  fs::create_directory(f / "disk" / "thumbs");
  disk->fill();
  Launch launch = verb(f, std::move(args));
  launch.disk = disk;
  return launch;
}

std::vector<SaveCase> cases() {
  auto keeps = [](std::string file, Bytes bytes) { return [=](const fs::path& f) { expectBytes(f / file, bytes); }; };
  return {
      {"FileSizeLimitOverTheOriginal",
       [](const fs::path& f) {
         write(f / "in.ico", bigIcon);
         Launch launch = verb(f, {"save", "in.ico", "in.ico"});
         launch.fileSizeLimit = 4096;
         return launch;
       },
       1, "File too large", keeps("in.ico", bigIcon)},
      {"FileSizeLimitUnderANewName",
       [](const fs::path& f) {
         write(f / "in.ico", twoPictures);
         Launch launch = verb(f, {"remove", "in.ico", "picture_1", "out.ico"});
         launch.fileSizeLimit = 2048;
         return launch;
       },
       1, "File too large", [](const fs::path& f) { EXPECT_FALSE(fs::exists(f / "out.ico")); }},
      {"FullDiskKeepsTheOldFile",
       [](const fs::path& f) {
         write(f / "in.ico", bigIcon);
         return onFullDisk(f, {"save", "in.ico", (f / "disk/out.ico").string()}, onePicture);
       },
       1, "No space left on device", keeps("disk/out.ico", onePicture)},
      {"ThumbnailsOnAFullDiskNameEveryFile",
       [](const fs::path& f) {
         write(f / "in.ico", iconWith(5, 16));
         return onFullDisk(f, {"thumbnails", "in.ico", (f / "disk/thumbs").string()});
       },
       1, "picture_1.png: No space left on device",
       [](const fs::path& f) { EXPECT_TRUE(fs::is_empty(f / "disk" / "thumbs")); }},
      {"ReadOnlyFolder",
       [](const fs::path& f) {
         write(f / "in.ico", onePicture);
         fs::create_directory(f / "locked");
         chmod((f / "locked").c_str(), 0555);
         Launch launch = verb(f, {"save", "in.ico", (f / "locked/out.ico").string()});
         launch.asNobody = geteuid() == 0;
         return launch;
       },
       1, "Permission denied", [](const fs::path& f) { EXPECT_TRUE(fs::is_empty(f / "locked")); }},
      {"SymbolicLinkStaysAndItsFileChanges",
       [](const fs::path& f) {
         fs::create_directory(f / "elsewhere");
         write(f / "elsewhere" / "real.ico", twoPictures);
         fs::create_symlink("elsewhere/real.ico", f / "link.ico");
         return verb(f, {"remove", "link.ico", "picture_2", "link.ico"});
       },
       0, "",
       [](const fs::path& f) {
         EXPECT_TRUE(fs::is_symlink(f / "link.ico"));
         expectBytes(f / "elsewhere" / "real.ico", onePicture);
       }},
      {"DanglingSymbolicLinkGetsItsFile",
       [](const fs::path& f) {
         write(f / "in.ico", onePicture);
         fs::create_symlink("made.ico", f / "link.ico");
         return verb(f, {"save", "in.ico", "link.ico"});
       },
       0, "",
       [](const fs::path& f) {
         EXPECT_TRUE(fs::is_symlink(f / "link.ico"));
         expectBytes(f / "made.ico", onePicture);
       }},
      {"HardLinksAllShowTheNewContent",
       [](const fs::path& f) {
         write(f / "in.ico", twoPictures, 0600);
         fs::create_hard_link(f / "in.ico", f / "other.ico");
         return verb(f, {"remove", "in.ico", "picture_2", "in.ico"});
       },
       0, "",
       [](const fs::path& f) {
         expectBytes(f / "other.ico", onePicture);
         EXPECT_TRUE(fs::equivalent(f / "in.ico", f / "other.ico"));
         EXPECT_EQ(statOf(f / "in.ico").st_mode & 07777, 0600u);
       }},
      {"Mode0755KeptOverTheOriginal",
       [](const fs::path& f) {
         write(f / "in.ico", twoPictures, 0755);
         return verb(f, {"remove", "in.ico", "picture_1", "in.ico"});
       },
       0, "", [](const fs::path& f) { EXPECT_EQ(statOf(f / "in.ico").st_mode & 07777, 0755u); }},
      {"ModeAndOwnerKeptUnderANewName",
       [](const fs::path& f) {
         write(f / "in.ico", onePicture);
         write(f / "out.ico", twoPictures, 0600);
         if (geteuid() == 0 && chown((f / "out.ico").c_str(), nobody, nobody) != 0) ADD_FAILURE();
         return verb(f, {"save", "in.ico", "out.ico"});
       },
       0, "",
       [](const fs::path& f) {
         expectBytes(f / "out.ico", onePicture);
         EXPECT_EQ(statOf(f / "out.ico").st_mode & 07777, 0600u);
         EXPECT_EQ(statOf(f / "out.ico").st_uid, geteuid() == 0 ? nobody : geteuid());
       }},
      {"SigtermDuringALargeSaveOverTheOriginal", [](const fs::path& f) { return interrupted(f, "big.wav", SIGTERM); },
       -1, "",
       [](const fs::path& f) { EXPECT_EQ(fs::file_size(f / "big.wav"), std::uintmax_t{largeSampleBytes} + 44); }},
      {"SigintDuringALargeSaveUnderANewName", [](const fs::path& f) { return interrupted(f, "out.wav", SIGINT); }, -1,
       "", [](const fs::path& f) { EXPECT_FALSE(fs::exists(f / "out.wav")); }},
      {"StandardOutputOnAFullDevice",
       [](const fs::path& f) {
         write(f / "in.ico", onePicture);
         Launch launch = verb(f, {"tree", "in.ico"});
         launch.output = "/dev/full";
         return launch;
       },
       1, "delvix-cli: standard output: No space left on device", [](const fs::path&) {}},
  };
}

class SaveSafety : public ::testing::TestWithParam<SaveCase> {};

TEST_P(SaveSafety, LeavesTheOriginalOrTheNewContentAndNoTemporaryFile) {
  const SaveCase& c = GetParam();
  TempDir dir;
  chmod(dir.path().c_str(), 0755);  // for the cases run as another user
  const Launch launch = c.prepare(dir.path());
  if (launch.disk && !launch.disk->mounted()) GTEST_SKIP() << "no tmpfs can be mounted here";
  const Ended ended = run(dir.path(), launch);
  ASSERT_FALSE(ended.hung) << ended.err;
  if (c.status == -1)
    EXPECT_EQ(ended.signal, launch.signalOnTemporary) << ended.err;
  else
    EXPECT_EQ(ended.status, c.status) << ended.err;
  EXPECT_NE(ended.err.find(c.message), std::string::npos) << ended.err;
  if (launch.args[0] == "thumbnails") {  // every file named, not only the first
    for (int i = 2; i <= 5; ++i)
      EXPECT_NE(ended.err.find("picture_" + std::to_string(i) + ".png: No space"), std::string::npos) << ended.err;
  }
  c.check(dir.path());
  EXPECT_EQ(leftovers(dir.path()), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Cases, SaveSafety, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return info.param.name; });

// What FILE may be: a FIFO, a device or a folder is refused at once, with what it is; "-" is standard input.
TEST(SpecialInputs, AreRefusedAtOnceWithTheirKindAndStandardInputIsRead) {
  TempDir dir;
  const fs::path fifo = dir.path() / "pipe.ico", folder = dir.path() / "folder.ani", out = dir.path() / "out.ico";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  fs::create_directory(folder);
  struct Row {
    fs::path file;
    std::string kind;
  };
  for (const Row& row : {Row{fifo, "is a FIFO (named pipe), not a regular file"},
                         Row{"/dev/null", "is a character device, not a regular file"},
                         Row{folder, "Could not open this file: Is a directory"}}) {
    for (const std::string verb : {"tree", "info", "save", "extract"}) {
      if (verb == "extract" && row.file == folder) continue;  // extract takes folders of files
      SCOPED_TRACE(row.file.string() + " " + verb);
      Launch launch{.args = {verb, row.file.string()}};
      if (verb == "save" || verb == "extract") launch.args.push_back(out.string());
      const Ended ended = run(dir.path(), launch);
      ASSERT_FALSE(ended.hung);
      EXPECT_EQ(ended.status, 1);
      EXPECT_NE(ended.err.find(row.file.string() + ": " + row.kind), std::string::npos) << ended.err;
      EXPECT_FALSE(fs::exists(out));
    }
  }

  write(dir.path() / "in.ico", twoPictures);
  EXPECT_EQ(run(dir.path(), {.args = {"save", "-", out.string()}, .input = dir.path() / "in.ico"}).status, 0);
  expectBytes(out, twoPictures);
  const fs::path info = dir.path() / "info.txt";
  EXPECT_EQ(run(dir.path(), {.args = {"info", "-"}, .input = dir.path() / "in.ico", .output = info}).status, 0);
  EXPECT_TRUE(contentOf(info).starts_with("images: 2\npicture 1: ")) << contentOf(info);
  const fs::path pictures = dir.path() / "pictures";
  EXPECT_EQ(run(dir.path(), {.args = {"extract", "-", pictures.string()}, .input = dir.path() / "in.ico"}).status, 0);
  EXPECT_TRUE(fs::exists(pictures / "stdin" / "picture_2.ico"));
}

}  // namespace
}  // namespace delvix::testing
