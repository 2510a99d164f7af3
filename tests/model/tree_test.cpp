#include "model/tree.h"

#include <gtest/gtest.h>

#include "model/info_items.h"
#include "model/picture_index.h"

namespace delvix::model {
namespace {

// header(icon_dir_1, icon_dir_2), picture_1(bitm_info, color_bitmap), picture_2
struct SmallTree {
  Tree tree;
  Node* header;
  Node* dir1;
  Node* dir2;
  Node* picture1;
  Node* info;
  Node* colour;
  Node* picture2;

  SmallTree() {
    header = &tree.addTopLevel("header", Block(6));
    dir1 = &header->addChild("icon_dir_1", Block(16), state::listChunk);
    dir2 = &header->addChild("icon_dir_2", Block(16), state::listChunk);
    picture1 = &tree.addTopLevel("picture_1", {}, state::picture);
    info = &picture1->addChild("bitm_info", Block(40));
    colour = &picture1->addChild("color_bitmap", Block(8));
    picture2 = &tree.addTopLevel("picture_2", {}, state::picture);
  }
};

TEST(TreeWalk, NextAndPreviousFollowDisplayOrder) {
  SmallTree t;
  std::vector<Node*> order{t.header, t.dir1, t.dir2, t.picture1, t.info, t.colour, t.picture2};
  Node* node = t.tree.first();
  for (Node* expected : order) {
    ASSERT_EQ(node, expected);
    node = t.tree.next(*node);
  }
  EXPECT_EQ(node, nullptr);

  node = t.tree.last();
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    ASSERT_EQ(node, *it);
    node = t.tree.previous(*node);
  }
  EXPECT_EQ(node, nullptr);
}

TEST(TreeWalk, FindFirstStartsAtTheGivenNode) {
  SmallTree t;
  EXPECT_EQ(t.tree.findFirst("picture_1"), t.picture1);
  EXPECT_EQ(t.tree.findFirst("bitm_info", t.picture1), t.info);
  EXPECT_EQ(t.tree.findFirst("header", t.dir1), nullptr);
  EXPECT_EQ(t.tree.findFirst("picture_2", t.picture2), t.picture2);
}

TEST(TreeOwnership, RemovingAndClearingFreesEveryNode) {
  std::size_t before = Node::liveCount();
  {
    SmallTree t;
    EXPECT_EQ(Node::liveCount(), before + 7);
    EXPECT_EQ(t.tree.ownedDataCount(), 5u);
    t.tree.remove(*t.picture1);
    EXPECT_EQ(Node::liveCount(), before + 4);
    EXPECT_EQ(t.tree.next(*t.dir2), t.picture2);
    t.tree.clear();
    EXPECT_EQ(Node::liveCount(), before);
    EXPECT_TRUE(t.tree.empty());
  }
  EXPECT_EQ(Node::liveCount(), before);
}

// A picture takes several nodes, so the size of a node decides how large a file of many pictures the
// program can hold.
TEST(TreeOwnership, NodesStaySmall) { EXPECT_LE(sizeof(Node), 104u); }

TEST(TreeOwnership, ResourceNodesOwnOnlyStringNames) {
  Tree tree;
  Node& numbered = tree.addTopLevel("100!num! [Icon_1]", ResourceName{std::uint32_t{100}});
  Node& named = tree.addTopLevel("MAINICON [Icon_2]", ResourceName{std::string("MAINICON")});
  EXPECT_FALSE(numbered.ownsData());
  EXPECT_TRUE(named.ownsData());
  ASSERT_NE(named.resourceName(), nullptr);
  EXPECT_EQ(std::get<std::string>(*named.resourceName()), "MAINICON");
  EXPECT_EQ(std::get<std::uint32_t>(*numbered.resourceName()), 100u);
}

TEST(TreeOrder, InsertKeepsSiblingOrder) {
  Tree tree;
  Node& list = tree.addTopLevel("List_info", {}, state::listChunk);
  list.addChild("name");
  list.insertChild(0, "artist");
  list.insertChild(99, "software");
  ASSERT_EQ(list.childCount(), 3u);
  EXPECT_EQ(list.child(0).name(), "artist");
  EXPECT_EQ(list.child(1).name(), "name");
  EXPECT_EQ(list.child(2).name(), "software");
  EXPECT_EQ(list.child(2).indexInParent(), 2u);
}

// Positions and names are indexed; every change in the middle of a row of siblings must leave walks,
// positions and lookups as a fresh scan would find them.
TEST(TreeOrder, WalksPositionsAndLookupsFollowInsertsRemovalsAndRenames) {
  Tree tree;
  Node& header = tree.addTopLevel("header");
  for (int n = 1; n <= 6; ++n) {
    header.addChild("icon_dir_" + std::to_string(n));
    tree.addTopLevel(pictureName(n)).addChild("bitm_info");
  }
  auto expectConsistent = [&] {
    std::vector<const Node*> walked;
    for (Node* node = tree.first(); node && walked.size() < 100; node = tree.next(*node)) walked.push_back(node);
    std::vector<const Node*> visited;
    tree.forEach([&](const Node& node, int) { visited.push_back(&node); });
    ASSERT_EQ(walked, visited);
    for (Node* node = tree.last(); node; node = tree.previous(*node)) {
      ASSERT_EQ(node, visited.back());
      visited.pop_back();
      const Node& parentSide = node->parent() ? node->parent()->child(node->indexInParent()) : *node;
      EXPECT_EQ(&parentSide, node) << node->name();
      EXPECT_EQ(tree.findFirst(node->name()), tree.findFirst(node->name(), tree.first())) << node->name();
    }
  };
  ASSERT_EQ(tree.findFirst("picture_4"), &tree.topLevel(4));
  expectConsistent();

  tree.remove(*tree.findFirst("picture_3"));
  header.removeChild(*findNumberedChild(header, "icon_dir_", 3));
  EXPECT_EQ(tree.findFirst("picture_3"), nullptr);
  EXPECT_EQ(tree.topLevel(3).name(), "picture_4");
  EXPECT_EQ(findNumberedChild(header, "icon_dir_", 5)->indexInParent(), 3u);
  expectConsistent();

  Node& inserted = header.insertChild(1, "icon_dir_9");
  tree.findFirst("picture_2")->insertChild(0, "color_table");
  EXPECT_EQ(inserted.indexInParent(), 1u);
  EXPECT_EQ(header.child(2).indexInParent(), 2u);
  EXPECT_EQ(findNumberedChild(header, "icon_dir_", 9), &inserted);
  EXPECT_EQ(findNumberedChild(header, "icon_dir_", 7), nullptr);
  EXPECT_EQ(tree.findFirst("color_table"), &tree.topLevel(2).child(0));
  expectConsistent();

  // Renumbering the pictures after a removal, as an edit does.
  for (int n = 4; n <= 6; ++n) tree.findFirst(pictureName(n))->rename(pictureName(n - 1));
  EXPECT_EQ(tree.findFirst("picture_3"), &tree.topLevel(3));
  EXPECT_EQ(tree.findFirst("picture_6"), nullptr);
  expectConsistent();

  EXPECT_THROW(header.removeChild(tree.topLevel(1)), std::invalid_argument);
  tree.clear();
  EXPECT_EQ(tree.findFirst("header"), nullptr);
  tree.addTopLevel("header");
  EXPECT_EQ(tree.findFirst("header"), &tree.topLevel(0));
}

TEST(PictureIndex, ComesFromThePictureNodeOrItsParent) {
  Tree tree;
  Node& picture = tree.addTopLevel("picture_12", {}, state::picture);
  Node& info = picture.addChild("bitm_info", Block(40));
  EXPECT_EQ(pictureIndexOf(info), 11);
  EXPECT_EQ(pictureIndexOf(picture), 11);
  EXPECT_EQ(pictureIndexOf(tree.addTopLevel("header")), std::nullopt);
}

TEST(PictureIndex, OnlyPlainDecimalNumbersAreNumbers) {
  EXPECT_EQ(pictureNumber("picture_1"), 1);
  EXPECT_EQ(pictureNumber("picture_1000"), 1000);
  EXPECT_EQ(pictureNumber("picture_"), std::nullopt);
  EXPECT_EQ(pictureNumber("picture_01"), std::nullopt);
  EXPECT_EQ(pictureNumber("picture_0"), std::nullopt);
  EXPECT_EQ(pictureNumber("picture_3x"), std::nullopt);
  EXPECT_EQ(pictureNumber("picture_99999999999"), std::nullopt);
  EXPECT_EQ(pictureName(7), "picture_7");
}

TEST(InfoItems, TableOrderAndLookups) {
  EXPECT_EQ(infoItems().front().id, "IARL");
  EXPECT_EQ(infoItems().back().description, "technician");
  EXPECT_LT(*infoPositionById("IART"), *infoPositionById("INAM"));
  EXPECT_EQ(infoPositionByDescription("software"), 18u);
  EXPECT_FALSE(infoPositionById("IXYZ"));
  EXPECT_FALSE(isInfoDescription("Artist"));
}

}  // namespace
}  // namespace delvix::model
