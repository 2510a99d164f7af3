#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/document.h"

namespace delvix::edit {

// How the module is read again after a change, and whether a signature may go.
struct ModuleEditSettings {
  model::ShowSettings show;
  model::ResourceKinds kinds;
  // Remove an Authenticode signature instead of refusing the change.
  bool stripSignature = false;
};

struct ModuleEdit {
  bool changed = false;
  // The module is signed and `stripSignature` was not given: nothing changed, and the same change may be made
  // again once the user agreed that the signature goes.
  bool signed_ = false;
  // Why nothing changed.
  std::string refusal;
  // What changed, in a sentence: "Icon group 1 (language 1033) replaced: 7 pictures."
  std::string summary;
  // What the rewrite noted and what reading the changed module said, for the message log.
  std::vector<std::string> log;
  // The changed resource's node in the tree as it now is (null when it went).
  const model::Node* select = nullptr;
};

// Whether `node` is a resource of a module that Replace and Remove take: a top-level icon group, cursor group or
// bitmap node.
bool isModuleResourceNode(const model::Document& document, const model::Node& node);

// Each change starts from the module's bytes as they are now (document.module.bytes), rewrites its resource
// section and reads the tree, the pictures and the counters again from the result, swapping them in through the
// tree's journal so that the edit history can undo it. A refused change leaves the document as it was.

// Replaces the resource of `resource` (in its language) with what `file` holds: an .ico for an icon group, a .cur
// for a cursor group, a .bmp for a bitmap.
ModuleEdit replaceModuleResource(model::Document& document, const model::Node& resource,
                                 std::span<const std::uint8_t> file, const ModuleEditSettings& settings);
// Removes the resource of `resource` in its language, with the pictures no other group uses.
ModuleEdit removeModuleResource(model::Document& document, const model::Node& resource,
                                const ModuleEditSettings& settings);
// Adds the icons of `file` (an .ico) as a new icon group under the lowest free number, language neutral.
ModuleEdit addModuleIconGroup(model::Document& document, std::span<const std::uint8_t> file,
                              const ModuleEditSettings& settings);

}  // namespace delvix::edit
