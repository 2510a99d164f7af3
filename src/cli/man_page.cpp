#include "cli/man_page.h"

#include <ostream>
#include <string>
#include <string_view>

#include "cli/commands.h"

namespace delvix::cli {

namespace {

// Text as roff shows it: backslashes and hyphens escaped, no line starting with a control character.
std::string roff(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\\')
      out += "\\e";
    else if (c == '-')
      out += "\\-";
    else
      out += c;
  }
  if (!out.empty() && (out.front() == '.' || out.front() == '\'')) out.insert(0, "\\&");
  return out;
}

}  // namespace

void printManPage(std::ostream& out) {
  out << ".TH DELVIX\\-CLI 1 \"\" \"Delvix " << DELVIX_VERSION << "\" \"User Commands\"\n"
      << ".SH NAME\n"
      << "delvix\\-cli \\- look inside icon, cursor, animated cursor and wave files and program modules\n"
      << ".SH SYNOPSIS\n"
      << ".B delvix\\-cli\n"
      << "[\\fB\\-\\-kinds=\\fILIST\\fR] \\fIVERB\\fR \\fIARGUMENTS\\fR\n"
      << ".br\n"
      << ".B delvix\\-cli\n"
      << "\\fIVERB\\fR \\fB\\-\\-help\\fR | \\fBhelp\\fR | \\fB\\-\\-version\\fR\n"
      << ".SH DESCRIPTION\n"
      << "Reads the file a verb names with the same readers as the Delvix window, and prints or writes what the\n"
      << "verb asks for. A file is written beside its target, synced, and renamed over it only when complete;\n"
      << "a symbolic link stays and the file it names gets the content; a file with other hard links is\n"
      << "overwritten in place once a complete copy has been written and read back. Its mode, and its owner\n"
      << "where the system allows, are kept. A failure or an interrupt leaves the old file and no temporary\n"
      << "file. FILE must be a regular file: a FIFO, a device or a folder is refused. A FILE of\n"
      << ".B \\-\n"
      << "reads standard input, as a whole, its kind taken from its first bytes.\n"
      << ".SH VERBS\n";
  for (const Command& command : commands()) {
    out << ".TP\n.B " << roff(command.verb) << ' ' << roff(command.operands) << '\n' << roff(command.summary) << '\n';
  }
  out << ".SH OPTIONS\n"
      << ".TP\n.BI \\-\\-kinds= LIST\n"
      << "With tree, thumbnails, info or export: the module resources to read (icons, cursors, bitmaps, none;\n"
      << "separated by commas; all by default).\n"
      << ".TP\n.B \\-\\-json\n"
      << "With tree, info, browse, extract or export: one JSON document on standard output instead of text\n"
      << "(UTF\\-8; keys are only ever added). Messages stay on standard error.\n"
      << ".TP\n.B \\-\\-as\\-shown\n"
      << "With export: each picture as the preview draws it, on its key colour (RGB 254, 254, 254), written\n"
      << "transparent in PNG and GIF files. Without it PNG and GIF files hold the picture's own pixels: 32\\-bit\n"
      << "images with their alpha (or their mask when every alpha byte is 0), other images with their mask as\n"
      << "alpha 0 or 255 (a pixel that would invert the screen is transparent), PNG images as stored (copied\n"
      << "unchanged at zoom 1), module bitmaps opaque; GIF files make alpha below 128 transparent. BMP and JPEG\n"
      << "files are always drawn as shown.\n"
      << ".TP\n.B \\-\\-alpha\n"
      << "With export: as \\-\\-as\\-shown, with a picture that has an alpha channel blended through it onto the\n"
      << "key colour.\n"
      << ".TP\n.BI \\-\\-zoom \" N\"\n"
      << "With export: each pixel an N x N square, N from 1 to 10 (nearest neighbour).\n"
      << ".TP\n.BI \\-\\-show= table,color,mask\n"
      << "With fields: list the values of colour tables, colour bitmaps and masks.\n"
      << ".TP\n.BI \\-\\-edit= table,data,fact\n"
      << "With fields: mark colour tables, pixels and the fact value editable.\n"
      << ".TP\n.BI \\-\\-page= N\\fR|\\fBall\n"
      << "With fields on a colour bitmap: page N (from 1) of its pixel table, or every page.\n"
      << ".TP\n.B \\-r\n"
      << "With extract or export: descend into the folders named, and the folders below them.\n"
      << ".TP\n.B \\-\\-animated\n"
      << "With export and \\fB\\-\\-format gif\\fR or \\fBpng\\fR: an animated cursor's steps, in order and with "
         "their\n"
      << "own delays, as one animated GIF or animated PNG that plays without end, named after FILE\n"
      << "(\\fIDIR\\fR/\\fINAME\\fR.gif or .png; \\fINAME\\fR is animation for standard input). Frames of different "
         "sizes are centred on the largest; a\n"
      << "step whose frame is missing or cannot be drawn is left out with a message. Any other file is refused.\n"
      << ".TP\n.B \\-\\-version\n"
      << "Print the version.\n"
      << ".TP\n.IB VERB \" \\-\\-help\"\n"
      << "Print the verb's arguments and what it does.\n"
      << ".TP\n.B help \\-\\-bash\\-completion\n"
      << "Print a bash completion script for delvix\\-cli (installed as\n"
      << ".IR share/bash\\-completion/completions/delvix\\-cli ).\n"
      << ".SH EXIT STATUS\n"
      << ".TP\n.B 0\nThe verb did its work.\n"
      << ".TP\n.B 1\nThe verb refused: a file that cannot be read or written, a value or a part refused.\n"
      << "Nothing is written then.\n"
      << ".TP\n.B 2\nA usage error.\n"
      << ".SH SEE ALSO\n"
      << ".BR delvix (1),\n.BR icotool (1),\n.BR soxi (1)\n";
}

}  // namespace delvix::cli
