#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "formats/byte_reader.h"
#include "formats/pe/resource_tree.h"

namespace delvix::formats::pe {

struct RewriteOptions {
  // Remove an Authenticode signature (the certificate table and its directory entry) instead of refusing.
  bool stripSignature = false;
};

struct RewrittenModule {
  std::vector<std::uint8_t> bytes;
  // What the rewrite did that a user should know ("The module's signature was removed.", "The resources were
  // moved into a new section \".rsrc\" at the end of the module.").
  std::vector<std::string> notes;
};

// `module` with its resource section laid out again from `resources`: directories sorted as the loader expects,
// data aligned to 8, placed in the old section when it fits, else by growing the section when it is the last
// one, else as a new last section; the section table, SizeOfImage, SizeOfInitializedData, the resource data
// directory and a non-zero checksum updated; data after the last section (an overlay) kept after the new end,
// and file offsets into it moved with it. Nullopt, with the reason, when the module cannot be rewritten safely
// (signed without `stripSignature`, no room for a section header, overlapping sections, resources sharing a
// section with code).
std::optional<RewrittenModule> rewriteResources(Bytes module, const ResourceTree& resources,
                                                const RewriteOptions& options, std::string& whyNot);

// The resource section's bytes for `resources` placed at `sectionRva` (the data entries hold RVAs).
std::vector<std::uint8_t> layoutResourceSection(const ResourceTree& resources, std::uint32_t sectionRva);

// Whether `module` carries a certificate table (an Authenticode signature).
bool isSigned(const PeImage& module);

}  // namespace delvix::formats::pe
