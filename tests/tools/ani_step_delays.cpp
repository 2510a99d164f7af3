// Prints how long gdk-pixbuf shows each of the first COUNT steps of an animation, in milliseconds, one
// line each: a peer's reading of an animated cursor's rates and sequence for the tests to compare with.
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: ani_step_delays FILE COUNT\n");
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
