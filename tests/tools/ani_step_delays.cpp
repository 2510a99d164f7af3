// Prints how long gdk-pixbuf shows each of the first COUNT steps of an animation, in milliseconds, one
// line each: a peer's reading of an animated cursor's rates and sequence for the tests to compare with.
// With --frames each line also carries a checksum of the step's picture, which tells the frames apart.
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

// FNV-1a over the picture's rows.
std::uint32_t checksum(GdkPixbuf* picture) {
  std::uint32_t hash = 2166136261u;
  const int rowBytes = gdk_pixbuf_get_width(picture) * gdk_pixbuf_get_n_channels(picture);
  const guchar* pixels = gdk_pixbuf_read_pixels(picture);
  for (int y = 0; y < gdk_pixbuf_get_height(picture); ++y)
    for (int x = 0; x < rowBytes; ++x) hash = (hash ^ pixels[y * gdk_pixbuf_get_rowstride(picture) + x]) * 16777619u;
  return hash;
}

}  // namespace

int main(int argc, char** argv) {
  const bool frames = argc == 4 && std::string_view(argv[3]) == "--frames";
  if (argc != 3 && !frames) {
    std::fprintf(stderr, "usage: ani_step_delays FILE COUNT [--frames]\n");
    return 2;
  }
  GError* error = nullptr;
  GdkPixbufAnimation* animation = gdk_pixbuf_animation_new_from_file(argv[1], &error);
  if (!animation) {
    std::fprintf(stderr, "%s\n", error ? error->message : "not read");
    return 1;
  }
  const long count = std::strtol(argv[2], nullptr, 10);
  // The iterator's time type is deprecated, but it is the only way to step an animation by its own delays.
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  GTimeVal now = {0, 0};
  GdkPixbufAnimationIter* iter = gdk_pixbuf_animation_get_iter(animation, &now);
  for (long step = 0; step < count; ++step) {
    const int delay = gdk_pixbuf_animation_iter_get_delay_time(iter);
    if (frames)
      std::printf("%d %08x\n", delay, checksum(gdk_pixbuf_animation_iter_get_pixbuf(iter)));
    else
      std::printf("%d\n", delay);
    if (delay < 0) break;
    g_time_val_add(&now, delay * 1000L);
    gdk_pixbuf_animation_iter_advance(iter, &now);
  }
  G_GNUC_END_IGNORE_DEPRECATIONS
  g_object_unref(iter);
  g_object_unref(animation);
  return 0;
}
