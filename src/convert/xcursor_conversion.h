#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "formats/reporter.h"
#include "formats/xcursor/xcursor_file.h"
#include "model/document.h"

// Cursors between Windows (.cur, .ani, also .ico) and X11 (Xcursor), both ways.
namespace delvix::convert {

// How pixels that invert the screen (mask 1 with a non-black colour) are written: Xcursor has no inversion.
enum class InvertedPixels { darkWithOutline, transparent };

struct ToXcursorOptions {
  InvertedPixels inverted = InvertedPixels::darkWithOutline;
};

// The Xcursor file of an open icon file, cursor file or animated cursor: every picture (every picture of
// every frame) an image at its nominal size (its larger side), pixels with straight alpha premultiplied,
// each picture at its own hot spot, every step of an animation a frame with its own delay in milliseconds,
// an animated cursor's INFO items as comments. Of an icon or cursor file's pictures of one size, the one
// with the most colours. What is changed on the way (inverting pixels, pictures that cannot be drawn) is
// logged. Nullopt, with the reason reported, when the document holds nothing to convert.
std::optional<formats::xcursor::XcursorFile> xcursorFromDocument(const model::Document& document,
                                                                 const ToXcursorOptions& options,
                                                                 formats::Reporter& reporter);

struct ToWindowsOptions {
  // Nominal sizes to write; empty: all. A size the file lacks is scaled from the smallest larger size (else
  // the largest), its hot spot with it; sizes above 256 are left out.
  std::vector<std::uint32_t> sizes;
};

struct WindowsCursor {
  bool animated = false;            // an .ani; a .cur otherwise
  std::vector<std::uint8_t> bytes;  // the whole file
};

// The Windows cursor of an Xcursor file: a .cur with one picture per nominal size when no size has more
// than one frame, otherwise an .ani whose frames are .cur files with one picture per size, with "rate"
// (and "seq " where frames repeat) for the delays and an INFO list from the comments. Nullopt, with the
// reason reported, when nothing is left to write (no images, or none of the sizes can be written).
std::optional<WindowsCursor> windowsCursorFromXcursor(const formats::xcursor::XcursorFile& file,
                                                      const ToWindowsOptions& options, formats::Reporter& reporter);

}  // namespace delvix::convert
