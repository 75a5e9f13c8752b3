// The host's panels: the plugins' panels it opens (from the menus, the
// command line, a file, the other half) and keeps, the ones it asks while it
// waits for a key, and its quit, which asks every open panel first. These are
// the Host's and the Plugin's dealings with panels, kept beside the Panel.
#include "panels/panel.h"

#include "common/hostText.h"
#include "core/host.h"

namespace farhost {

// A plugin owns its panels and they go with it: made and destroyed here,
// where a Panel is whole.
Plugin::Plugin() = default;
Plugin::~Plugin() = default;

Panel* Plugin::open(int openFrom, int item, bool readNow) {
    Host* host = Host::current();
    if (!host) return nullptr;
    auto fn = reinterpret_cast<PFN_OpenPlugin>(enter(Export::OpenPlugin));
    if (!fn) return nullptr;
    // Panels closed earlier go now; a closed panel stays readable until then.
    for (size_t i = 0; i < panels_.size();)
        if (panels_[i]->closed_) panels_.erase(panels_.begin() + i);
        else ++i;
    HANDLE handle = INVALID_HANDLE_VALUE;
    {
        ActivePanelScope scope(host, nullptr);
        if (!call("OpenPlugin", [&] { handle = fn(openFrom, item); })) return nullptr;
    }
    host->transcribe("> OpenPlugin(" + std::to_string(openFrom) + ", " + std::to_string(item) + ") = " +
                     hexAddress(reinterpret_cast<ULONG_PTR>(handle)));
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    return adoptPanel(handle, readNow);
}

Panel* Plugin::openFile(const char* name, const unsigned char* data, int dataSize) {
    Host* host = Host::current();
    if (!host) return nullptr;
    auto fn = reinterpret_cast<PFN_OpenFilePlugin>(enter(Export::OpenFilePlugin));
    if (!fn) return nullptr;
    HANDLE handle = INVALID_HANDLE_VALUE;
    {
        ActivePanelScope scope(host, nullptr);
        if (!call("OpenFilePlugin", [&] { handle = fn(const_cast<char*>(name), data, dataSize); })) return nullptr;
    }
    host->transcribe("> OpenFilePlugin(\"" + std::string(name ? name : "(null)") + "\", " + std::to_string(dataSize) +
                     " bytes) = " + hexAddress(reinterpret_cast<ULONG_PTR>(handle)));
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    return adoptPanel(handle, true);
}

Panel* Plugin::adoptPanel(HANDLE handle, bool readNow) {
    Host* host = Host::current();
    for (size_t i = 0; i < panels_.size();)
        if (panels_[i]->closed_) panels_.erase(panels_.begin() + i);
        else ++i;
    panels_.push_back(std::unique_ptr<Panel>(new Panel(host, this, handle)));
    Panel* panel = panels_.back().get();
    if (!readNow) return panel;
    // What the panel is first, then its items, then it is drawn.
    panel->refreshInfo();
    if (!panel->read()) host->transcribe("> the first listing failed: the host would close this panel");
    panel->redraw();
    panel->offerIdleKey();
    return panel;
}

void Host::idle() {
    for (Panel* panel : openPanels()) panel->event(FE_IDLE);
}

Panel* Host::openOtherPanel(Plugin* plugin) {
    if (!plugin) return nullptr;
    diskMenu();
    Panel* panel = plugin->open(OPEN_DISKMENU, 0, false);
    if (!panel) return nullptr;
    panel->otherHalf_ = true;
    panel->refreshInfo();
    if (!panel->read()) transcribe("> the first listing failed: the host would close this panel");
    panel->redraw();
    return panel;
}

Panel* Host::otherHalf() const {
    for (Panel* panel : openPanels())
        if (panel->otherHalf_) return panel;
    return nullptr;
}

std::vector<Panel*> Host::openPanels() const {
    std::vector<Panel*> open;
    for (const auto& plugin : plugins_)
        for (const auto& panel : plugin->panels_)
            if (!panel->closed_) open.push_back(panel.get());
    return open;
}

Panel* Host::findPanel(HANDLE handle) {
    if (activePanel_ && !activePanel_->closed_ && (activePanel_->handle_ == handle || handle == INVALID_HANDLE_VALUE))
        return activePanel_;
    Panel* found = nullptr;
    for (auto& plugin : plugins_)
        for (auto& panel : plugin->panels_)
            if (!panel->closed_ && (panel->handle_ == handle || handle == INVALID_HANDLE_VALUE)) found = panel.get();
    return found;   // the latest opened when several match
}

Panel* Host::otherPanel(Panel* panel) {
    // A panel in the other half; else (two panels opened in one half, as
    // tests do) the latest other one.
    Panel* sameHalf = nullptr;
    Panel* otherHalf = nullptr;
    for (Panel* p : openPanels()) {
        if (p == panel) continue;
        if (panel && p->otherHalf_ != panel->otherHalf_) otherHalf = p;
        else sameHalf = p;
    }
    return otherHalf ? otherHalf : sameHalf;
}

void Host::closePanels(Plugin* only) {
    for (Panel* panel : openPanels())
        if (!only || panel->plugin() == only) panel->close();
}

bool Host::quit() {
    std::vector<Panel*> open = openPanels();
    // Closing the question redraws the panels.
    for (Panel* panel : open) panel->redraw();
    for (Panel* panel : open)
        if (int refused = panel->event(FE_CLOSE)) {
            transcribe("> ProcessEvent(FE_CLOSE) = " + std::to_string(refused) + ": the panel stays open, the host runs on");
            panel->offerIdleKey();
            return false;
        }
    end();
    return true;
}

}  // namespace farhost
