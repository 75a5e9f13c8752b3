#include "services/messageBox.h"

#include "common/hostText.h"
#include "interface/farApi.h"

namespace farhost {

bool buttonsFromFlags(DWORD flags, std::vector<std::string>& buttons) {
    buttons.clear();
    switch (flags & FMSG_MB_MASK) {
    case 0: return true;
    case FMSG_MB_OK: buttons = {"OK"}; return true;
    case FMSG_MB_OKCANCEL: buttons = {"OK", "Cancel"}; return true;
    case FMSG_MB_ABORTRETRYIGNORE: buttons = {"Abort", "Retry", "Ignore"}; return true;
    case FMSG_MB_YESNO: buttons = {"Yes", "No"}; return true;
    case FMSG_MB_YESNOCANCEL: buttons = {"Yes", "No", "Cancel"}; return true;
    case FMSG_MB_RETRYCANCEL: buttons = {"Retry", "Cancel"}; return true;
    default: return false;
    }
}

static std::string itemText(const char* p, int index, std::vector<std::string>& problems) {
    if (!p) {
        problems.push_back("Message: item " + std::to_string(index) + " is a null text");
        return "(null)";
    }
    bool terminated = true;
    std::string text = boundedText(p, kMaxPluginText, &terminated);
    if (!terminated)
        problems.push_back("Message: item " + std::to_string(index) + " is not terminated within " +
                           std::to_string(kMaxPluginText) + " bytes");
    return text;
}

MessageBoxText readMessageBox(DWORD flags, const char* const* items, int itemsNumber, int buttonsNumber) {
    MessageBoxText box;
    std::vector<std::string> texts;
    if (flags & FMSG_ALLINONE) {
        const char* all = reinterpret_cast<const char*>(items);
        std::string text = itemText(all, 0, box.problems);
        if (all) texts = splitText(text, '\n');
        else texts.push_back(text);
    } else if (!items && itemsNumber > 0) {
        box.problems.push_back("Message: null item array with " + std::to_string(itemsNumber) + " items");
    } else {
        for (int i = 0; i < itemsNumber; ++i) texts.push_back(itemText(items[i], i, box.problems));
    }

    if (flags & FMSG_MB_MASK) {
        if (!buttonsFromFlags(flags, box.buttons))
            box.problems.push_back("Message: unknown FMSG_MB_ value " + std::to_string((flags & FMSG_MB_MASK) >> 16));
        box.lines = texts;
        box.textLines = texts.size();
        return box;
    }
    if (buttonsNumber < 0) {
        box.problems.push_back("Message: negative button count " + std::to_string(buttonsNumber));
        buttonsNumber = 0;
    }
    size_t nButtons = static_cast<size_t>(buttonsNumber);
    if (nButtons > texts.size()) {
        box.problems.push_back("Message: " + std::to_string(buttonsNumber) + " buttons but only " +
                               std::to_string(texts.size()) + " items");
        nButtons = texts.size();
    }
    box.lines = texts;
    box.textLines = texts.size() - nButtons;
    box.buttons.assign(texts.end() - nButtons, texts.end());
    return box;
}

}  // namespace farhost
