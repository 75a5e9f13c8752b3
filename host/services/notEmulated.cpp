// Services this host does not emulate: each notes the call (once per
// service, as a problem the plugin's author should know of) and answers
// what the host answers when the service fails.
#include "services/services.h"

#include "interface/farApi.h"

namespace farhost {

namespace {

void note(const char* service) {
    if (Host* host = Host::current()) host->notEmulated(service);
}

int WINAPI getPluginDirList(int, HANDLE, const char*, PluginPanelItem** items, int* count) {
    note("GetPluginDirList");
    if (items) *items = nullptr;
    if (count) *count = 0;
    return FALSE;
}

int WINAPI viewer(const char*, const char*, int, int, int, int, DWORD) {
    note("Viewer");
    return FALSE;
}

int WINAPI editor(const char*, const char*, int, int, int, int, DWORD, int, int) {
    note("Editor");
    return 0;   // EEC_OPEN_ERROR
}

int WINAPI charTable(int, char*, int) {
    note("CharTable");
    return -1;
}

void WINAPI text(int, int, int, const char*) { note("Text"); }

int WINAPI editorControl(int, void*) {
    note("EditorControl");
    return 0;
}

int WINAPI viewerControl(int, void*) {
    note("ViewerControl");
    return 0;
}

int WINAPI dialogEx(int, int, int, int, int, const char*, FarDialogItem*, int, DWORD, DWORD, void*, long) {
    note("DialogEx");
    return -1;
}

long WINAPI sendDlgMessage(HANDLE, int, int, long) {
    note("SendDlgMessage");
    return 0;
}

long WINAPI defDlgProc(HANDLE, int, int, long) {
    note("DefDlgProc");
    return 0;
}

// The standard functions about keys, code tables and owners.
BOOL WINAPI farKeyToName(int, char* text, int size) {
    note("FarKeyToName");
    if (text && size > 0) text[0] = 0;
    return FALSE;
}

int WINAPI farNameToKey(const char*) {
    note("FarNameToKey");
    return -1;
}

int WINAPI farInputRecordToKey(const INPUT_RECORD*) {
    note("FarInputRecordToKey");
    return 0;
}

char* WINAPI xLat(char* line, int, int, const void*, DWORD) {
    note("XLat");
    return line;
}

BOOL WINAPI getFileOwner(const char*, const char*, char* owner) {
    note("GetFileOwner");
    if (owner) owner[0] = 0;
    return FALSE;
}

}  // namespace

void fillNotEmulatedServices(PluginStartupInfo& info) {
    info.GetPluginDirList = reinterpret_cast<void*>(&getPluginDirList);
    info.Viewer = reinterpret_cast<void*>(&viewer);
    info.Editor = reinterpret_cast<void*>(&editor);
    info.CharTable = reinterpret_cast<void*>(&charTable);
    info.Text = reinterpret_cast<void*>(&text);
    info.EditorControl = reinterpret_cast<void*>(&editorControl);
    info.ViewerControl = reinterpret_cast<void*>(&viewerControl);
    info.DialogEx = reinterpret_cast<void*>(&dialogEx);
    info.SendDlgMessage = reinterpret_cast<void*>(&sendDlgMessage);
    info.DefDlgProc = reinterpret_cast<void*>(&defDlgProc);
}

void fillNotEmulatedStandardFunctions(FarStandardFunctions& fsf) {
    fsf.FarKeyToName = farKeyToName;
    fsf.FarNameToKey = farNameToKey;
    fsf.FarInputRecordToKey = farInputRecordToKey;
    fsf.XLat = xLat;
    fsf.GetFileOwner = getFileOwner;
}

}  // namespace farhost
