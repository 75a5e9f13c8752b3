// A FAR folder of a test's own, in a fresh temporary folder, with the fixture
// plugins the test copies into its Plugins folder, and the emulated host over
// it. The emulator's tests use it as it is; the end-to-end harness adds
// Vantorel to it.
#pragma once
#include "farHost.h"
#include "testSupport.h"

#include <gtest/gtest.h>
#include <string.h>
#include <memory>
#include <string>
#include <vector>

// The tests speak the interface's names as the host declares them.
using namespace farhost::api;

class HostTree : public ::testing::Test {
protected:
    testing_support::TempDir dir{"far"};
    std::unique_ptr<farhost::Host> host;

    std::string farDir() const { return dir / "Far\\"; }
    std::string pluginsDir() const { return farDir() + "Plugins\\"; }

    // Whether a DLL of this file name (or this full path) is loaded in the process now.
    static bool moduleLoaded(const std::string& dllFileName) {
        return GetModuleHandleA(dllFileName.c_str()) != nullptr;
    }

    // The log a recording fixture keeps beside its DLL (path below the
    // plugins folder), lines without their ends.
    std::vector<std::string> readLog(const std::string& relDllPath) const {
        std::vector<std::string> lines = testing_support::readLines(pluginsDir() + relDllPath + ".log");
        for (std::string& line : lines)
            while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
        return lines;
    }

    // Places a fixture plugin's folder (as built) at pluginsDir()+rel.
    void addFixture(const std::string& name, const std::string& rel) {
        ASSERT_TRUE(testing_support::copyTree(testing_support::fixtureDir(name), pluginsDir() + rel))
            << "fixture " << name;
    }

    // Starts a host over the tree, loads the fixture (copied to
    // Plugins\<folder>\) as the host loads its plugins at start, builds the
    // disk menu and opens the fixture's panel from it, as a person would;
    // nullptr when it did not open.
    farhost::Panel* openFromDiskMenu(const std::string& fixture, const std::string& folder) {
        addFixture(fixture, folder + "\\");
        farhost::HostOptions options;
        options.hostDir = farDir();
        host.reset(new farhost::Host(options));
        farhost::Plugin* plugin = host->load(pluginsDir() + folder + "\\" + fixture + ".dll");
        EXPECT_NE(nullptr, plugin) << host->lastError();
        if (!plugin) return nullptr;
        host->diskMenu();
        return plugin->open(OPEN_DISKMENU, 0);
    }

    // A plugin DLL that is only a file: enough for discovery, never loadable.
    void addFakeDll(const std::string& relPath, const std::string& bytes = "not a dll") {
        ASSERT_TRUE(testing_support::writeFile(pluginsDir() + relPath, bytes));
    }
};
