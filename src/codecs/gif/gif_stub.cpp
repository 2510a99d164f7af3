// Stand-in bodies of the GIF codec for the export branch alone; removed when the codec itself is merged.
#include "codecs/gif/gif_codec.h"

namespace delvix::codecs::gif {

IndexedImage reduceColours(const gfx::Image&, const Settings&) { return {}; }

gfx::Image renderIndexed(const IndexedImage&) { return {}; }

std::vector<std::uint8_t> encodeGif(const IndexedImage&, Compression) { return {}; }

}  // namespace delvix::codecs::gif
