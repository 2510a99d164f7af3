#pragma once

#include <cstdint>
#include <string>

#include "formats/pe/resource_directory.h"
#include "formats/reporter.h"
#include "model/document.h"

// What the expanders of one module read share.
namespace delvix::formats::module {

struct Context {
  pe::ResourceDirectory& resources;
  model::Document& document;
  model::ShowSettings show;
  Reporter& reporter;
  std::size_t fileSize = 0;
  // Pixels left to decode in this module: repeated references to the same large image data
  // cannot make a small file take unbounded time.
  std::uint64_t pixelBudget = 0;

  // Pictures left to list: no more than the module could store entries for, however many groups or
  // bitmap names share one resource.
  std::uint64_t picturesLeft = 0;
  // Bytes the pictures' nodes may still copy out of the resources.
  std::uint64_t storeBudget = 0;

  // Takes `pixels` from the budget; false (and nothing taken) when not that many are left.
  bool spendPixels(std::uint64_t pixels) {
    if (pixels > pixelBudget) return false;
    pixelBudget -= pixels;
    return true;
  }
  // Takes up to `wanted` pictures from what is left; returns how many were taken.
  std::size_t takePictures(std::size_t wanted);
  // Whether `bytes` more may be copied into a picture's nodes.
  bool canStore(std::uint64_t bytes) const { return bytes <= storeBudget; }
  // Takes what `picture`'s nodes hold from the store budget.
  void stored(const model::Node& picture);
};

// The message of a picture not read because the module's budgets are spent.
std::string overBudget(const std::string& label);

// The resource's name as the size list shows it: the string, or the decimal id.
std::string displayName(const model::ResourceName& name);
// What follows the name of a resource in a language other than its first: "_" and the language's id; nothing
// for the first language.
std::string languageSuffix(const pe::ResourceLanguage& language);
// The language of the resource a module's top-level node holds, from its label: "NAME [Icon_k_LANG]" holds
// language LANG; "NAME [Icon_k]" the first language of NAME.
pe::ResourceLanguage languageOf(const model::Node& resourceNode);
// The resource's name as its node shows it: the string, or the decimal id followed by "!num!".
std::string nodeName(const model::ResourceName& name);

// Logs the lookup failure of `data` as "<prefix> Didn't find such resource." and the like; true when found.
bool reportLookup(const pe::ResourceData& data, const std::string& prefix, Reporter& reporter);

}  // namespace delvix::formats::module
