#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/byte_reader.h"
#include "formats/pe/resource_tree.h"

namespace delvix::formats::pe {

inline constexpr std::uint32_t rtAniCursor = 21;
inline constexpr std::uint32_t rtAniIcon = 22;

// What a file puts into a module.
enum class ResourceKind { iconGroup, cursorGroup, animatedCursor, animatedIcon, bitmap };

// The resource a change is about; what is not given is chosen: the name the kind's first resource has (for a
// set) or the lowest free number (for an add), the language the resource has or neutral (0) for a new one.
struct ResourceTarget {
  std::optional<ResourceId> name;
  std::optional<std::uint32_t> language;
};

struct ChangeOutcome {
  ResourceKind kind = ResourceKind::iconGroup;
  ResourceId name;
  std::uint32_t language = 0;
  bool added = false;  // a new resource, not a replaced one
  int pictures = 0;    // the pictures of an icon or cursor group (for a removal: those removed with it)
  // A removal: every language removed, `language` the first of them.
  std::vector<std::uint32_t> languages;
  // What a user should know besides ("Icon group 1 has another language, 1041, which was left as it was.").
  std::vector<std::string> notes;
};

// "icon group", "cursor group", "animated cursor", "animated icon", "bitmap".
std::string_view kindInWords(ResourceKind kind);
// The resource type that holds the kind (RT_GROUP_ICON for an icon group).
std::uint32_t resourceTypeOf(ResourceKind kind);

// The resource kind of `file`'s content (.ico → icon group, .cur → cursor group, .ani → animated cursor,
// .bmp → bitmap); nullopt with the reason when it is none of them or damaged.
std::optional<ResourceKind> kindOfFile(Bytes file, std::string& whyNot);

// The kind `file` goes into a module as: its content's, which must be `wanted` when that is given, but an
// animated cursor goes in as an animated icon or, where a cursor group is wanted, as an animated cursor.
// Nullopt with the reason when the file is damaged or of another kind.
std::optional<ResourceKind> kindToPut(std::optional<ResourceKind> wanted, Bytes file, std::string& whyNot);

// Replaces the resource (or adds it when the module has no such one) with what `file` holds: an icon or cursor
// group with its pictures under fresh ids that no other group uses (the old pictures dropped when no other
// group uses them; a cursor's hot spot put in front of its picture's data), an animated cursor or icon as it
// is, a bitmap without its file header. Nullopt with the reason, and `resources` unchanged, when `file` does not
// hold that kind or is damaged.
std::optional<ChangeOutcome> setResource(ResourceTree& resources, ResourceKind kind, Bytes file,
                                         const ResourceTarget& target, std::string& whyNot);
// The same, but refused when the resource already exists.
std::optional<ChangeOutcome> addResource(ResourceTree& resources, ResourceKind kind, Bytes file,
                                         const ResourceTarget& target, std::string& whyNot);
// Removes the resource (every language when none is given), with the pictures of a group that no other group
// uses. Nullopt with the reason, and `resources` unchanged, when there is no such resource.
std::optional<ChangeOutcome> removeResource(ResourceTree& resources, ResourceKind kind, const ResourceTarget& target,
                                            std::string& whyNot);

// Parses a name given by a user: a decimal number is an id, anything else a name (in upper case, as resource
// compilers store names and the loader looks them up).
ResourceId resourceIdFromText(const std::string& text);
std::string resourceIdText(const ResourceId& id);

}  // namespace delvix::formats::pe
