#include "settings/settingsDialog.h"

#include "state/pluginState.h"
#include "runtime/text.h"
#include "settings/settings.h"
#include "ui/messages.h"

#include <string.h>

static const unsigned MESSAGE_ID_LIMIT = 2000;
static const int DIALOG_WIDTH = 53, DIALOG_HEIGHT = 13;
static const int CONFIRM_BUTTON = 9;
static const char SETTINGS_HELP_TOPIC[] = "Settings";

#define MSG_REF(id) reinterpret_cast<const char*>(static_cast<uintptr_t>(id))

static const CompactDialogItem dialogTemplate[] = {
    // The host draws a separator from the fourth column to the fourth from
    // the right: the box stands there too, so that the two meet.
    {DI_DOUBLEBOX, 3, 1, 49, 11, 0, 0, 0, 0, "Vantorel"},
    {DI_CHECKBOX, 5, 2, 0, 0, 1, 0, 0, 0, MSG_REF(MCfgDiskMenu)},
    {DI_CHECKBOX, 5, 3, 0, 0, 0, 0, 0, 0, MSG_REF(MCfgPluginsMenu)},
    {DI_FIXEDIT, 6, 4, 6, 3, 0, 0, DIF_MASKEDIT, 0, ""},
    {DI_TEXT, 8, 4, 0, 0, 0, 0, 0, 0, MSG_REF(MCfgDiskMenuNumber)},
    {DI_FIXEDIT, 6, 5, 6, 3, 0, 0, DIF_MASKEDIT, 0, ""},
    {DI_TEXT, 8, 5, 0, 0, 0, 0, 0, 0, MSG_REF(MCfgStartView)},
    {DI_CHECKBOX, 5, 6, 0, 0, 0, 0, 0, 0, MSG_REF(MCfgMarkLoaded)},
    {DI_CHECKBOX, 5, 8, 0, 0, 0, 0, 0, 0, MSG_REF(MCfgSkipProbing)},
    {DI_BUTTON, 0, 10, 0, 0, 0, 0, DIF_CENTERGROUP, 1, MSG_REF(MCfgOk)},
    {DI_BUTTON, 0, 10, 0, 0, 0, 0, DIF_CENTERGROUP, 0, MSG_REF(MCfgCancel)},
    // Separators come last, so that every setting keeps its item number.
    {DI_TEXT, 3, 7, 0, 0, 0, 0, DIF_BOXCOLOR | DIF_SEPARATOR, 0, ""},
    {DI_TEXT, 3, 9, 0, 0, 0, 0, DIF_BOXCOLOR | DIF_SEPARATOR, 0, ""},
};
static const int DIALOG_ITEMS = sizeof dialogTemplate / sizeof dialogTemplate[0];
static_assert(DIALOG_ITEMS == 13, "configuration dialog");

void expandDialogItems(const CompactDialogItem* compact, FarDialogItem* items, int count) {
    for (int i = 0; i < count; ++i) {
        const CompactDialogItem& c = compact[i];
        FarDialogItem& d = items[i];
        d.Type = c.type;
        d.X1 = c.x1;
        d.Y1 = c.y1;
        d.X2 = c.x2;
        d.Y2 = c.y2;
        d.Focus = c.focus;
        d.Selected = static_cast<int>(c.selected);
        d.Flags = c.flags;
        d.DefaultButton = c.defaultButton;
        uintptr_t ref = reinterpret_cast<uintptr_t>(c.text);
        copyText(d.Data, sizeof d.Data, ref < MESSAGE_ID_LIMIT ? msgText(static_cast<int>(ref)) : c.text);
    }
}

signed char digitFieldValue(const char* data) {
    return (data[0] >= '0' && data[0] <= '9') ? static_cast<signed char>(data[0] - '0') : 0;
}

// The disk menu hotkey 0 asks FAR for none: FAR then numbers the item
// itself, so the field shows it blank ("automatic"), as FAR's menu does not
// show a 0 there.
static void setDigitField(FarDialogItem& item, signed char value, bool zeroIsBlank) {
    item.Mask = "9";
    item.Data[0] = (zeroIsBlank && value == 0) ? ' ' : static_cast<char>('0' + value);
    item.Data[1] = 0;
}

// Both menu entries off leaves no way to open the panel: asks first.
static bool confirmNoMenus() {
    if (!startupInfo.Message) return true;
    const char* lines[] = {PLUGIN_TITLE, msgText(MAskNoMenus1), msgText(MAskNoMenus2)};
    return startupInfo.Message(startupInfo.ModuleNumber, FMSG_WARNING | FMSG_MB_YESNO, SETTINGS_HELP_TOPIC, lines,
                               3, 0) == 0;
}

int WINAPI runSettingsDialog(int) {
    readSettings();

    // Messages are fetched into the working copy in the order the dialog
    // lists them; the template keeps their ids.
    CompactDialogItem compact[DIALOG_ITEMS];
    memcpy(compact, dialogTemplate, sizeof compact);
    static const int textItems[] = {1, 2, 4, 6, 7, 8, 9, 10};
    for (int index : textItems)
        compact[index].text = message(static_cast<int>(reinterpret_cast<uintptr_t>(dialogTemplate[index].text)));

    FarDialogItem items[DIALOG_ITEMS];
    memset(items, 0, sizeof items);
    expandDialogItems(compact, items, DIALOG_ITEMS);
    items[1].Selected = JConfig.showInDiskMenu;
    items[2].Selected = JConfig.showInPluginsMenu;
    items[7].Selected = JConfig.markLoaded;
    items[8].Selected = JConfig.skipProbing;
    setDigitField(items[3], JConfig.diskMenuNumber, true);
    setDigitField(items[5], JConfig.startView, false);

    if (!startupInfo.Dialog) return 0;
    for (;;) {
        int result = startupInfo.Dialog(startupInfo.ModuleNumber, -1, -1, DIALOG_WIDTH, DIALOG_HEIGHT,
                                        SETTINGS_HELP_TOPIC, items, DIALOG_ITEMS);
        if (result != CONFIRM_BUTTON) return 0;
        if (items[1].Selected || items[2].Selected || confirmNoMenus()) break;
        // The dialog comes back as the user left it.
        for (FarDialogItem& item : items) item.Focus = 0;
        items[1].Focus = 1;
    }

    JConfig.showInDiskMenu = static_cast<signed char>(items[1].Selected);
    JConfig.showInPluginsMenu = static_cast<signed char>(items[2].Selected);
    JConfig.markLoaded = static_cast<signed char>(items[7].Selected);
    JConfig.skipProbing = static_cast<signed char>(items[8].Selected);
    JConfig.diskMenuNumber = digitFieldValue(items[3].Data);
    JConfig.startView = digitFieldValue(items[5].Data);
    writeSettings();
    return 1;
}
