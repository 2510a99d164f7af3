// set-icon, set-cursor, set-bitmap, add-resource and remove-resource on real and built modules.
#include <gtest/gtest.h>

#include <fstream>

#include "cli/cli_run.h"
#include "formats/file_content.h"
#include "formats/pe/group_resource.h"
#include "formats/pe/resource_directory.h"
#include "formats/pe/resource_files.h"
#include "support/corpus.h"
#include "support/pe_builder.h"
#include "support/riff_builder.h"
#include "support/temp_dir.h"

namespace delvix::cli {
namespace {

using namespace delvix::testing;
namespace pe = formats::pe;

ByteVector iconFile() {
  IconFile file;
  file.entries.push_back({DibImage{.width = 16, .height = 16, .bitCount = 8, .palette = {0xFF0000}}.bytes()});
  file.entries.push_back({solidPng(48, 48, 0x00FF00FF)});
  return file.bytes();
}

ByteVector fileBytes(const std::filesystem::path& path) {
  const auto content = formats::FileContent::read(path);
  return content ? ByteVector(content->bytes().begin(), content->bytes().end()) : ByteVector{};
}

// The images of the module's first icon group, as its pictures hold them.
std::vector<ByteVector> mainIconImages(const ByteVector& module, model::ResourceName& name) {
  const auto image = pe::PeImage::parse(module);
  auto directory = image ? pe::ResourceDirectory::open(*image) : std::nullopt;
  if (!directory || directory->names(pe::rtGroupIcon).empty()) return {};
  name = directory->names(pe::rtGroupIcon).front();
  std::vector<ByteVector> images;
  for (const std::uint16_t id : pe::pictureIdsOfGroup(directory->find(pe::rtGroupIcon, name).bytes)) {
    const formats::Bytes picture = directory->find(pe::rtIcon, std::uint32_t{id}).bytes;
    images.emplace_back(picture.begin(), picture.end());
  }
  return images;
}

std::vector<ByteVector> imagesOfIconFile(const ByteVector& file) {
  std::string whyNot;
  std::vector<ByteVector> images;
  if (const auto pictures = pe::readIconFilePictures(file, whyNot))
    for (const pe::FilePicture& picture : pictures->pictures)
      images.emplace_back(picture.image.begin(), picture.image.end());
  return images;
}

TEST(ModuleResourceCommands, SetIconPutsTheIconsPicturesIntoEveryModuleAsWrestoolReadsThem) {
  TempDir dir;
  const ByteVector ico = iconFile();
  const auto icoPath = dir.write("new.ico", ico);
  std::vector<std::filesystem::path> modules = corpusFiles("pe");
  modules.push_back(
      dir.write("built.exe", PeBuilder{.pe32Plus = false}.add(pe::rtBitmap, std::uint32_t{5}, {1, 2}).build().bytes));
  for (const auto& module : modules) {
    SCOPED_TRACE(module.filename().string());
    const auto out = dir.path() / ("out-" + module.filename().string());
    CliRun run({"set-icon", module.string(), icoPath.string(), "-o", out.string()});
    ASSERT_EQ(run.status, 0) << run.err.str();
    EXPECT_TRUE(run.out.str().starts_with("Icon group ")) << run.out.str();
    model::ResourceName name;
    EXPECT_EQ(mainIconImages(fileBytes(out), name), imagesOfIconFile(ico));
    if (!haveProgram("wrestool")) continue;
    const std::string nameText = std::holds_alternative<std::uint32_t>(name)
                                     ? std::to_string(std::get<std::uint32_t>(name))
                                     : std::get<std::string>(name);
    const auto extracted = dir.path() / "extracted.ico";
    runAndCapture("wrestool -x --type=14 --name=" + nameText + " '" + out.string() + "' > '" + extracted.string() +
                  "'");
    EXPECT_EQ(imagesOfIconFile(fileBytes(extracted)), imagesOfIconFile(ico));
  }
}

TEST(ModuleResourceCommands, SayWhatChangedOrWhyNot) {
  TempDir dir;
  PeBuilder builder;
  builder.add(pe::rtIcon, std::uint32_t{1}, DibImage{}.bytes())
      .add(pe::rtGroupIcon, std::uint32_t{1}, groupResource(1, {GroupEntry{.id = 1}}))
      .add(pe::rtBitmap, std::uint32_t{5}, {1, 2});
  dir.write("app.exe", builder.build().bytes);
  dir.write("new.ico", iconFile());
  dir.write("new.ani", riff("ACON", {aniHeader({})}));
  ByteVector bmp{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0};
  const ByteVector header = BitmapHeaderSpec{.width = 1, .height = 1, .bitCount = 32}.bytes();
  bmp.insert(bmp.end(), header.begin(), header.end());
  bmp.insert(bmp.end(), {1, 2, 3, 4});
  dir.write("new.bmp", bmp);
  const struct {
    std::vector<std::string> args;
    int status;
    std::string out, err;
  } cases[] = {
      // The module written over itself, through the safe save.
      {{"set-icon", "app.exe", "new.ico", "app.exe"}, 0, "Icon group 1 (language 1033) replaced: 2 pictures.\n", ""},
      {{"set-cursor", "app.exe", "new.ani", "-o", "app.exe"}, 0, "Animated cursor 1 (language 0) added.\n", ""},
      {{"set-bitmap", "app.exe", "new.bmp", "app.exe", "--name=7", "--lang=1031"},
       0,
       "Bitmap 7 (language 1031) added.\n",
       ""},
      {{"add-resource", "app.exe", "new.ico", "app.exe", "--name=#1", "--lang=1033"},
       1,
       "",
       "delvix-cli: app.exe: the module has icon group 1 (language 1033) already.\n"},
      {{"add-resource", "app.exe", "new.ico", "app.exe", "--type=cursor"},
       1,
       "",
       "delvix-cli: new.ico: the file is an icon file, not a cursor file.\n"},
      {{"remove-resource", "app.exe", "app.exe", "--type=icon", "--name=1"},
       0,
       "Icon group 1 (language 1033) removed, with 2 pictures.\n",
       ""},
      {{"remove-resource", "app.exe", "app.exe", "--type=bitmap", "--name=main"},
       1,
       "",
       "delvix-cli: app.exe: the module has no bitmap MAIN. It has 5, 7.\n"},
      {{"set-icon", "app.exe", "new.ico", "app.exe", "--lang=english"},
       2,
       "",
       "delvix-cli: set-icon: --lang takes a language number from 0 to 65535 (1033 for English, United States), not "
       "english\nTry 'delvix-cli set-icon --help' for its operands and options.\n"},
  };
  const auto here = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  for (const auto& c : cases) {
    CliRun run(c.args);
    EXPECT_EQ(run.status, c.status) << c.args[0] << ' ' << run.err.str();
    EXPECT_EQ(run.out.str(), c.out);
    EXPECT_EQ(run.err.str(), c.err);
  }
  CliRun toOutput({"set-icon", "app.exe", "new.ico", "-"});
  CliRun json({"remove-resource", "--json", "app.exe", "-o", "app.exe", "--type=bitmap", "--name=7"});
  std::filesystem::current_path(here);
  EXPECT_TRUE(toOutput.out.str().starts_with("MZ"));  // the module; what changed goes to standard error
  EXPECT_EQ(toOutput.err.str(), "Icon group 1 (language 0) added: 2 pictures.\n");
  EXPECT_EQ(json.out.str(), R"({
  "change": "removed",
  "file": "app.exe",
  "kind": "bitmap",
  "languages": [
    1031
  ],
  "name": 7,
  "notes": [],
  "output": "app.exe",
  "pictures": 0
}
)");
}

}  // namespace
}  // namespace delvix::cli
