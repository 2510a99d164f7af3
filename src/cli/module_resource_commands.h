#pragma once

#include <string_view>

#include "cli/commands.h"

namespace delvix::cli {

// set-icon MODULE ICO OUT [--group NAME|ID] [--lang N]: the module's main icon (or the group named) replaced by
// the icon file's pictures, or added as group 1 when the module has no icon.
int setModuleIcon(const Invocation& call, Streams streams);
// set-cursor MODULE CUR|ANI OUT [--name NAME|ID] [--lang N]: a cursor group, or an animated cursor.
int setModuleCursor(const Invocation& call, Streams streams);
// set-bitmap MODULE BMP OUT [--name NAME|ID] [--lang N].
int setModuleBitmap(const Invocation& call, Streams streams);
// add-resource MODULE FILE OUT [--type T] [--name NAME|ID] [--lang N]: refused when the resource is there.
int addModuleResource(const Invocation& call, Streams streams);
// remove-resource MODULE OUT --type T --name NAME|ID [--lang N].
int removeModuleResource(const Invocation& call, Streams streams);

// Whether `verb` writes a module, which keeps any name it has.
bool writesModule(std::string_view verb);

}  // namespace delvix::cli
