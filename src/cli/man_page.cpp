#include "cli/man_page.h"

#include <algorithm>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"
#include "theme/cursor_roles.h"

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
    if (c == '\n') out += "\\&";
  }
  if (!out.empty() && (out.front() == '.' || out.front() == '\'')) out.insert(0, "\\&");
  return out;
}

std::string bold(std::string_view text) { return "\\fB" + roff(text) + "\\fR"; }
std::string italic(std::string_view text) { return "\\fI" + roff(text) + "\\fR"; }

// "-f, --format FORMAT" with the names bold and the value's name italic.
std::string styledSynopsis(const VerbOption& option) {
  const std::string synopsis = optionSynopsis(option);
  if (option.value == ValueUse::none) return bold(synopsis);
  const std::string valueName(option.valueName.empty() ? "VALUE" : option.valueName);
  const std::size_t at = synopsis.rfind(valueName);
  return bold(synopsis.substr(0, at)) + italic(valueName) + roff(synopsis.substr(at + valueName.size()));
}

// The option's help, then its values where the help does not name them all.
void printOption(const VerbOption& option, std::ostream& out) {
  out << ".TP\n" << styledSynopsis(option) << '\n' << roff(option.help) << '\n';
  const std::vector<std::string> choices = choicesOf(option);
  if (choices.empty()) return;
  const std::string text = choiceText(option);
  const bool named =
      option.help.find(text) != std::string_view::npos ||
      std::ranges::all_of(choices, [&](const std::string& c) { return option.help.find(c) != std::string_view::npos; });
  if (!named) out << (option.list ? "A comma\\-separated list of " : "One of ") << roff(text) << ".\n";
}

void printCommand(const Command& command, std::ostream& out) {
  out << ".SS \"" << roff(command.verb) << ' ' << roff(command.operands) << "\"\n" << roff(command.summary) << ".\n";
  if (!command.description.empty()) out << ".PP\n" << roff(command.description) << '\n';
  if (!command.jsonShape.empty()) out << ".PP\nTakes " << bold("--json") << " (see " << bold("JSON OUTPUT") << ").\n";
  if (command.options.empty()) return;
  out << ".PP\nOptions:\n.RS\n";
  for (const VerbOption& option : command.options) printOption(option, out);
  out << ".RE\n";
}

void printSynopsis(std::ostream& out) {
  out << ".SH SYNOPSIS\n";
  for (const Command& command : commands()) {
    out << ".B delvix\\-cli\n"
        << "[\\fIOPTIONS\\fR] " << bold(command.verb) << " [\\fIOPTIONS\\fR] " << italic(command.operands) << "\n.br\n";
  }
  out << ".B delvix\\-cli\n"
      << "\\fIVERB\\fR " << bold("--help") << "\n.br\n"
      << ".B delvix\\-cli\n"
      << bold("help") << " [\\fIVERB\\fR | " << bold("--man") << " | " << bold("--bash-completion") << "]\n.br\n"
      << ".B delvix\\-cli\n"
      << bold("--version") << '\n';
}

void printDescription(std::ostream& out) {
  out << ".SH DESCRIPTION\n"
      << "Reads the files a verb names with the same readers as the Delvix window, and prints or writes what the\n"
      << "verb asks for. Options may stand anywhere among the operands, before or after the verb, as\n"
      << ".BR getopt_long (3)\n"
      << "reads them: a long option's value after '=' or as the next argument\n"
      << "(\\fB\\-\\-format=gif\\fR, \\fB\\-\\-format gif\\fR), short options alone or together with their value\n"
      << "(\\fB\\-qr\\fR, \\fB\\-f gif\\fR, \\fB\\-fgif\\fR), and a long name shortened to any start of it that\n"
      << "names one option only. An option shown as \\fB\\-\\-name\\fR[\\fB=\\fR\\fIVALUE\\fR] takes a value only\n"
      << "after '='.\n"
      << "An argument of\n.B \\-\\-\n"
      << "ends the options: every argument after it is an operand, even one that starts with '\\-'.\n"
      << "A FILE (or IN) of\n.B \\-\n"
      << "reads standard input, as a whole; an OUT of\n.B \\-\n"
      << "(given as \\fB\\-o \\-\\fR or as the last operand) writes the file to standard output, and what the\n"
      << "verb reports goes to standard error.\n"
      << "The verbs that write into a folder take it as their last operand or as \\fB\\-o\\fR \\fIDIR\\fR.\n"
      << ".PP\n"
      << "Every message on standard error names the program and the file it is about, and says why, with the\n"
      << "system's reason where there is one.\n";
}

void printVerbs(std::ostream& out) {
  out << ".SH VERBS\n";
  for (const Command& command : commands()) printCommand(command, out);
}

void printCommonOptions(std::ostream& out) {
  out << ".SH OPTIONS OF EVERY VERB\n";
  for (const VerbOption& option : commonOptions()) printOption(option, out);
  out << ".TP\n"
      << bold("--version") << "\nPrint the version.\n"
      << ".TP\n"
      << bold("help") << " [\\fIVERB\\fR]\nList the verbs, or tell VERB's operands and options.\n"
      << ".TP\n"
      << bold("help --man") << "\nPrint this manual page, in roff.\n"
      << ".TP\n"
      << bold("help --bash-completion") << '\n'
      << "Print a bash completion script for delvix\\-cli (installed as\n"
      << ".IR share/bash\\-completion/completions/delvix\\-cli ).\n"
      << "It completes the verbs, the options of the verb typed and their values, and the node paths of the\n"
      << "file already typed.\n";
}

void printNodesAndRows(std::ostream& out) {
  out << ".SH NODES\n"
      << "A \\fINODE\\fR is a path of node names as \\fBtree\\fR prints them, joined by '/', from the top of\n"
      << "the tree: \\fBheader/icon_dir_2\\fR and \\fBpicture_1/bitm_info\\fR in an icon or cursor file;\n"
      << "\\fBRIFF_ACON/ani_header\\fR, \\fBRIFF_ACON/sequence\\fR, \\fBRIFF_ACON/List_info/name\\fR and\n"
      << "\\fBRIFF_ACON/List_images/picture_1/bitm_info\\fR in an animated cursor; \\fBRIFF_WAVE/fmt\\fR in a\n"
      << "wave file. In a module each icon group, cursor group and bitmap is a node at the top, named by its\n"
      << "resource name and its place among the groups of its kind, with the group's pictures below it:\n"
      << "\\fB\"APPICON [Icon_1]/picture_2\"\\fR, \\fB\"101!num! [Cursor_2]/header\"\\fR (a numeric name is\n"
      << "followed by \\fB!num!\\fR). Quote a path with spaces. A path may end in '/', as completion offers a\n"
      << "node with children.\n"
      << ".SH ROWS\n"
      << "The \\fIROW\\fR of \\fBset\\fR is the number of a row of \\fINODE\\fR's table, from 1, as\n"
      << "\\fBfields\\fR \\fIFILE\\fR \\fINODE\\fR lists them, or its caption as printed there\n"
      << "(\\fB\"HotPot X\"\\fR, in any letter case). Only a row marked \\fBrw\\fR takes a value. Besides:\n"
      << ".TP\n\\fBadd\\fR, \\fBremove\\fR\n"
      << "On \\fBRIFF_ACON/sequence\\fR: \\fBadd\\fR adds a step showing frame \\fIVALUE\\fR (from 1);\n"
      << "\\fBremove\\fR removes step \\fIVALUE\\fR (from 1).\n"
      << ".TP\nan INFO item\n"
      << "On an item of an INFO list (\\fBRIFF_ACON/List_info/name\\fR) the \\fIVALUE\\fR is its text; give any\n"
      << "\\fIROW\\fR (1).\n"
      << ".TP\na colour table\n"
      << "On \\fBpicture_\\fR\\fIN\\fR\\fB/color_table\\fR (listed with \\fB\\-\\-show=table \\-\\-edit=table\\fR)\n"
      << "a row is an entry and its \\fIVALUE\\fR four numbers: \\fB\"res r g b\"\\fR.\n"
      << ".TP\npixel rows\n"
      << "On \\fBpicture_\\fR\\fIN\\fR\\fB/color_bitmap\\fR or \\fB/mask_bitmap\\fR (listed with\n"
      << "\\fB\\-\\-show=color \\-\\-edit=data\\fR) a row is a row of pixels and its \\fIVALUE\\fR the words of\n"
      << "its boxes as \\fBfields\\fR prints them.\n";
}

void printFiles(std::ostream& out) {
  out << ".SH FILES\n"
      << "The kind of a file is decided by its first bytes: \\fB00 00 01 00\\fR an icon file,\n"
      << "\\fB00 00 02 00\\fR a cursor file, \\fBRIFF\\fR (or \\fBRIFX\\fR, \\fBRF64\\fR) with \\fBACON\\fR an\n"
      << "animated cursor and with \\fBWAVE\\fR a wave file, \\fBMZ\\fR with a PE header a module (an .exe,\n"
      << "\\&.dll, .ocx, .cpl or .scr file). Only when the content does not decide does the extension; a file whose\n"
      << "extension says otherwise is read as what it holds, with a message. Standard input is always\n"
      << "read by its content. A FILE must be a regular file: a FIFO, a device or a folder is refused\n"
      << "(except by the verbs that take folders).\n"
      << ".PP\n"
      << "A file is written beside its target, synced, and renamed over it only when complete; a symbolic\n"
      << "link stays and the file it names gets the content; a file with other hard links is overwritten in\n"
      << "place once a complete copy has been written and read back. Its mode, and its owner where the\n"
      << "system allows, are kept. A failure or an interrupt leaves the old file and no temporary file.\n"
      << "The output path, format and extension are checked before any work is done.\n";
}

void printExitStatus(std::ostream& out) {
  out << ".SH EXIT STATUS\n"
      << ".TP\n.B 0\nThe verb did its work.\n"
      << ".TP\n.B 1\nThe verb refused: a file that cannot be read or written, a value or a part refused, or\n"
      << "(with several files) any one of them. A file that is refused is not written.\n"
      << ".TP\n.B 2\nA usage error: an unknown verb or option, a missing or misplaced operand, a value an option\n"
      << "does not take. The message names it and points to \\fIVERB\\fR \\fB\\-\\-help\\fR.\n";
}

void printJsonOutput(std::ostream& out) {
  out << ".SH JSON OUTPUT\n"
      << "With \\fB\\-\\-json\\fR (\\fB\\-j\\fR) a verb prints one JSON document on standard output (UTF\\-8, bad\n"
      << "bytes of names replaced by U+FFFD) instead of text; messages stay on standard error. Keys are only\n"
      << "ever added. In the shapes below capitals stand for values: \\fIPATH\\fR, \\fINAME\\fR and\n"
      << "\\fITEXT\\fR strings, \\fIN\\fR a number, \\fIBOOL\\fR true or false, \\fIKIND\\fR one of \"icon\",\n"
      << "\"cursor\", \"animated cursor\", \"wave\" or \"module\"; \"...\" stands for more of the same.\n";
  for (const Command& command : commands()) {
    if (command.jsonShape.empty()) continue;
    out << ".TP\n" << bold(command.verb) << "\n.EX\n" << roff(command.jsonShape) << "\n.EE\n";
  }
}

void printExamples(std::ostream& out) {
  struct Example {
    std::string_view what;
    std::string_view command;
  };
  constexpr Example examples[] = {
      {"Every icon, cursor and animated cursor of a folder (and the folders below it) as PNG files:",
       "delvix-cli export -r -f png icons/ out/"},
      {"The pictures of an icon file, one line each, with their sizes and depths:", "delvix-cli info app.ico"},
      {"Move the hot spot of the first entry of a cursor, by the row's caption, writing the file again:",
       "delvix-cli set pointer.cur header/icon_dir_1 \"HotPot X\" 9 -o pointer.cur"},
      {"Set the hot spot of every entry of a cursor at once:",
       "delvix-cli set --hotspot=9,4 pointer.cur -o pointer.cur"},
      {"An animated cursor as one animated GIF (out/busy.gif):", "delvix-cli export --animated -f gif busy.ani out/"},
      {"Remove the first second of a 44.1 kHz wave file:", "delvix-cli cut sound.wav 0 44099 -o cut.wav"},
      {"Every icon and cursor group of a program module, each as its own .ico or .cur file:",
       "delvix-cli extract --kinds=icons,cursors program.exe groups/"},
      {"The node paths of an animated cursor, then the field table of its header:",
       "delvix-cli tree busy.ani\ndelvix-cli fields busy.ani RIFF_ACON/ani_header"},
      {"An icon read from a pipe, and an animated cursor written to one, with nothing on standard error but "
       "failures:",
       "curl -s https://example.org/favicon.ico | delvix-cli info -\ndelvix-cli save -q busy.ani -o - | gzip > "
       "busy.ani.gz"},
      {"The picture counts of several files as one JSON array:", "delvix-cli info -j *.ico | jq '.[].images'"},
      {"Give a program a new main icon, writing it over itself once the new module is complete:",
       "delvix-cli set-icon app.exe app.ico -o app.exe"},
  };
  out << ".SH EXAMPLES\n";
  for (const Example& example : examples)
    out << ".PP\n" << roff(example.what) << "\n.RS\n.EX\n" << roff(example.command) << "\n.EE\n.RE\n";
}

}  // namespace

// The role table that the theme verb converts by: one entry per role of a Windows scheme, in its order.
void printCursorThemes(std::ostream& out) {
  out << ".SH CURSOR THEMES\n"
      << "The cursors of a Windows scheme, in the order of its registry line, with the name each gets in a\n"
      << "freedesktop theme's cursors/ folder, the links made to it, and the Windows file names (any letter\n"
      << "case, besides the scheme's value name and the role) taken for it when a folder has no install.inf.\n"
      << "Pin and person have no standard freedesktop name; they are written as pin and person.\n"
      << ".na\n";  // the long hash names leave lines that cannot be spread to the margin
  auto list = [](std::span<const std::string_view> names) {
    std::string text;
    for (std::string_view name : names) text += (text.empty() ? "" : ", ") + std::string(name);
    return text.empty() ? std::string("none") : text;
  };
  for (const theme::CursorRole& role : theme::cursorRoles()) {
    out << ".TP\n"
        << bold(role.role) << " (" << roff(role.schemeName) << ")\n"
        << bold(role.xcursorName) << "; links: " << roff(list(role.aliases)) << ".\n.br\n"
        << "Windows files: " << roff(list(role.windowsFileNames)) << ".\n";
  }
  out << ".ad\n";
}

void printManPage(std::ostream& out) {
  out << ".TH DELVIX\\-CLI 1 \"\" \"Delvix " << DELVIX_VERSION << "\" \"User Commands\"\n"
      << ".SH NAME\n"
      << "delvix\\-cli \\- look inside icon, cursor, animated cursor and wave files and program modules\n";
  printSynopsis(out);
  printDescription(out);
  printVerbs(out);
  printCommonOptions(out);
  printNodesAndRows(out);
  printCursorThemes(out);
  printFiles(out);
  printExitStatus(out);
  printJsonOutput(out);
  printExamples(out);
  out << ".SH SEE ALSO\n"
      << ".BR delvix (1),\n.BR icotool (1),\n.BR wrestool (1),\n.BR soxi (1)\n";
}

}  // namespace delvix::cli
