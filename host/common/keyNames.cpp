#include "common/keyNames.h"

#include "common/hostText.h"
#include "interface/farApi.h"

#include <stdlib.h>

namespace farhost {

namespace {

struct NamedKey {
    const char* name;
    int vk;
};

const NamedKey kKeys[] = {
    {"Up", VK_UP},       {"Down", VK_DOWN},   {"Left", VK_LEFT},     {"Right", VK_RIGHT},
    {"Home", VK_HOME},   {"End", VK_END},     {"PgUp", VK_PRIOR},    {"PgDn", VK_NEXT},
    {"Enter", VK_RETURN}, {"Esc", VK_ESCAPE}, {"Tab", VK_TAB},       {"Ins", VK_INSERT},
    {"Del", VK_DELETE},  {"Space", VK_SPACE}, {"BS", VK_BACK},       {"Escape", VK_ESCAPE},
    {"Return", VK_RETURN}, {"PageUp", VK_PRIOR}, {"PageDown", VK_NEXT}, {"Insert", VK_INSERT},
    {"Delete", VK_DELETE},
    // The keypad's Del: FAR 1.75's code; a 1.70 host hands it on as VK_DELETE (Panel::key).
    {"NumDel", kNumDelKey175},
};

struct Modifier {
    const char* name;
    unsigned flag;
};

const Modifier kModifiers[] = {{"Ctrl", PKF_CONTROL}, {"Alt", PKF_ALT}, {"Shift", PKF_SHIFT}};

bool startsWith(const std::string& text, const char* prefix) {
    std::string p(prefix);
    return text.size() >= p.size() && equalNoCase(text.substr(0, p.size()), p);
}

bool baseKey(const std::string& base, int& vk) {
    for (const NamedKey& k : kKeys)
        if (equalNoCase(base, k.name)) {
            vk = k.vk;
            return true;
        }
    if ((base[0] == 'F' || base[0] == 'f') && base.size() >= 2 && base.size() <= 3) {
        for (size_t i = 1; i < base.size(); ++i)
            if (base[i] < '0' || base[i] > '9') return false;
        int n = atoi(base.c_str() + 1);
        if (n < 1 || n > 24) return false;
        vk = VK_F1 + n - 1;
        return true;
    }
    if (base.size() == 1) {
        char c = base[0];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            vk = c;
            return true;
        }
    }
    return false;
}

}  // namespace

bool parseKeyName(const std::string& name, int& vk, unsigned& state) {
    std::string rest = trimBlanks(name);
    state = 0;
    for (bool found = true; found && !rest.empty();) {
        found = false;
        for (const Modifier& m : kModifiers) {
            if (!startsWith(rest, m.name) || rest.size() == std::string(m.name).size()) continue;
            state |= m.flag;
            rest = rest.substr(std::string(m.name).size());
            if (!rest.empty() && (rest[0] == '+' || rest[0] == '-') && rest.size() > 1) rest = rest.substr(1);
            found = true;
            break;
        }
    }
    if (rest.empty()) return false;
    return baseKey(rest, vk);
}

std::string keyName(int vk, unsigned state) {
    std::string prefix;
    if (state & PKF_CONTROL) prefix += "Ctrl";
    if (state & PKF_ALT) prefix += "Alt";
    if (state & PKF_SHIFT) prefix += "Shift";
    for (const NamedKey& k : kKeys)
        if (k.vk == vk) return prefix + k.name;
    if (vk >= VK_F1 && vk <= VK_F24) return prefix + "F" + std::to_string(vk - VK_F1 + 1);
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return prefix + static_cast<char>(vk);
    return prefix + "VK" + std::to_string(vk);
}

}  // namespace farhost
