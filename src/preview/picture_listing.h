#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "formats/pe/resource_directory.h"
#include "model/document.h"
#include "preview/hot_spot.h"

namespace delvix::preview {

// One picture as a listing of a file shows it: the size and depth the picture itself gives (its bitmap
// header or its PNG header, so a directory's 0 for 256 shows as 256), how it is stored and how many bytes its
// image record takes, and for a cursor its hot spot.
struct PictureFacts {
  int number = 0;  // from 1, as the picture's node is numbered
  int width = 0;
  int height = 0;
  int bitCount = 0;
  bool png = false;
  std::uint64_t bytes = 0;
  std::optional<Point> hotSpot;
  // An X cursor image: stored as premultiplied ARGB, with the size it stands for and its delay (ms).
  std::optional<std::uint32_t> nominalSize;
  std::optional<std::uint32_t> delay;

  // "PNG", "BMP" or "ARGB".
  const char* format() const { return png ? "PNG" : nominalSize ? "ARGB" : "BMP"; }
};

// Every picture of an icon or cursor file, or every frame of an animated cursor, in order.
std::vector<PictureFacts> listPictures(const model::Document& document);

// One resource of a module that holds pictures, with the pictures read from it.
struct ResourceGroupFacts {
  std::string kind;  // "icon group", "cursor group" or "bitmap"
  std::string name;  // the string name, or the decimal id
  model::ResourceName resource;
  // Which of the name's languages the node holds: the first, or another one by its id.
  formats::pe::ResourceLanguage stored;
  // The language the pictures were read in, once findLanguages has looked it up.
  std::optional<std::uint32_t> language;
  std::vector<PictureFacts> pictures;
};

// The icon groups, cursor groups and bitmaps of a module, in the order the tree lists them.
std::vector<ResourceGroupFacts> listResourceGroups(const model::Document& document);

// Looks up the language of each group in the module's resource directory (the first one, which is read).
void findLanguages(std::vector<ResourceGroupFacts>& groups, formats::pe::ResourceDirectory& resources);

// "32x32, 8 bits, BMP, 2216 bytes" and ", hot spot 5,7" for a cursor.
std::string pictureFactsText(const PictureFacts& facts);

}  // namespace delvix::preview
