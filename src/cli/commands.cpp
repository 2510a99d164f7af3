#include "cli/commands.h"

#include <algorithm>
#include <array>
#include <ostream>
#include <vector>

#include "cli/add_command.h"
#include "cli/bash_completion.h"
#include "cli/browse_command.h"
#include "cli/command_line.h"
#include "cli/cut_command.h"
#include "cli/export_command.h"
#include "cli/fields_command.h"
#include "cli/info_command.h"
#include "cli/lint_command.h"
#include "cli/man_page.h"
#include "cli/module_resource_commands.h"
#include "cli/save_commands.h"
#include "cli/set_command.h"
#include "cli/theme_command.h"
#include "cli/tree_command.h"
#include "cli/xcursor_commands.h"

namespace delvix::cli {

namespace {

constexpr std::array common{
    VerbOption{"kinds", 0, ValueUse::required, "LIST", "icons cursors bitmaps none", true,
               "The resources of a module that are read: icons, cursors, bitmaps or none, separated by commas (all by "
               "default)."},
    VerbOption{
        "json", 'j', ValueUse::none, {}, {}, false, "Print one JSON document instead of text (the verbs that say so)."},
    VerbOption{"quiet",
               'q',
               ValueUse::none,
               {},
               {},
               false,
               "Print nothing on standard error unless something fails; then what failed, and why."},
    VerbOption{"help", 'h', ValueUse::none, {}, {}, false, "Print the verb's usage and options."},
};

constexpr VerbOption output{"output",
                            'o',
                            ValueUse::required,
                            "OUT",
                            {},
                            false,
                            "Write to OUT (instead of giving it as the last operand); - is standard output."};
constexpr VerbOption outputFolder{"output",
                                  'o',
                                  ValueUse::required,
                                  "DIR",
                                  {},
                                  false,
                                  "Write into the folder DIR (instead of giving it as the last operand)."};
constexpr VerbOption recursive{
    "recursive", 'r', ValueUse::none, {}, {}, false, "Descend into the folders named, and the folders below them."};

constexpr std::array<VerbOption, 0> noOptions{};
constexpr std::array saveOptions{output};
constexpr std::array setOptions{
    output,
    VerbOption{"hotspot",
               0,
               ValueUse::required,
               "X,Y",
               {},
               false,
               "Set the hot spot of every cursor entry and frame (or of NODE's) to X,Y instead of ROW and VALUE."},
};
constexpr std::array fieldsOptions{
    VerbOption{"node",
               'n',
               ValueUse::required,
               "NODE",
               {},
               false,
               "The node whose table is printed (instead of giving it as the last operand)."},
    VerbOption{"show", 0, ValueUse::required, "LIST", "table color mask", true,
               "List the values of colour tables, colour bitmaps and masks."},
    VerbOption{"edit", 0, ValueUse::required, "LIST", "table data fact", true,
               "Mark colour tables, pixels and the fact value editable."},
    VerbOption{"page",
               0,
               ValueUse::required,
               "N|all",
               {},
               false,
               "With a colour bitmap: page N (from 1) of its pixel table, or every page."},
};
constexpr std::array addOptions{
    output,
    VerbOption{"info",
               0,
               ValueUse::required,
               "ID:TEXT",
               {},
               false,
               "Add the INFO item ID (four letters, as IART or INAM) with TEXT; may be given again.",
               true},
    VerbOption{"rate", 0, ValueUse::none, {}, {}, false, "Add a rate table (an animated cursor)."},
    VerbOption{"seq", 0, ValueUse::none, {}, {}, false, "Add a sequence table (an animated cursor)."},
    VerbOption{"fact", 0, ValueUse::none, {}, {}, false, "Add a fact chunk (a wave file)."},
    VerbOption{"image",
               0,
               ValueUse::required,
               "SRC[:N]",
               {},
               false,
               "Add image N (from 1; the first by default) of the icon or cursor file SRC."},
};
constexpr std::array extractOptions{outputFolder, recursive};
constexpr std::array exportOptions{
    outputFolder,
    recursive,
    VerbOption{"format", 'f', ValueUse::required, "FORMAT", "png bmp jpg gif", false,
               "The picture format: png (the default), bmp, jpg or gif."},
    VerbOption{"as-shown",
               0,
               ValueUse::none,
               {},
               {},
               false,
               "Each picture as the preview draws it, on its key colour, instead of its own pixels and alpha."},
    VerbOption{"alpha",
               0,
               ValueUse::none,
               {},
               {},
               false,
               "As --as-shown, a picture with an alpha channel blended through it."},
    VerbOption{"zoom", 0, ValueUse::required, "N", "1 2 3 4 5 6 7 8 9 10", false,
               "Each pixel an N x N square, N from 1 to 10."},
    VerbOption{"animated",
               0,
               ValueUse::none,
               {},
               {},
               false,
               "With --format gif or png: an animated cursor's steps as one animated picture."},
};
constexpr std::array browseOptions{
    VerbOption{"images", 0, ValueUse::attached, "LIST", "ani cur ico cpl dll exe ocx scr", true,
               "List only the files the image browser lists, of the extensions given (ani, cur, ico without a list)."},
    VerbOption{"wav", 0, ValueUse::none, {}, {}, false, "List only the wave files, as the wave browser does."},
};

// What --json prints, keys in the order they are written. Shown by the manual page.
constexpr std::string_view batchJson = R"({"failed": N,
 "files": [{"file": PATH, "folder": PATH, "ok": BOOL,
            "written": [PATH...]}...],
 "target": DIR}
A file that failed has "ok": false, and what it had written before
it failed.)";
constexpr std::string_view treeJson = R"({"file": PATH, "kind": KIND, "nodes": [NODE...]}
where NODE is
{"children": [NODE...],
 "fields": [{"caption": TEXT, "editable": BOOL, "value": TEXT}...],
 "name": NAME}
The fields are the table fields prints without options; an INFO
item's text is the field "Text". With several files: an array of
these, one for each file read.)";
constexpr std::string_view infoJson = R"(An icon or cursor file:
{"file": PATH, "images": N, "kind": "icon"|"cursor", "pictures": [PICTURE...]}
An animated cursor ("size" and "bit_count" are the first frame's
when the header leaves them 0; the pictures are its frames):
{"bit_count": N, "file": PATH, "frames": N, "from_first_frame": BOOL,
 "kind": "animated cursor", "pictures": [PICTURE...], "size": "WxH",
 "steps": N}
where PICTURE is
{"bit_count": N, "bytes": N, "format": "PNG"|"BMP", "height": N,
 "hot_spot": {"x": N, "y": N}, "number": N, "width": N}
with "hot_spot" for cursors only, "number" from 1, and the size the
picture itself gives (256, where the directory says 0).
A wave file ("sample_frames" only where the samples are stored one
by one, not compressed):
{"bits_per_sample": N, "channels": N, "data_bytes": N, "file": PATH,
 "format_tag": N, "kind": "wave", "playing_time": SECONDS,
 "sample_frames": N, "samples_per_second": N}
A module (null for a kind left out by --kinds):
{"bitmaps": N, "cursor_groups": N, "file": PATH,
 "groups": [{"kind": "icon group"|"cursor group"|"bitmap",
             "language": N, "name": NAME, "pictures": [PICTURE...]}...],
 "icon_groups": N, "kind": "module"}
With several files: an array of these, one for each file read.)";
constexpr std::string_view browseJson = R"({"folder": DIR,
 "rows": [{"columns": COLUMNS, "name": NAME, "path": PATH, "reason": TEXT}...]}
with "wave_rows": [ROW...] as well when neither --images nor --wav is given,
where COLUMNS is {"bitmaps": N, "cursors": N, "icons": N}
or, with --wav, {"bits_per_sample": N, "channels": N, "format": N,
 "samples_per_second": N, "size": N, "time": SECONDS}
A column is a number, or its text where it is not one, or null where the browser
shows it empty or unknown. "reason" is there only for a file that could not be
read, and says why.)";

constexpr std::string_view xcursorJson = R"({"file": FILE, "output": OUT,
 "images": [{"size": N, "width": N, "height": N, "xhot": N, "yhot": N, "delay": MS}]})";
constexpr std::string_view wincursorJson = R"({"file": XCURSOR, "output": OUT, "animated": true|false})";
constexpr std::array xcursorOptions{
    output,
    VerbOption{"inverted", 0, ValueUse::required, "HOW", "outline transparent", false,
               "How a pixel that inverts the screen is written, X cursors having no such pixels: dark with a light "
               "outline around the inverting area (outline, the default) or transparent."}};
constexpr std::array wincursorOptions{
    output, VerbOption{"sizes",
                       0,
                       ValueUse::required,
                       "LIST",
                       {},
                       false,
                       "The sizes to write, in pixels, separated by commas (32,48,64); a size the file lacks is "
                       "scaled from the nearest larger one (or the largest), its hot spot with it. Default: every "
                       "size the file holds."}};
constexpr std::array themeOptions{
    VerbOption{"to", 't', ValueUse::required, "LAYOUT", "linux windows", false,
               "Write a freedesktop (linux) theme or a Windows cursor folder (windows); by default the other "
               "layout than DIR's."},
    VerbOption{"replace",
               0,
               ValueUse::none,
               {},
               {},
               false,
               "Write into an OUT_DIR that holds files already, replacing files and links of the same names."},
};
constexpr std::string_view themeJson = R"({"to": "linux"|"windows", "name": NAME, "output": OUT_DIR,
 "cursors": [{"role": ROLE, "source": FILE, "written": FILE, "aliases": [FILE...]}...],
 "unmatched": [FILE...], "missing_roles": [ROLE...], "failures": [TEXT...]}
Files are relative to DIR and OUT_DIR. "unmatched" are cursor files no role of the
scheme takes (not converted); "missing_roles" the roles DIR has no cursor for.)";
constexpr std::string_view lintJson = R"({"cursors": N, "faults": N, "findings": [FINDING...], "folder": DIR,
 "layout": "freedesktop"|"windows", "name": NAME, "warnings": N}
where FINDING is
{"cursor": NAME, "severity": "fault"|"warning", "what": TEXT, "where": TEXT}
with "cursor" null for what concerns the whole theme and "where" null
where the finding names no size, frame or step.)";

constexpr VerbOption languageOption{"lang",
                                    0,
                                    ValueUse::required,
                                    "N",
                                    {},
                                    false,
                                    "The resource's language, a number (1033 for English, United States; 0 for "
                                    "neutral). Default: the language the resource has (the lowest, when it has "
                                    "several), or neutral for a new one."};
constexpr VerbOption stripSignature{"strip-signature",
                                    0,
                                    ValueUse::none,
                                    {},
                                    {},
                                    false,
                                    "Remove the signature of a signed module (which any change breaks) instead of "
                                    "refusing it."};
constexpr VerbOption resourceName{"name",
                                  0,
                                  ValueUse::required,
                                  "NAME|ID",
                                  {},
                                  false,
                                  "The resource's name or number (#12 is a number too); a name is taken in upper "
                                  "case, as resource compilers store names."};
constexpr VerbOption replacedName{"name",
                                  0,
                                  ValueUse::required,
                                  "NAME|ID",
                                  {},
                                  false,
                                  "The resource to replace or add, by name or number (#12 is a number too). Default: "
                                  "the first of its kind as the module lists them, or 1 when it has none."};
constexpr VerbOption resourceType{"type",
                                  0,
                                  ValueUse::required,
                                  "TYPE",
                                  "icon cursor anicursor aniicon bitmap",
                                  false,
                                  "The kind of resource: an icon group, a cursor group, an animated cursor, an "
                                  "animated icon or a bitmap."};
constexpr std::array setIconOptions{
    output,
    VerbOption{"group",
               0,
               ValueUse::required,
               "NAME|ID",
               {},
               false,
               "The icon group to replace or add, by name or number (#12 is a number too). Default: the main icon, "
               "the first group as the module lists them (as Explorer shows it), or 1 when it has none."},
    languageOption, stripSignature};
constexpr std::array setResourceOptions{output, replacedName, languageOption, stripSignature};
constexpr std::array addResourceOptions{
    output,
    VerbOption{"type", 0, ValueUse::required, "TYPE", "icon cursor anicursor aniicon bitmap", false,
               "The kind of resource FILE becomes: an icon group, a cursor group, an animated cursor, an animated "
               "icon or a bitmap. Default: what FILE's content is (an animated cursor file becomes an animated "
               "cursor)."},
    VerbOption{"name",
               0,
               ValueUse::required,
               "NAME|ID",
               {},
               false,
               "The new resource's name or number (#12 is a number too). Default: the lowest number its kind has "
               "free."},
    languageOption, stripSignature};
constexpr std::array removeResourceOptions{output, resourceType, resourceName, languageOption, stripSignature};
constexpr std::string_view moduleChangeJson = R"({"change": "replaced"|"added"|"removed", "file": MODULE,
 "kind": "icon group"|"cursor group"|"animated cursor"|"animated icon"|"bitmap",
 "languages": [N...], "name": NAME|N, "notes": [TEXT...], "output": OUT,
 "pictures": N}
"languages" holds the one language changed, or every language removed;
"pictures" counts the pictures of an icon or cursor group (those removed
with it); "notes" says what else a user should know, as the signature
removed or the resources moved into a new section.)";

constexpr std::array table{
    Command{"tree", "FILE...", 1, anyNumber, noOptions,
            "print the structure tree, one node per line (or as JSON with every field table)",
            "Each node on a line of its own, indented by two spaces a level. With several files, each file's tree "
            "follows a line with its name and a colon.",
            treeJson, printTrees},
    Command{"thumbnails",
            "FILE DIR",
            2,
            2,
            noOptions,
            "write each picture's thumbnail as DIR/picture_N.png",
            "Each picture drawn into a 48 x 48 thumbnail, as the window's thumbnail list shows it.",
            {},
            writeThumbnails},
    Command{"fields",
            "FILE... [NODE]",
            1,
            anyNumber,
            fieldsOptions,
            "print NODE's field table (NODE a path like picture_1/bitm_info), or every node's",
            "One row a line: caption, value (and a third column where the table has one) and rw or ro, separated "
            "by tabs. NODE is a path of node names as tree prints them, joined by '/'; the last operand is taken "
            "as NODE when it is not a file. Without NODE every node's table follows its path.",
            {},
            printFields},
    Command{"set",
            setArguments,
            2,
            5,
            setOptions,
            "change a field of NODE's table as Apply does and write the file as OUT",
            "ROW is the row's number in NODE's table (from 1, as fields lists them) or its caption (\"HotPot X\"). "
            "On sequence, ROW add adds a step showing frame VALUE and ROW remove removes step VALUE; an INFO item "
            "takes VALUE as its text. A colour-table entry takes \"res r g b\", a pixel row the words of its boxes.",
            {},
            setField},
    Command{"cut",
            cutArguments,
            4,
            4,
            saveOptions,
            "remove sample frames FROM to TO (from 0) of a wave file and write it as OUT",
            "Both FROM and TO are removed from every channel, as Delete between two red lines does.",
            {},
            cutWaveFrames},
    Command{"add",
            addArguments,
            2,
            2,
            addOptions,
            "add INFO items, rate, seq, fact or another file's image as Add chunk does, write OUT",
            "FILE is an animated cursor, a wave file, or (with --image) an icon or cursor file. The chunks are "
            "added in the order the options are given, as the window's Add chunk adds them, and the file is "
            "written as OUT; at least one option is needed.",
            {},
            addChunks},
    Command{"remove",
            "FILE NODE OUT",
            3,
            3,
            saveOptions,
            "take out NODE (INFO list or item, fact, time, sequence, a kept chunk, a picture or frame), write OUT",
            "NODE is a path as tree prints it: an INFO list or item (RIFF_ACON/List_info/name), fact, time (the "
            "rates), sequence, a chunk kept as it was read, a picture of an icon or cursor file (picture_2) or a "
            "frame of an animated cursor. It is taken out as the window's Remove chunk does.",
            {},
            removeNode},
    Command{"info", "FILE...", 1, anyNumber, noOptions,
            "print a file's main numbers (wave, animated cursor, icon, cursor, module)",
            "With several files, each file's lines follow a line with its name and a colon.", infoJson, printInfos},
    Command{"save",
            "IN OUT",
            2,
            2,
            saveOptions,
            "write IN again as OUT, with the writer for OUT's extension",
            "A module's icon and cursor groups go into the folder OUT, one file each.",
            {},
            saveDocument},
    Command{"extract", "FILE... DIR", 2, anyNumber, extractOptions,
            "write every picture or resource group of each FILE as a file of its own in DIR/NAME/",
            "Each picture of an icon or cursor file (or frame of an animated cursor) as a file of its own "
            "(picture_N.ico or .cur, N zero-padded to the width of the count: picture_01 ... picture_12); each "
            "icon group of a module as GROUP.ico, each cursor group as GROUP.cur and each bitmap as GROUP.bmp, in "
            "every language it has: the first as stored under GROUP, the others as GROUP_LANG (1_1041.ico). "
            "Each FILE goes into DIR/NAME/, NAME its file name (stdin for standard input), one FILE as several. A "
            "folder among the FILEs stands for the files in it that delvix-cli reads, which keep their place "
            "below DIR/folder/; with -r also those in its folders below. A file that fails is named, and the "
            "others are still written.",
            batchJson, extractPictures},
    Command{
        "export", "FILE... DIR", 2, anyNumber, exportOptions,
        "write every picture of FILE as DIR/NAME/picture_N.png (or the format's): its own pixels and alpha (PNG, GIF), "
        "or as drawn (BMP, JPEG, --as-shown; --alpha through its alpha)",
        "Without --as-shown, PNG and GIF files hold the picture's own pixels: 32-bit images with their alpha "
        "(or their mask when every alpha byte is 0), other images with their mask as alpha 0 or 255 (a pixel "
        "that would invert the screen is transparent), PNG images as stored (copied unchanged at zoom 1), "
        "module bitmaps opaque; GIF files make alpha below 128 transparent. BMP and JPEG files are always "
        "drawn as shown, on the key colour (RGB 254, 254, 254). Folders and -r as with extract.",
        batchJson, exportPictures},
    Command{"browse", "DIR", 1, 1, browseOptions,
            "list DIR as the image browser (or the wave browser) does: a file a line, tab-separated",
            "Without --images or --wav, every kind: the image browser's rows of every kind it reads, an empty "
            "line, then the wave browser's rows. A folder with no file of the kinds asked for is refused (exit "
            "status 1) with the kinds named. "
            "The image browser's columns are name, icons, cursors and bitmaps; the wave browser's (--wav) name, "
            "size, time, format, channels, bits per sample and samples per second. A column that cannot be "
            "known is ?, and a file that cannot be read is named on standard error with the reason.",
            browseJson, browseFolder},
    Command{"xcursor", "FILE OUT", 2, 2, xcursorOptions,
            "write an icon file, cursor file or animated cursor FILE as the X11 cursor file OUT",
            "Every picture becomes an image at its nominal size (its width, or its height when larger), with its "
            "own hot spot; of pictures of one size the one with the most colours. 1- to 24-bit pictures take their "
            "mask as alpha. Every step of an animated cursor becomes an image with the step's time in "
            "milliseconds. What is changed on the way is said on standard error. OUT needs no extension.",
            xcursorJson, convertToXcursor},
    Command{"wincursor", "XCURSOR OUT", 2, 2, wincursorOptions,
            "write the X11 cursor file XCURSOR as the Windows cursor OUT.cur, or OUT.ani when it is animated",
            "A still cursor becomes a .cur with one picture per size; an animated one an .ani whose frames hold "
            "one picture per size, with \"rate\" when the frames' times differ, \"seq \" when frames repeat and "
            "an INFO list from the comments (ICOP the copyright, ICMT the others). Times are rounded to 1/60 s. "
            "OUT's extension must match: an animated cursor written as .cur is refused.",
            wincursorJson, convertToWindowsCursor},
    Command{"theme", "DIR OUT_DIR", 2, 2, themeOptions,
            "convert a whole cursor theme: a Windows cursor folder to a freedesktop theme, or back",
            "A DIR of .cur and .ani files becomes a freedesktop theme in OUT_DIR: index.theme, and cursors/ "
            "with each cursor converted as the xcursor verb does, under its standard name with the usual "
            "aliases as relative links (see CURSOR THEMES). The roles come from DIR's install.inf (its "
            "scheme line and [Strings]), or, without one, from the file names; files no role takes are named "
            "and left out. A DIR with cursors/ or index.theme becomes a Windows folder: each role's cursor "
            "(found under its standard name or an alias) as NAME.cur, or NAME.ani when animated, as the "
            "wincursor verb writes them, and an install.inf that installs them as a scheme named as the "
            "theme. OUT_DIR is made when missing; one that holds files is refused unless --replace is given. "
            "Every cursor written is printed with its links; a cursor that fails is named, the others are "
            "still written, and the exit status is 1.",
            themeJson, convertTheme},
    Command{"lint", "DIR", 1, 1, noOptions,
            "check the cursor theme in DIR for the faults its users meet: hot spots that move, missing cursors",
            "DIR is a freedesktop cursor theme (the folder with cursors/ and index.theme, or cursors/ itself) or a "
            "folder of Windows .cur and .ani files. Faults: a hot spot that moves between the frames of a "
            "cursor, between its sizes beyond rounding (each size against the largest, scaled, within one pixel "
            "at the smaller size), or from the pointer to the working cursor (progress, AppStarting); a hot "
            "spot outside its picture; frames of different sizes in one animation; a delay of 0; a file that "
            "cannot be read. Warnings: a standard cursor that is missing (named as the theme would name it), "
            "a size that more than half of the cursors have and some lack, a busy cursor (wait) whose hot spot "
            "is not the pointer's, and in a Windows folder a file whose name matches no cursor role. The first "
            "line sums up; then one finding a line: SEVERITY: CURSOR (WHERE): WHAT. Exit status 1 when there is "
            "a fault or DIR is no cursor theme, 0 otherwise.",
            lintJson, lintTheme},
    Command{"set-icon", "MODULE ICO OUT", 3, 3, setIconOptions,
            "replace the icon of a program module (its main icon, or the group named) with an icon file's pictures",
            "MODULE is a program module (.exe, .dll, ...; PE32 or PE32+), written with the change as OUT (which may be "
            "MODULE itself: the file is replaced only once the whole module is written). Every picture of ICO goes "
            "into the group under the lowest picture numbers no other picture has; the "
            "group's old pictures that no other group uses are removed. A module without icons gets group 1. The "
            "rest of the module is kept as it was, data after its last section (an installer's payload) included; a "
            "signed module is refused unless --strip-signature is given. What changed is printed: \"Icon group 1 "
            "(language 1033) replaced: 7 pictures.\"",
            moduleChangeJson, setModuleIcon},
    Command{"set-cursor", "MODULE CUR|ANI OUT", 3, 3, setResourceOptions,
            "replace or add a cursor group of a program module with a cursor file, or an animated cursor with an .ani",
            "MODULE and OUT as with set-icon. A cursor file's pictures go "
            "in as set-icon puts an icon's, each with its hot spot; an animated "
            "cursor goes in as it is (an RT_ANICURSOR resource).",
            moduleChangeJson, setModuleCursor},
    Command{"set-bitmap", "MODULE BMP OUT", 3, 3, setResourceOptions,
            "replace or add a bitmap of a program module with a .bmp file",
            "MODULE and OUT as with set-icon. The bitmap goes in as modules "
            "store it, without the file header.",
            moduleChangeJson, setModuleBitmap},
    Command{"add-resource", "MODULE FILE OUT", 3, 3, addResourceOptions,
            "add an icon group, cursor group, animated cursor or icon, or bitmap to a program module",
            "MODULE and OUT as with set-icon. FILE's content decides the "
            "kind unless --type is given; a resource of that name and language "
            "that is there already is refused (the set verbs replace it).",
            moduleChangeJson, addModuleResource},
    Command{"remove-resource", "MODULE OUT", 2, 2, removeResourceOptions,
            "remove a resource (with a group's pictures that no other group uses) from a program module",
            "MODULE and OUT as with set-icon. Every language of the "
            "resource is removed unless --lang names one.",
            moduleChangeJson, removeModuleResource},
};

// `text` in lines of at most 100 columns, each after `indent` spaces (the first after `firstIndent`).
std::string wrapped(std::string_view text, std::size_t indent, std::size_t firstIndent) {
  constexpr std::size_t width = 100;
  std::string result;
  std::size_t column = firstIndent;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(' ', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view word = text.substr(start, end - start);
    if (column > firstIndent && column + 1 + word.size() > width && column > indent) {
      result += '\n' + std::string(indent, ' ');
      column = indent;
    } else if (!result.empty()) {
      result += ' ';
      ++column;
    }
    result += word;
    column += word.size();
    start = end + 1;
  }
  return result;
}

void printOptionHelp(const VerbOption& option, std::ostream& out) {
  out << "  " << optionSynopsis(option) << "\n      " << wrapped(option.help, 6, 6) << '\n';
}

std::string usageLine(const Command& command) {
  return "usage: delvix-cli " + std::string(command.verb) + " [OPTIONS] " + std::string(command.operands);
}

}  // namespace

std::span<const VerbOption> commonOptions() { return common; }
std::span<const Command> commands() { return table; }

const Command* findCommand(std::string_view verb) {
  const auto found = std::ranges::find(table, verb, &Command::verb);
  return found == table.end() ? nullptr : &*found;
}

void printUsage(std::ostream& out) {
  out << "usage: delvix-cli [OPTIONS] VERB [OPTIONS] OPERANDS\n\n";
  for (const Command& c : table) {
    const std::string head = std::string(c.verb) + " " + std::string(c.operands);
    // A long head takes a line of its own, with the summary under the others.
    out << "  " << head << (head.size() < 24 ? std::string(24 - head.size(), ' ') : "\n" + std::string(26, ' '))
        << wrapped(c.summary, 26, 26) << '\n';
  }
  out << "\noptions of every verb:\n";
  for (const VerbOption& option : common) printOptionHelp(option, out);
  out << "\n  -                       as FILE: standard input, its kind taken from its first bytes\n"
         "  --                      ends the options: what follows is an operand\n"
         "  --version               the program's version\n"
         "  VERB --help             the verb's operands and options\n"
         "  help --man              the manual page delvix-cli(1), in roff\n"
         "  help --bash-completion  a bash completion script for delvix-cli\n";
  out << "\nexit status: 0 done; 1 refused (a file that cannot be read or written, a value or part refused);\n"
         "2 a usage error\n";
}

void printVerbUsage(const Command& command, std::ostream& out) {
  out << usageLine(command) << "\n\n" << wrapped(command.summary, 0, 0) << '\n';
  if (!command.description.empty()) out << '\n' << wrapped(command.description, 0, 0) << '\n';
  out << "\noptions:\n";
  for (const VerbOption& option : command.options) printOptionHelp(option, out);
  for (const VerbOption& option : common)
    if (option.name != "json" || !command.jsonShape.empty()) printOptionHelp(option, out);
}

int runCommandLine(std::span<const std::string> args, Streams streams) { return runParsedCommandLine(args, streams); }

}  // namespace delvix::cli
