#pragma once

#include <set>

#include "formats/riff/riff_navigator.h"
#include "model/node.h"

namespace delvix::formats::riff {

// u32 size followed by the chunk's data as stored (cut to what the file holds): the block of INFO
// item nodes and of chunks kept without interpretation.
model::Block sizedBlock(Navigator& navigator, const Chunk& chunk);
model::Block sizedBlock(Bytes file, const Chunk& chunk);

// "chunk_" followed by the chunk's code, and for a LIST its type: "chunk_bext", "chunk_LIST_adtl".
std::string keptChunkName(const Chunk& chunk);

// Adds under `listInfo` one node per INFO item of the item table that `list` holds, in table order,
// then one "chunk_" node for every sub-chunk that is not in the table or repeats an id.
void addInfoItems(Navigator& navigator, const Chunk& list, model::Node& listInfo);

// Adds under `parent` a "chunk_" node for every chunk of `form` whose data offset is not in `interpreted`.
void addUninterpretedChunks(Navigator& navigator, const Chunk& form, const std::set<std::size_t>& interpreted,
                            model::Node& parent);

}  // namespace delvix::formats::riff
