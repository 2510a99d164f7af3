#include "dialogs/tips.h"

namespace delvix::dialogs {

const std::array<const char*, tipCount> tips = {
    "Delvix shows the structure of the files with the following extensions: ani, ico, cur, exe, dll, ocx, cpl, scr, "
    "wav.",
    "To save the image of some icon (cursor or bitmap) simply select it and click the 'SAVE FRAME' button or use the "
    "'CTRL+B' ('CTRL+F') hot key.",
    "Delvix allows to output the image of icon (cursor or bitmap) with support of Alpha blending.",
    "You can copy any image into the Clipboard as Bitmap, for this click the 'COPY FRAME' button or use the 'CTRL+C' "
    "hot key.",
    "Use right click on the left and the right part of the main program window to call the context menu.",
    "Delvix allows to edit the files with a wav extension: save every channel separately, cut any part of wav-data.",
    "To cut any part of wave data just select it with the help of your mouse, then click the 'DELETE' button.",
    "You can play every channel separately, if an opened file has the two channels.",
    "Delvix allows to extract the icons, the cursors, the bitmaps embedded into exe, dll, ocx, cpl, scr files.",
    "Calling the 'Quick Info (images)' you can find out how many icons, cursors, bitmaps contain every file in a "
    "selected folder.",
    "Using the 'Quick Info (wav)' you can be looking through the format information any wav-file.",
    "There are three way to open the file via the 'Quick Info (images)': double click on it, press the key 'ENTER', "
    "after selecting this file, click the 'Open file' button.",
    "After opening the CUR file you can edit the hot pot of every cursor, add a new cursor, remove any cursor.",
    "To change the 'Hot Pot' of a cursor open the CUR file, select the 'icon_dir_' items for the corresponding cursor "
    "in the tree form and edit the HotPotX and HotPotY values from items the list form.",
    "There are a lot of icons in the shell32.dll file from the Windows/System(32) folder.",
    "Using the '+' and '-' buttons you can add and remove a separately icon (cursor) from the ico(cur)-file.",
    "There is possibility to add and remove some chunks in the ANI and WAV files.",
    "For the ani-files: to set the time for displaying of a frame, open file, if there is not the 'rate' chunk select "
    "the 'ani_header' items in the tree form and edit the value from 'Default rate' in the list form.",
    "If you don't want to play the wav files in 'Wav Browser' just press the 'In/Out playing' button.",
    "To extract only icons from the exe, dll, ocx, cpl, scr-files, uncheck the 'cursor' and 'bitmap' boxes in the "
    "'Options' window.",
    "To open some file use the 'CTRL+O' hotkey.",
    "To save the file use the 'CTRL+S' hotkey.",
    "To exit use the 'CTRL+X' hotkey.",
    "For the ANI files: if thus file has the 'rate' chunk you can set the displaying time for every frame separately.",
    "For the ANI files: if thus file don't have the 'rate' chunk you can add it by using the '+' button.",
    "Use the 'Options' button to configure outputting information.",
    "There is the 'Lock' button in the 'Quick Info (images)'. It allows to lock the update of this browser to "
    "check/uncheck some boxes with file's extension.",
    "For the ANI files: the 'sequence' chunk allows to set the sequence of frames.",
    "You can set the size of the Main window and every control on it separately using splitters.",
    "You can zoom and save (copy) every image resource embedded in file.",
    "Begin with v.1.8 this program allows editing the color of every pixel. Now it really is low-level-editor!",
};

}  // namespace delvix::dialogs
