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
  fs::path output;            // standard output; a file in the folder when empty
  int signalOnTemporary = 0;  // sent as soon as a temporary file appears in `watched`
  fs::path watched;
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
  if (watch >= 0) inotify_add_watch(watch, launch.watched.c_str(), IN_CREATE);

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

Bytes iconWith(int pictures, int size) {
  IconFile file;
  for (int i = 0; i < pictures; ++i) file.entries.push_back({DibImage{.width = size, .height = size}.bytes()});
  return file.bytes();
}

// One row: sets up its files in the folder, says how to run, and checks what is there afterwards.
struct SaveCase {
  std::string name;
  std::function<Launch(const fs::path& folder)> prepare;
  int status;           // the exit status expected, or -1 for an end by signal
  std::string message;  // a part of standard error that must be there
  std::function<void(const fs::path& folder)> check;
};

const Bytes twoPictures = iconWith(2, 32);
const Bytes onePicture = iconWith(1, 32);
const Bytes bigIcon = iconWith(1, 64);  // more than 16 KiB

void expectBytes(const fs::path& file, const Bytes& expected) {
  auto bytes = readFileBytes(file);
  ASSERT_TRUE(bytes) << file;
  EXPECT_TRUE(*bytes == expected) << file << ": " << bytes->size() << " bytes, expected " << expected.size();
}

mode_t modeOf(const fs::path& file) {
  struct stat info {};
  stat(file.c_str(), &info);
  return info.st_mode & 07777;
}

void write(const fs::path& file, const Bytes& bytes, mode_t mode = 0644) {
  const int descriptor = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, mode);
  ASSERT_EQ(::write(descriptor, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  close(descriptor);
  chmod(file.c_str(), mode);
}

constexpr std::uint32_t largeSampleBytes = 32 << 20;

// A wave file of 32 MiB of silence, large enough that its save takes a while.
void writeLargeWave(const fs::path& file) {
  Bytes header = {'R', 'I', 'F', 'F'};
  appendLe32(header, 4 + 24 + 8 + largeSampleBytes);
  header.insert(header.end(), {'W', 'A', 'V', 'E'});
  const Bytes format = waveFormat({});
  header.insert(header.end(), format.begin(), format.end());
  header.insert(header.end(), {'d', 'a', 't', 'a'});
  appendLe32(header, largeSampleBytes);
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(header.data()), static_cast<std::streamsize>(header.size()));
  const std::string block(1 << 20, '\x80');
  for (std::uint32_t done = 0; done < largeSampleBytes; done += block.size()) out << block;
}

Launch interrupted(const fs::path& folder, const std::string& in, const std::string& out, int signal) {
  writeLargeWave(folder / "big.wav");
  return {.args = {"save", (folder / in).string(), (folder / out).string()},
          .signalOnTemporary = signal,
          .watched = folder};
}

std::vector<SaveCase> cases() {
  return {
      {"FileSizeLimitOverTheOriginal",
       [](const fs::path& f) {
         write(f / "in.ico", bigIcon);
         return Launch{.args = {"save", (f / "in.ico").string(), (f / "in.ico").string()}, .fileSizeLimit = 4096};
       },
       1, "File too large", [](const fs::path& f) { expectBytes(f / "in.ico", bigIcon); }},
      {"FileSizeLimitUnderANewName",
       [](const fs::path& f) {
         write(f / "in.ico", twoPictures);
         return Launch{.args = {"remove", (f / "in.ico").string(), "picture_1", (f / "out.ico").string()},
                       .fileSizeLimit = 2048};
       },
       1, "File too large",
       [](const fs::path& f) {
         expectBytes(f / "in.ico", twoPictures);
         EXPECT_FALSE(fs::exists(f / "out.ico"));
       }},
      {"FullDiskKeepsTheOldFile",
       [](const fs::path& f) {
         auto disk = std::make_shared<SmallDisk>(f / "disk", 64 << 10);
         write(f / "in.ico", bigIcon);
         write(f / "disk" / "out.ico", onePicture);
         disk->fill();
         return Launch{.args = {"save", (f / "in.ico").string(), (f / "disk" / "out.ico").string()}, .disk = disk};
       },
       1, "No space left on device", [](const fs::path& f) { expectBytes(f / "disk" / "out.ico", onePicture); }},
      {"ThumbnailsOnAFullDiskNameEveryFile",
       [](const fs::path& f) {
         auto disk = std::make_shared<SmallDisk>(f / "disk", 64 << 10);
         write(f / "in.ico", iconWith(5, 16));
         fs::create_directory(f / "disk" / "thumbs");
         disk->fill();
         return Launch{.args = {"thumbnails", (f / "in.ico").string(), (f / "disk" / "thumbs").string()}, .disk = disk};
       },
       1, "picture_5.png: No space left on device",
       [](const fs::path& f) { EXPECT_TRUE(fs::is_empty(f / "disk" / "thumbs")); }},
      {"ReadOnlyFolder",
       [](const fs::path& f) {
         write(f / "in.ico", onePicture);
         fs::create_directory(f / "locked");
         chmod((f / "locked").c_str(), 0555);
         return Launch{.args = {"save", (f / "in.ico").string(), (f / "locked" / "out.ico").string()},
                       .asNobody = geteuid() == 0};
       },
       1, "Permission denied", [](const fs::path& f) { EXPECT_TRUE(fs::is_empty(f / "locked")); }},
      {"SymbolicLinkStaysAndItsFileChanges",
       [](const fs::path& f) {
         fs::create_directory(f / "elsewhere");
         write(f / "elsewhere" / "real.ico", twoPictures);
         fs::create_symlink("elsewhere/real.ico", f / "link.ico");
         return Launch{.args = {"remove", (f / "link.ico").string(), "picture_2", (f / "link.ico").string()}};
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
         return Launch{.args = {"save", (f / "in.ico").string(), (f / "link.ico").string()}};
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
         return Launch{.args = {"remove", (f / "in.ico").string(), "picture_2", (f / "in.ico").string()}};
       },
       0, "",
       [](const fs::path& f) {
         expectBytes(f / "other.ico", onePicture);
         EXPECT_TRUE(fs::equivalent(f / "in.ico", f / "other.ico"));
         EXPECT_EQ(modeOf(f / "in.ico"), 0600u);
       }},
      {"Mode0600Kept",
       [](const fs::path& f) {
         write(f / "in.ico", onePicture);
         write(f / "out.ico", twoPictures, 0600);
         return Launch{.args = {"save", (f / "in.ico").string(), (f / "out.ico").string()}};
       },
       0, "",
       [](const fs::path& f) {
         expectBytes(f / "out.ico", onePicture);
         EXPECT_EQ(modeOf(f / "out.ico"), 0600u);
       }},
      {"Mode0755KeptOverTheOriginal",
       [](const fs::path& f) {
         write(f / "in.ico", twoPictures, 0755);
         return Launch{.args = {"remove", (f / "in.ico").string(), "picture_1", (f / "in.ico").string()}};
       },
       0, "",
       [](const fs::path& f) {
         expectBytes(f / "in.ico", onePicture);
         EXPECT_EQ(modeOf(f / "in.ico"), 0755u);
       }},
      {"ANewFileFollowsTheUmask",
       [](const fs::path& f) {
         write(f / "in.ico", onePicture, 0700);
         return Launch{.args = {"save", (f / "in.ico").string(), (f / "new.ico").string()}};
       },
       0, "", [](const fs::path& f) { EXPECT_EQ(modeOf(f / "new.ico"), 0644u); }},
      {"OwnerKept",
       [](const fs::path& f) {
         write(f / "in.ico", onePicture);
         write(f / "out.ico", twoPictures);
         if (geteuid() == 0 && chown((f / "out.ico").c_str(), nobody, nobody) != 0) ADD_FAILURE();
         return Launch{.args = {"save", (f / "in.ico").string(), (f / "out.ico").string()}};
       },
       0, "",
       [](const fs::path& f) {
         struct stat info {};
         stat((f / "out.ico").c_str(), &info);
         if (geteuid() == 0) {
           EXPECT_EQ(info.st_uid, nobody);
         }
         expectBytes(f / "out.ico", onePicture);
       }},
      {"SigtermDuringALargeSaveOverTheOriginal",
       [](const fs::path& f) { return interrupted(f, "big.wav", "big.wav", SIGTERM); }, -1, "",
       [](const fs::path& f) { EXPECT_EQ(fs::file_size(f / "big.wav"), std::uintmax_t{largeSampleBytes} + 44); }},
      {"SigintDuringALargeSaveUnderANewName",
       [](const fs::path& f) { return interrupted(f, "big.wav", "out.wav", SIGINT); }, -1, "",
       [](const fs::path& f) { EXPECT_FALSE(fs::exists(f / "out.wav")); }},
      {"SighupDuringALargeSaveUnderANewName",
       [](const fs::path& f) { return interrupted(f, "big.wav", "out.wav", SIGHUP); }, -1, "",
       [](const fs::path& f) { EXPECT_FALSE(fs::exists(f / "out.wav")); }},
      {"StandardOutputOnAFullDevice",
       [](const fs::path& f) {
         write(f / "in.ico", onePicture);
         return Launch{.args = {"tree", (f / "in.ico").string()}, .output = "/dev/full"};
       },
       1, "delvix-cli: standard output: No space left on device", [](const fs::path&) {}},
  };
}

void PrintTo(const SaveCase& c, std::ostream* out) { *out << c.name; }

class SaveSafety : public ::testing::TestWithParam<SaveCase> {};

TEST_P(SaveSafety, LeavesTheOriginalOrTheNewContentAndNoTemporaryFile) {
  const SaveCase& c = GetParam();
  TempDir dir;
  chmod(dir.path().c_str(), 0755);  // for the cases run as another user
  const Launch launch = c.prepare(dir.path());
  if (launch.disk && !launch.disk->mounted()) GTEST_SKIP() << "no tmpfs can be mounted here";
  const Ended ended = run(dir.path(), launch);
  ASSERT_FALSE(ended.hung) << ended.err;
  if (c.status == -1) {
    EXPECT_EQ(ended.signal, launch.signalOnTemporary) << ended.err;
  } else if (c.status >= 0) {
    EXPECT_EQ(ended.status, c.status) << ended.err;
  }
  EXPECT_NE(ended.err.find(c.message), std::string::npos) << ended.err;
  if (launch.args[0] == "thumbnails") {
    for (int i = 1; i <= 5; ++i)
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
  for (const Row& row :
       {Row{fifo, "a FIFO (named pipe)"}, Row{"/dev/null", "a character device"}, Row{folder, "a folder"}}) {
    for (const std::string verb : {"tree", "info", "save", "extract"}) {
      if (verb == "extract" && row.kind == "a folder") continue;  // extract takes folders of files
      SCOPED_TRACE(row.file.string() + " " + verb);
      Launch launch{.args = {verb, row.file.string()}};
      if (verb == "save" || verb == "extract") launch.args.push_back(out.string());
      const Ended ended = run(dir.path(), launch);
      ASSERT_FALSE(ended.hung);
      EXPECT_EQ(ended.status, 1);
      EXPECT_NE(ended.err.find(row.file.string() + ": is " + row.kind + ", not a regular file"), std::string::npos)
          << ended.err;
      EXPECT_FALSE(fs::exists(out));
    }
  }

  write(dir.path() / "in.ico", twoPictures);
  EXPECT_EQ(run(dir.path(), {.args = {"save", "-", out.string()}, .input = dir.path() / "in.ico"}).status, 0);
  expectBytes(out, twoPictures);
  const fs::path info = dir.path() / "info.txt";
  EXPECT_EQ(run(dir.path(), {.args = {"info", "-"}, .input = dir.path() / "in.ico", .output = info}).status, 0);
  EXPECT_EQ(contentOf(info), "images: 2\n");
  const fs::path pictures = dir.path() / "pictures";
  EXPECT_EQ(run(dir.path(), {.args = {"extract", "-", pictures.string()}, .input = dir.path() / "in.ico"}).status, 0);
  EXPECT_TRUE(fs::exists(pictures / "picture_2.ico"));
}

}  // namespace
}  // namespace delvix::testing
