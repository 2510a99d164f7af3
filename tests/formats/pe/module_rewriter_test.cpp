#include "formats/pe/module_rewriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "formats/pe/module_headers.h"
#include "support/corpus.h"
#include "support/file_bytes.h"
#include "support/pe_builder.h"
#include "support/temp_dir.h"

namespace delvix::formats::pe {
namespace {

namespace fs = std::filesystem;
using testing::BuiltPe;
using testing::PeBuilder;
using testing::TempDir;

ResourceTree treeOf(const std::vector<std::uint8_t>& bytes) {
  std::string why;
  auto image = PeImage::parse(Bytes(bytes), why);
  auto tree = image ? readResourceTree(*image, why) : std::nullopt;
  EXPECT_TRUE(tree) << why;
  return tree ? *tree : ResourceTree{};
}

void expectSameEntries(const ResourceTree& a, const ResourceTree& b, const std::string& what) {
  ASSERT_EQ(a.entries.size(), b.entries.size()) << what;
  for (std::size_t i = 0; i < a.entries.size(); ++i) {
    const ResourceEntry& x = a.entries[i];
    const ResourceEntry& y = b.entries[i];
    EXPECT_TRUE(x.type == y.type && x.name == y.name && x.language == y.language && x.codePage == y.codePage &&
                x.reserved == y.reserved && x.data == y.data)
        << what << ": entry " << i;
  }
}

RewrittenModule rewritten(const std::vector<std::uint8_t>& bytes, const ResourceTree& tree, bool strip = false) {
  std::string why;
  auto result = rewriteResources(Bytes(bytes), tree, RewriteOptions{strip}, why);
  EXPECT_TRUE(result) << why;
  return result ? *result : RewrittenModule{};
}

std::string refusal(const std::vector<std::uint8_t>& bytes, const ResourceTree& tree) {
  std::string why;
  EXPECT_FALSE(rewriteResources(Bytes(bytes), tree, {}, why));
  return why;
}

ModuleHeaders headersOf(const std::vector<std::uint8_t>& bytes) {
  std::string why;
  auto headers = ModuleHeaders::parse(Bytes(bytes), why);
  EXPECT_TRUE(headers) << why;
  return headers ? *headers : ModuleHeaders{};
}

std::vector<std::uint8_t> overlayOf(const std::vector<std::uint8_t>& bytes) {
  return {bytes.begin() + static_cast<std::ptrdiff_t>(headersOf(bytes).endOfSections()), bytes.end()};
}

ResourceEntry bigResource() {
  ResourceEntry entry{ResourceId::number(10), ResourceId::name(u"PAYLOAD"), 0, 0, 0, {}};
  for (std::size_t i = 0; i < 70000; ++i) entry.data.push_back(static_cast<std::uint8_t>(i * 7));
  return entry;
}

// A python with pefile, or empty.
std::string pefilePython() {
  for (const char* python : {"python3", "/usr/bin/python3"})
    if (testing::runAndCapture(std::string(python) + " -c 'import pefile; print(1)' 2>/dev/null") == "1\n")
      return python;
  return {};
}

// Problems pefile sees in `rewritten` that it did not see in `original` ("ok\n" when none).
std::string pefileProblems(const std::string& python, const fs::path& original, const fs::path& rewritten) {
  const fs::path tool = fs::path(DELVIX_TEST_DATA_DIR).parent_path() / "tools" / "module_check.py";
  return testing::runAndCapture(python + " '" + tool.string() + "' '" + original.string() + "' '" + rewritten.string() +
                                "' 2>&1");
}

std::string wrestoolListing(const fs::path& module) {
  return testing::runAndCapture("wrestool -l '" + module.string() + "' 2>&1 | sed -E 's/offset=0x[0-9a-f]+ //'");
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) result.push_back(line);
  std::sort(result.begin(), result.end());
  return result;
}

// Rewrites every corpus module with `change` applied to its tree and checks what every reader must find.
void checkCorpus(void (*change)(ResourceTree&), const char* what) {
  auto files = testing::corpusFiles("pe");
  if (files.empty()) GTEST_SKIP() << "no module corpus";
  const std::string python = pefilePython();
  const bool wrestool = testing::haveProgram("wrestool");
  TempDir dir;
  for (const fs::path& file : files) {
    const std::string name = file.filename().string() + " (" + what + ")";
    const auto original = testing::readFileBytes(file).value();
    ResourceTree tree = treeOf(original);
    change(tree);
    const RewrittenModule result = rewritten(original, tree);
    ASSERT_FALSE(result.bytes.empty()) << name;
    expectSameEntries(treeOf(result.bytes), tree, name);
    EXPECT_EQ(overlayOf(result.bytes), overlayOf(original)) << name;

    const ModuleHeaders before = headersOf(original), after = headersOf(result.bytes);
    if (before.pointerToSymbolTable >= before.endOfSections()) {
      const auto symbols = [](const std::vector<std::uint8_t>& bytes, std::uint32_t at) {
        return std::vector<std::uint8_t>(bytes.begin() + at,
                                         bytes.begin() + std::min<std::size_t>(at + 36, bytes.size()));
      };
      EXPECT_EQ(symbols(result.bytes, after.pointerToSymbolTable), symbols(original, before.pointerToSymbolTable))
          << name << ": the symbol table moves with the overlay";
    }
    const fs::path out = dir.write(file.filename().string(), result.bytes);
    if (!python.empty()) EXPECT_EQ(pefileProblems(python, file, out), "ok\n") << name;
    if (wrestool) {
      // The same resources, and the added one.
      std::vector<std::string> expected = lines(wrestoolListing(file)), got = lines(wrestoolListing(out));
      std::erase_if(got, [](const std::string& line) { return line.find("--name='PAYLOAD'") != std::string::npos; });
      EXPECT_EQ(got, expected) << name;
    }
  }
}

TEST(ModuleRewriter, EveryCorpusModuleReadsTheSameAfterARewrite) {
  checkCorpus([](ResourceTree&) {}, "unchanged");
  // A module laid out as resource compilers lay it out comes back byte for byte.
  for (const char* same : {"resdemo64.dll", "nsis-stub-zlib-x86-unicode.exe"}) {
    const fs::path file = fs::path(DELVIX_CORPUS_DIR) / "pe" / same;
    if (!fs::exists(file)) continue;
    const auto original = testing::readFileBytes(file).value();
    EXPECT_EQ(rewritten(original, treeOf(original)).bytes, original) << same;
  }
}

TEST(ModuleRewriter, EveryCorpusModuleTakesALargerResourceSection) {
  checkCorpus([](ResourceTree& tree) { tree.entries.push_back(bigResource()); }, "grown");
}

}  // namespace
}  // namespace delvix::formats::pe
