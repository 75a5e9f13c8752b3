#include "commands/refusedKeys.h"

#include "state/pluginState.h"
#include "ui/messages.h"

namespace {

// FAR's numeric keypad codes: 1.75 hands a Delete without the enhanced flag
// over as 0x109, and keeps the keypad's decimal point with Alt or Shift as a
// delete key of its own (far/filelist.cpp of 1.75: KEY_ALTNUMDEL,
// KEY_ALTDECIMAL beside KEY_ALTDEL).
constexpr int VK_NUMPAD_DELETE = 0x109;
// A drag with the mouse reaches the panel as FAR's internal key; moving
// drags (far/panel.cpp: KEY_DRAGMOVE) take the dragged folders along.
constexpr int FAR_KEY_DRAG_MOVE = 0x1004;

struct RefusedKey {
    int key;
    unsigned controlState;   // compared whole
    int hint;
};

// Found in FAR's panel code (far/filelist.cpp, FileList::ProcessKey, at
// release/1.70 = build 2087 and builds/1.75.2634); a plugin panel with real
// names counts there as a file panel for each of these. Keys that are the
// list's own commands (F4, F8, Del, Shift+Del, Shift+F5, Shift+F6 ...) and
// keys FAR leaves alone on plugin panels or on folders (Ctrl+Z describes
// files of ordinary panels only; Shift+F2, Shift+F3 and Alt+F5 skip folders)
// are not here. F5 copies plugins out of the list and changes nothing in it.
const RefusedKey REFUSED_KEYS[] = {
    // filelist.cpp 1.70:2143 / 1.75:1635, ProcessCopyKeys (1.70:4658): moves
    // or renames the folders.
    {VK_F6, 0, MHintMove},
    // 1.70:2146 / 1.75:1638, sent by a moving drag (panel.cpp 1.70:1633 /
    // 1.75:1461): as F6.
    {FAR_KEY_DRAG_MOVE, 0, MHintDragMove},
    // 1.70:2144 / 1.75:1636, ProcessCopyKeys with a link: links to the folders.
    {VK_F6, PKF_ALT, MHintLink},
    // 1.70:2207 / 1.75:1703, ShellMakeDir: Vantorel has no MakeDirectory export.
    {VK_F7, 0, MHintMakeFolder},
    // 1.70:1776 / 1.75:1234, the editor on a typed name in FAR's current folder.
    {VK_F4, PKF_SHIFT, MHintNewFile},
    // 1.70:1775,1777 / 1.75:1233,1235: on a folder these open the attributes
    // dialog (1.70:1894 / 1.75:1353, ProcessKey(KEY_CTRLA)).
    {VK_F4, PKF_ALT, MHintAltEdit},
    {VK_F4, PKF_CONTROL | PKF_SHIFT, MHintCtrlShiftEdit},
    // 1.70:2246 / 1.75:1750-1752, ShellDelete wiping the folders.
    {VK_DELETE, PKF_ALT, MHintWipe},
    {VK_NUMPAD_DELETE, PKF_ALT, MHintWipe},
    {VK_DECIMAL, PKF_ALT, MHintWipe},
    // 1.70:1615 / 1.75:1042, ShellSetFileAttributes, with "Process subfolders".
    {'A', PKF_CONTROL, MHintAttributes},
    // 1.70:1626 / 1.75:1054, ApplyCommand (real names let FAR run it).
    {'G', PKF_CONTROL, MHintApplyCommand},
};

}  // namespace

int refusedKeyHint(int key, unsigned controlState) {
    for (const RefusedKey& refused : REFUSED_KEYS)
        if (refused.key == key && refused.controlState == controlState) return refused.hint;
    return -1;
}

void showRefusedKeyHint(int hint) {
    if (!startupInfo.Message) return;
    const char* items[] = {PLUGIN_TITLE, message(hint), message(MHintWhereItWorks)};
    startupInfo.Message(startupInfo.ModuleNumber, FMSG_WARNING | FMSG_MB_OK, "", items, 3, 0);
}

void followBrowsedFolder(const PanelState* panel) {
    if (panel && panel->browseRootLength && panel->currentDir[0]) SetCurrentDirectoryA(panel->currentDir);
}
