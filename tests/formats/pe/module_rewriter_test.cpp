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
    if (!python.empty()) {
      EXPECT_EQ(pefileProblems(python, file, out), "ok\n") << name;
    }
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

std::uint32_t le32At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return std::uint32_t{bytes[at]} | (std::uint32_t{bytes[at + 1]} << 8) | (std::uint32_t{bytes[at + 2]} << 16) |
         (std::uint32_t{bytes[at + 3]} << 24);
}

constexpr std::size_t optionalAt = 0x58;  // where the builder puts the optional header
constexpr std::size_t numberOfSectionsAt = 0x46;

BuiltPe sample() {
  return PeBuilder{}.add(14, 1u, {1, 2, 3, 4}).add(3, 1u, std::vector<std::uint8_t>(300, 9)).add(3, 2u, {5}).build();
}

// The sample with a ".reloc" section after the resources, in memory and in the file.
BuiltPe withSectionAfterResources() {
  BuiltPe pe = sample();
  const std::size_t header = pe.sectionHeader + 40;
  const std::uint32_t address = 0x1000 + ((le32At(pe.bytes, pe.sectionHeader + 8) + 0xFFF) & ~0xFFFu);
  std::copy_n(".reloc", 6, pe.bytes.begin() + static_cast<std::ptrdiff_t>(header));
  pe.setLe32(header + 8, 0x10);
  pe.setLe32(header + 12, address);
  pe.setLe32(header + 16, 0x200);
  pe.setLe32(header + 20, static_cast<std::uint32_t>(pe.bytes.size()));
  pe.setLe32(header + 36, 0x42000040u);
  pe.setLe16(numberOfSectionsAt, 2);
  pe.setLe32(optionalAt + 56, address + 0x1000);
  pe.bytes.resize(pe.bytes.size() + 0x200, 0xAB);
  return pe;
}

const std::vector<std::uint8_t> overlay{'N', 'u', 'l', 'l', 's', 'o', 'f', 't', 0, 1, 2, 3, 4, 5};

TEST(ModuleRewriter, PlacesTheSectionInPlaceByGrowingItOrAsANewLastSection) {
  struct Case {
    const char* what;
    BuiltPe module;
    bool grow;
    std::size_t sections;
    const char* note;
  };
  const Case cases[] = {
      {"in place", sample(), false, 1, nullptr},
      {"grown", sample(), true, 1, nullptr},
      {"new section", withSectionAfterResources(), true, 3, "new section \".rsrc1\""},
      {"shrunk before another section", withSectionAfterResources(), false, 2, nullptr},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> module = c.module.bytes;
    module.insert(module.end(), overlay.begin(), overlay.end());
    ResourceTree tree = treeOf(module);
    if (c.grow)
      tree.entries.push_back(bigResource());
    else
      tree.entries.pop_back();
    const RewrittenModule result = rewritten(module, tree);
    ASSERT_FALSE(result.bytes.empty()) << c.what;
    expectSameEntries(treeOf(result.bytes), tree, c.what);
    EXPECT_EQ(overlayOf(result.bytes), overlay) << c.what;
    const ModuleHeaders h = headersOf(result.bytes);
    ASSERT_EQ(h.sections.size(), c.sections) << c.what;
    EXPECT_EQ(result.notes.empty(), c.note == nullptr) << c.what;
    if (c.note) {
      EXPECT_NE(result.notes[0].find(c.note), std::string::npos) << result.notes[0];
    }

    const SectionHeader& last = h.sections.back();
    const SectionHeader* holder = h.sectionOf(h.directory(2).address);
    ASSERT_TRUE(holder) << c.what;
    EXPECT_EQ(holder->virtualAddress, h.directory(2).address) << c.what;
    EXPECT_EQ(holder->virtualSize, h.directory(2).size) << c.what;
    // No file blocks past the data: a section shrunk in place gives them back (zeros would stay there otherwise).
    EXPECT_EQ(holder->rawSize, (holder->virtualSize + h.fileAlignment - 1) / h.fileAlignment * h.fileAlignment)
        << c.what;
    EXPECT_EQ(holder->rawSize % h.fileAlignment, 0u) << c.what;
    EXPECT_EQ(holder->rawOffset % h.fileAlignment, 0u) << c.what;
    EXPECT_EQ(holder->virtualAddress % h.sectionAlignment, 0u) << c.what;
    EXPECT_EQ(h.sizeOfImage, (last.virtualAddress + last.virtualSize + 0xFFF) & ~0xFFFu) << c.what;
    if (c.sections == 2) {  // the section after the resources moved up with its bytes
      EXPECT_EQ(h.sections[1].rawOffset, holder->rawOffset + holder->rawSize);
      EXPECT_EQ(std::vector<std::uint8_t>(result.bytes.begin() + h.sections[1].rawOffset,
                                          result.bytes.begin() + h.sections[1].rawOffset + 0x200),
                std::vector<std::uint8_t>(0x200, 0xAB));
    }
    if (c.sections == 3) {
      EXPECT_EQ(holder, &last) << c.what;
      EXPECT_EQ(last.characteristics, 0x40000040u);
      EXPECT_EQ(h.sizeOfInitializedData, last.rawSize) << "the builder starts from 0";
      // The section that was in the way keeps its bytes.
      EXPECT_EQ(std::vector<std::uint8_t>(result.bytes.begin() + h.sections[1].rawOffset,
                                          result.bytes.begin() + h.sections[1].rawOffset + 0x200),
                std::vector<std::uint8_t>(0x200, 0xAB));
    }
  }
}

TEST(ModuleRewriter, DebugDataAfterTheSectionsMovesWithTheOverlay) {
  BuiltPe pe = withSectionAfterResources();
  const std::size_t reloc = pe.sectionHeader + 40;
  const std::uint32_t relocRva = le32At(pe.bytes, reloc + 12);
  const std::size_t debugEntry = le32At(pe.bytes, reloc + 20);
  pe.setLe32(reloc + 8, 0x40);
  pe.setLe32(optionalAt + 112 + 48, relocRva);  // the debug directory: one entry
  pe.setLe32(optionalAt + 112 + 52, 28);
  const std::uint32_t debugData = static_cast<std::uint32_t>(pe.bytes.size()) + 4;
  pe.setLe32(debugEntry + 12, 2);
  pe.setLe32(debugEntry + 16, 16);
  pe.setLe32(debugEntry + 20, 0);
  pe.setLe32(debugEntry + 24, debugData);
  const std::vector<std::uint8_t> debugBytes{'R', 'S', 'D', 'S', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  pe.bytes.insert(pe.bytes.end(), 4, 0xEE);
  pe.bytes.insert(pe.bytes.end(), debugBytes.begin(), debugBytes.end());
  ResourceTree tree = treeOf(pe.bytes);
  tree.entries.push_back(bigResource());
  const RewrittenModule result = rewritten(pe.bytes, tree);
  ASSERT_FALSE(result.bytes.empty());
  const std::uint32_t moved = le32At(result.bytes, debugEntry + 24);
  EXPECT_GT(moved, debugData);
  ASSERT_LE(moved + debugBytes.size(), result.bytes.size());
  EXPECT_TRUE(std::equal(debugBytes.begin(), debugBytes.end(), result.bytes.begin() + moved));
}

TEST(ModuleRewriter, AModuleWithoutSectionsGetsOneAfterItsHeaders) {
  // Headers that say nothing of their size or the image's, and a file alignment that places data anywhere.
  BuiltPe pe = sample();
  pe.setLe16(numberOfSectionsAt, 0);
  pe.setLe32(optionalAt + 36, 8);        // FileAlignment
  pe.setLe32(optionalAt + 56, 0);        // SizeOfImage
  pe.setLe32(optionalAt + 60, 0);        // SizeOfHeaders
  pe.setLe32(optionalAt + 112 + 16, 0);  // no resources
  pe.bytes.resize(pe.sectionHeader + 40, 0);
  std::fill_n(pe.bytes.begin() + static_cast<std::ptrdiff_t>(pe.sectionHeader), 40, 0);
  ResourceTree tree;
  tree.entries.push_back(bigResource());
  const RewrittenModule result = rewritten(pe.bytes, tree);
  const ModuleHeaders h = headersOf(result.bytes);
  ASSERT_EQ(h.sections.size(), 1u);
  EXPECT_GE(h.sections[0].rawOffset, h.sectionTableAt + 40);
  EXPECT_GE(h.sections[0].virtualAddress, h.sizeOfHeaders);
  expectSameEntries(treeOf(result.bytes), tree, "no sections");
}

TEST(ModuleRewriter, ModulesThatCannotBeRewrittenSafelyAreRefusedWithTheReason) {
  struct Case {
    const char* what;
    BuiltPe (*module)();
    const char* reason;
  };
  const Case cases[] = {
      {"code",
       [] {
         BuiltPe pe = sample();
         pe.setLe32(pe.sectionHeader + 36, 0x60000020u);
         return pe;
       },
       "also holds code"},
      {"overlap",
       [] {
         BuiltPe pe = withSectionAfterResources();
         pe.setLe32(pe.sectionHeader + 40 + 20, 0x200);
         return pe;
       },
       "overlap in the file"},
      {"no room",
       [] {
         BuiltPe pe = withSectionAfterResources();
         pe.bytes[pe.sectionHeader + 80 + 3] = 1;
         return pe;
       },
       "no room for another section header"},
      {"data in the headers",
       [] {
         BuiltPe pe = withSectionAfterResources();
         pe.setLe32(pe.sectionHeader + 40 + 20, 0x100);
         return pe;
       },
       "inside the module's headers"},
      {"signed",
       [] {
         BuiltPe pe = sample();
         pe.setLe32(optionalAt + 112 + 32, static_cast<std::uint32_t>(pe.bytes.size()));
         pe.setLe32(optionalAt + 112 + 36, 8);
         pe.bytes.resize(pe.bytes.size() + 8, 0);
         return pe;
       },
       "is signed"},
      {"alignment",
       [] {
         BuiltPe pe = sample();
         pe.setLe32(optionalAt + 36, 0x300);
         return pe;
       },
       "powers of two"},
  };
  for (const Case& c : cases) {
    const std::vector<std::uint8_t> module = c.module().bytes;
    ResourceTree tree = treeOf(module);
    tree.entries.push_back(bigResource());
    const std::string why = refusal(module, tree);
    EXPECT_NE(why.find(c.reason), std::string::npos) << c.what << ": " << why;
  }
}

TEST(ModuleRewriter, ASignatureSaidToLieInTheHeadersIsNotCutOutOfThem) {
  BuiltPe pe = sample();
  pe.setLe32(optionalAt + 60, 0);           // SizeOfHeaders
  pe.setLe32(pe.sectionHeader + 16, 0);     // no section data in the file
  pe.setLe32(optionalAt + 112 + 16, 0);     // no resources
  pe.setLe32(optionalAt + 112 + 32, 0x10);  // the certificate table
  pe.setLe32(optionalAt + 112 + 36, 0x10);
  std::string why;
  EXPECT_FALSE(rewriteResources(Bytes(pe.bytes), ResourceTree{}, RewriteOptions{true}, why));
  EXPECT_NE(why.find("does not lie after the last section"), std::string::npos) << why;
}

TEST(ModuleRewriter, ASignatureIsRemovedOnlyWhenAskedTo) {
  if (!testing::haveProgram("osslsigncode") || !testing::haveProgram("openssl")) GTEST_SKIP() << "no osslsigncode";
  TempDir dir;
  std::vector<std::uint8_t> module = sample().bytes;
  module.insert(module.end(), overlay.begin(), overlay.end());
  dir.write("module.exe", module);
  testing::runAndCapture("cd '" + dir.path().string() +
                         "' && openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 "
                         "-subj /CN=delvix-test >/dev/null 2>&1 && osslsigncode sign -certs cert.pem -key key.pem "
                         "-in module.exe -out signed.exe >/dev/null 2>&1");
  const auto signedModule = testing::readFileBytes(dir.path() / "signed.exe");
  if (!signedModule) GTEST_SKIP() << "osslsigncode did not sign the module";
  ASSERT_TRUE(isSigned(*PeImage::parse(Bytes(*signedModule))));

  ResourceTree tree = treeOf(*signedModule);
  tree.entries.push_back(bigResource());
  EXPECT_NE(refusal(*signedModule, tree).find("is signed"), std::string::npos);
  const RewrittenModule result = rewritten(*signedModule, tree, true);
  ASSERT_FALSE(result.bytes.empty());
  EXPECT_FALSE(isSigned(*PeImage::parse(Bytes(result.bytes))));
  EXPECT_EQ(headersOf(result.bytes).directory(4).address, 0u);
  EXPECT_EQ(result.notes, std::vector<std::string>{"The module's signature was removed."});
  // What followed the sections before the signature is kept; the signature is not.
  const auto kept = overlayOf(result.bytes);
  ASSERT_GE(kept.size(), overlay.size());
  EXPECT_TRUE(std::equal(overlay.begin(), overlay.end(), kept.begin()));
  EXPECT_LT(kept.size(), overlayOf(*signedModule).size() - 1000);
  expectSameEntries(treeOf(result.bytes), tree, "stripped");
}

}  // namespace
}  // namespace delvix::formats::pe
