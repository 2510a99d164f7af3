// Changing a module's resources in its document: the tree, the pictures and the counters follow the rewritten
// bytes, undo and redo bring each back, and a refused change leaves everything as it was.
#include "edit/module_resource_edit.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "formats/module_reader.h"
#include "formats/pe/resource_directory.h"
#include "history/edit_history.h"
#include "support/pe_builder.h"

namespace delvix::edit {
namespace {

using testing::ByteVector;

ByteVector icon(std::vector<int> sizes) {
  testing::IconFile file;
  for (int size : sizes) {
    testing::DibImage dib{.width = size, .height = size};
    dib.colourRows.assign(static_cast<std::size_t>(dib.colourStride() * size), 0x80);
    file.entries.push_back({dib.bytes()});
  }
  return file.bytes();
}

// Icon group 1 of one 16×16 picture (language 1033), and bitmap 9.
ByteVector module() {
  testing::DibImage dib{.width = 16, .height = 16};
  const ByteVector picture = dib.bytes();
  testing::PeBuilder builder;
  builder.add(formats::pe::rtIcon, std::uint32_t{1}, picture);
  builder.add(formats::pe::rtGroupIcon, std::uint32_t{1},
              testing::groupResource(1, {{16, 16, 1, 32, static_cast<std::uint32_t>(picture.size()), 1}}));
  builder.add(formats::pe::rtBitmap, std::uint32_t{9}, testing::bitmapResource(2, 2, 24, 0, 0, ByteVector(16, 0x33)));
  return builder.build().bytes;
}

std::unique_ptr<model::Document> read(const ByteVector& bytes) {
  auto document = std::make_unique<model::Document>();
  formats::RecordingReporter said;
  EXPECT_TRUE(formats::readModule(bytes, *document, {}, {}, said));
  auto kept = std::make_shared<const ByteVector>(bytes);
  document->module.bytes = model::SharedBytes(kept, *kept);
  return document;
}

// What a user sees: the top-level rows, the picture rows and the three counters.
std::string seen(const model::Document& document) {
  std::string text;
  for (std::size_t i = 0; i < document.tree.topLevelCount(); ++i) text += document.tree.topLevel(i).name() + "; ";
  text += std::to_string(document.pictures.size()) + " pictures; " + document.module.iconsLabel + "/" +
          document.module.cursorsLabel + "/" + document.module.bitmapsLabel;
  return text;
}

const model::Node& node(const model::Document& document, const std::string& label) {
  for (std::size_t i = 0; i < document.tree.topLevelCount(); ++i)
    if (document.tree.topLevel(i).name().find(label) != std::string::npos) return document.tree.topLevel(i);
  throw std::runtime_error("no node " + label);
}

struct ChangeCase {
  const char* name;
  std::function<ModuleEdit(model::Document&)> change;
  const char* summary;
  const char* after;
};

TEST(ModuleResourceEdit, EachChangeIsAStepThatUndoesAndRedoes) {
  const ByteVector three = icon({16, 32, 48});
  const ChangeCase cases[] = {
      {"replace", [&](model::Document& d) { return replaceModuleResource(d, node(d, "[Icon_1]"), three, {}); },
       "Icon group 1 (language 1033) replaced: 3 pictures.", "1!num! [Icon_1]; 9!num! [Bitmap_1]; 4 pictures; 1/0/1"},
      {"remove", [&](model::Document& d) { return removeModuleResource(d, node(d, "[Bitmap_1]"), {}); },
       "Bitmap 9 (language 1033) removed.", "1!num! [Icon_1]; 1 pictures; 1/0/0"},
      {"add", [&](model::Document& d) { return addModuleIconGroup(d, three, {}); },
       "Icon group 2 (language 0) added: 3 pictures.",
       "1!num! [Icon_1]; 2!num! [Icon_2]; 9!num! [Bitmap_1]; 5 pictures; 2/0/1"},
  };
  for (const ChangeCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::unique_ptr<model::Document> owner = read(module());
    model::Document& document = *owner;
    const std::string before = seen(document);
    const model::SharedBytes bytesBefore = document.module.bytes;
    history::EditHistory history;
    const ModuleEdit edit = history.perform(document, c.name, [&] { return c.change(document); });
    ASSERT_TRUE(edit.changed) << edit.refusal;
    EXPECT_EQ(edit.summary, c.summary);
    EXPECT_EQ(seen(document), c.after);
    // The document reads as the bytes it now keeps.
    EXPECT_EQ(seen(*read(ByteVector(document.module.bytes.begin(), document.module.bytes.end()))), c.after);
    history.undo(document);
    EXPECT_EQ(seen(document), before);
    EXPECT_EQ(document.module.bytes.data(), bytesBefore.data());
    history.redo(document);
    EXPECT_EQ(seen(document), c.after);
  }
}

TEST(ModuleResourceEdit, ARefusedChangeLeavesTheDocumentAndTheHistoryAlone) {
  ByteVector signedModule = module();
  // A certificate table at the end of the file: the security directory holds a file offset.
  const std::size_t pe = signedModule[0x3c] | signedModule[0x3d] << 8;
  const std::size_t securityEntry = pe + 24 + 112 + 4 * 8;
  const std::uint32_t at = static_cast<std::uint32_t>(signedModule.size());
  for (int i = 0; i < 4; ++i) signedModule[securityEntry + i] = static_cast<std::uint8_t>(at >> (8 * i));
  signedModule[securityEntry + 4] = 16;
  signedModule.insert(signedModule.end(), {16, 0, 0, 0, 0, 2, 2, 0, 1, 2, 3, 4, 5, 6, 7, 8});

  struct Refusal {
    const char* name;
    ByteVector module;
    std::function<ModuleEdit(model::Document&)> change;
    bool signed_;
  };
  const ByteVector bitmapFile{'B', 'M', 0, 0};
  const Refusal refusals[] = {
      {"not an icon", module(),
       [&](model::Document& d) { return replaceModuleResource(d, node(d, "[Icon_1]"), bitmapFile, {}); }, false},
      {"not a resource node", module(),
       [&](model::Document& d) { return removeModuleResource(d, d.tree.topLevel(0).child(0), {}); }, false},
      {"signed", signedModule, [&](model::Document& d) { return removeModuleResource(d, node(d, "[Bitmap_1]"), {}); },
       true},
  };
  for (const Refusal& r : refusals) {
    SCOPED_TRACE(r.name);
    const std::unique_ptr<model::Document> owner = read(r.module);
    model::Document& document = *owner;
    const std::string before = seen(document);
    history::EditHistory history;
    const ModuleEdit edit = history.perform(document, r.name, [&] { return r.change(document); });
    EXPECT_FALSE(edit.changed);
    EXPECT_FALSE(edit.refusal.empty());
    EXPECT_EQ(edit.signed_, r.signed_);
    EXPECT_EQ(seen(document), before);
    EXPECT_EQ(history.stepCount(), 0u);
  }
  // Agreed to, the signature goes with the change.
  const std::unique_ptr<model::Document> owner = read(signedModule);
  model::Document& document = *owner;
  const ModuleEdit edit = removeModuleResource(document, node(document, "[Bitmap_1]"), {{}, {}, true});
  ASSERT_TRUE(edit.changed) << edit.refusal;
  EXPECT_LT(document.module.bytes.size(), signedModule.size());
}

TEST(ModuleResourceEdit, AnEditOfTheTreeAloneBlocksResourceChangesUntilItIsUndone) {
  const std::unique_ptr<model::Document> owner = read(module());
  model::Document& document = *owner;
  history::EditHistory history;
  model::Node& firstPiece = const_cast<model::Node&>(node(document, "[Icon_1]")).child(0);
  history.perform(document, "Apply", [&] { firstPiece.rename(firstPiece.name() + "*"); });
  EXPECT_TRUE(document.module.treeEdited);
  const ModuleEdit refused = history.perform(
      document, "Remove", [&] { return removeModuleResource(document, node(document, "[Bitmap_1]"), {}); });
  EXPECT_FALSE(refused.changed);
  EXPECT_NE(refused.refusal.find("field table"), std::string::npos);
  history.undo(document);
  EXPECT_FALSE(document.module.treeEdited);
  EXPECT_TRUE(removeModuleResource(document, node(document, "[Bitmap_1]"), {}).changed);
}

}  // namespace
}  // namespace delvix::edit
