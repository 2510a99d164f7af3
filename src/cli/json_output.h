#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <string_view>

#include "model/document.h"

// The --json forms of tree, info and browse. Only the command-line verbs include this header.
namespace delvix::cli {

// `value` indented by two, then a newline; text that is not valid UTF-8 has its bad bytes replaced by U+FFFD,
// so the output always parses.
void writeJson(std::ostream& out, const nlohmann::json& value);

// "icon", "cursor", "animated cursor", "wave" or "module"; null for a document that was not read.
nlohmann::json kindName(const model::Document& document);

// Every node of the document with its field table as `fields` lists it without options, nested as the tree,
// written as writeJson lays out JSON.
void writeTreeJson(std::ostream& out, const model::Document& document, const std::string& file);

// A browser column's text as JSON: null when empty or unknown (" ? "), a number when it is one, else the text.
nlohmann::json columnJson(std::string_view text);

}  // namespace delvix::cli
