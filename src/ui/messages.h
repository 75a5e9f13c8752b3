// The plugin's own texts are messages of its language files, fetched by id.
#pragma once

enum MessageId {
    MLanguageName = 0,
    MColumnFolderSize = 1,
    MColumnVersion = 2,
    MCfgDiskMenu = 3,
    MCfgPluginsMenu = 4,
    MCfgDiskMenuNumber = 5,
    MCfgStartView = 6,
    MCfgSkipProbing = 7,
    MCfgMarkLoaded = 8,
    MCfgOk = 9,
    MCfgCancel = 10,
    MKeyConfigure = 11,
    MKeyRescan = 12,
    MKeyClearCache = 13,
    MKeyUnload = 14,
    MKeySortPath = 15,
    MKeySortVersion = 16,
    MAskClearCache = 17,
    MCacheCleared = 18,
    MNoDescription = 19,
    MInstallPlugin = 20,
    MInstallBytes = 21,
    MCopying = 22,
    MAskInstallFolders = 23,
    MInstallCount = 24,
    MInstallSize = 25,
    MAskInstallArchives = 26,
    MInstalledPlugins = 27,
    MInstalledFiles = 28,
    MInstallRestart = 29,
    MNotLoaded = 30,
    MAskUnload1 = 31,
    MAskUnload2 = 32,
    MUnloading = 33,
    MNoPlugins = 34,
    MArchiverFailed = 35,
    MNoExtractCommand = 36,
    MFreeFailed = 37,
    MFreeFault = 38,
    MCreateFolderFailed = 39,
    MNothingToInstall = 40,
    MClearCacheFailed = 41,
    MUnused42 = 42,
    MSaveSettingsFailed = 43,
    MNoConfigure = 44,
    MLoadFailed = 45,
    MConfigureFailed = 46,
    MCannotUnloadSelf = 47,
    MCommandTooLong = 48,
    MHostRecordNotFound = 49,
    MUnloadPanelOpen = 50,
};

extern const char* const PLUGIN_TITLE;   // "Vantorel": menus, box and dialog titles

// Text of message id from the plugin's language file (none when the host has none).
const char* msgText(int id);
// One-line warning box titled with the plugin's name; returns the host's answer.
int showText(const char* text);
int showMsg(int id);
