// Keys on a panel, as the host passes them: offered to the plugin (first
// with PKF_PREPROCESS added, then plainly), the host's own handling of what
// the plugin leaves, the events it sends around them.
#include "panels/panel.h"

#include "core/host.h"

#include "common/keyNames.h"

namespace farhost {

int Panel::processKey(int code, unsigned controlState, bool* called) {
    if (called) *called = false;
    auto fn = reinterpret_cast<PFN_ProcessKey>(plugin_->proc(Export::ProcessKey));
    if (closed_ || !fn) return 0;
    int result = 0;
    {
        ActivePanelScope scope(host_, this);
        if (!plugin_->call("ProcessKey", [&] { result = fn(handle_, code, controlState); })) return 0;
    }
    if (called) *called = true;
    int plain = code & ~PKF_PREPROCESS;
    std::string name = plain == kIdleKey ? std::string("0x1001") : keyName(plain, controlState);
    host_->transcribe("> ProcessKey(" + std::string(code & PKF_PREPROCESS ? "PKF_PREPROCESS|" : "") + name + ") = " +
                      std::to_string(result));
    return result;
}

void Panel::offerIdleKey() {
    if (closed_ || processKey(kIdleKey | PKF_PREPROCESS, 0)) return;
    processKey(kIdleKey, 0);
}

int Panel::event(int id) {
    auto fn = reinterpret_cast<PFN_ProcessEvent>(plugin_->proc(Export::ProcessEvent));
    if (closed_ || !fn) return 0;
    int result = 0;
    {
        ActivePanelScope scope(host_, this);
        if (!plugin_->call("ProcessEvent", [&] { result = fn(handle_, id, nullptr); })) return 0;
    }
    static const char* const kNames[] = {"FE_CHANGEVIEWMODE", "FE_REDRAW", "FE_IDLE", "FE_CLOSE", "FE_BREAK",
                                         "FE_COMMAND"};
    std::string name = id >= 0 && id <= FE_COMMAND ? kNames[id] : std::to_string(id);
    host_->transcribe("> ProcessEvent(" + name + ") = " + std::to_string(result));
    return result;
}

void Panel::redraw() {
    if (closed_) return;
    event(FE_REDRAW);
    refreshInfo();
    refreshInfo();
    drawn();
}

int Panel::key(int vk, unsigned controlState) {
    if (closed_) return 0;
    // FAR 1.70 turns the keypad's Del into the Delete key.
    if (vk == kNumDelKey175 && !host_->options().far175) vk = VK_DELETE;
    // While the host waited for this key, open panels had their idle time.
    host_->idle();
    // The console's events that are no key press of their own (a modifier
    // going down or up, a key going up) reach the plugin as the idle key.
    int modifiers = !!(controlState & PKF_CONTROL) + !!(controlState & PKF_ALT) + !!(controlState & PKF_SHIFT);
    for (int i = 0; i < modifiers; ++i) offerIdleKey();
    // First offered with PKF_PREPROCESS added: a plugin that takes it there
    // takes it from the host as well.
    int result = processKey(vk | PKF_PREPROCESS, controlState);
    bool called = false;
    // Tab (to the other half) the host keeps: it is only offered preprocessed.
    bool hostsOwn = vk == VK_TAB && controlState == 0;
    if (!result && !hostsOwn) result = processKey(vk, controlState, &called);
    if (called || result) host_->checkScreens("after key " + keyName(vk, controlState));
    if (!result) result = hostKey(vk, controlState);
    // F10 the host keeps: it asks whether to quit, and offers nothing more.
    if (vk == VK_F10 && controlState == 0 && !result) return result;
    for (int i = 0; i <= modifiers; ++i) offerIdleKey();
    return result;
}

int Panel::hostKey(int vk, unsigned controlState) {
    if (closed_) return 0;
    if (controlState == PKF_CONTROL) {
        // The host's sort keys, Ctrl+F3 .. Ctrl+F11.
        static const int kSortByKey[] = {SM_NAME, SM_EXT, SM_MTIME, SM_SIZE, SM_UNSORTED,
                                         SM_CTIME, SM_ATIME, SM_DESCR, SM_OWNER};
        // Each is drawn again afterwards.
        if (vk >= VK_F3 && vk <= VK_F11) {
            setSortMode(kSortByKey[vk - VK_F3]);
            redraw();
            return 1;
        }
        if (vk >= '0' && vk <= '9') {
            viewMode_ = vk - '0';
            redraw();
            return 1;
        }
        if (vk == 'R') {
            if (!read()) return 0;
            redraw();
            return 1;
        }
        // The host's own columns (a plugin without view modes) show
        // descriptions or not.
        if (vk == 'Z') {
            descriptionsShown_ = !descriptionsShown_;
            redraw();
            return 1;
        }
        return 0;
    }
    if (controlState != 0) return 0;
    int n = static_cast<int>(items_.size());
    switch (vk) {
    case VK_UP: setCurrent(current_ - 1); redraw(); return 1;
    case VK_DOWN: setCurrent(current_ + 1); redraw(); return 1;
    case VK_HOME: setCurrent(0); redraw(); return 1;
    case VK_END: setCurrent(n - 1); redraw(); return 1;
    case VK_PRIOR: setCurrent(current_ - 20); redraw(); return 1;
    case VK_NEXT: setCurrent(current_ + 20); redraw(); return 1;
    case VK_RETURN: enter(); return 1;
    case VK_INSERT:
        if (n && !items_[current_].isDots) items_[current_].raw.Flags ^= PPIF_SELECTED;
        setCurrent(current_ + 1);
        redraw();
        return 1;
    default: return 0;
    }
}

}  // namespace farhost
