#include "model/show_states.h"

#include <gtest/gtest.h>

namespace delvix::model {

namespace {

// Every pixel-data node takes its show state, in every picture however many the header counts, except in a
// picture whose colour rows were not kept.
TEST(ShowStates, ReachEveryPictureButThoseWithoutRows) {
  Tree tree;
  Node& frames = tree.addTopLevel("List_images");
  for (int number = 1; number <= 3; ++number) {
    Node& picture = frames.addChild("picture_" + std::to_string(number));
    picture.addChild("bitm_info", Block(40));
    picture.addChild("color_table", Block(8), state::valuesHidden);
    picture.addChild("color_bitmap", number == 3 ? Block() : Block(8), state::valuesHidden);
    picture.addChild("mask_bitmap", Block(8), state::valuesHidden);
  }
  const auto changed = applyShowStates(tree, {state::valuesShown, state::valuesHidden, state::valuesShown});
  EXPECT_EQ(changed.size(), 4u);
  for (int picture = 0; picture < 3; ++picture) {
    const Node& node = frames.child(static_cast<std::size_t>(picture));
    const int expected = picture == 2 ? state::valuesHidden : state::valuesShown;
    EXPECT_EQ(node.findChild("color_table")->stateImage(), expected) << picture;
    EXPECT_EQ(node.findChild("color_bitmap")->stateImage(), state::valuesHidden) << picture;
    EXPECT_EQ(node.findChild("mask_bitmap")->stateImage(), expected) << picture;
  }
  EXPECT_TRUE(applyShowStates(tree, {state::valuesShown, state::valuesHidden, state::valuesShown}).empty());
}

}  // namespace

}  // namespace delvix::model
