// The one version order over random versions: a total order, and the list's
// version sort and the install question's "older" read it alike.
#include "describe/versionText.h"
#include "install/installQuestion.h"
#include "state/panelState.h"
#include "ui/panelLook.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// Versions as plugins write them: numbers (some with leading zeros), the
// usual suffixes, "build", and the separators seen in version resources.
std::string randomVersion(std::mt19937& random) {
    static const char* const words[] = {"a", "b", "beta", "alpha", "RC", "rc", "build", "Beta"};
    static const char* const separators[] = {".", ".", ".", " ", "-", ", ", ""};
    std::string v = std::to_string(random() % 4);
    int pieces = static_cast<int>(random() % 5);
    for (int k = 0; k < pieces; ++k) {
        v += separators[random() % 7];
        switch (random() % 4) {
        case 0: v += words[random() % 8]; break;
        case 1: v += "0"; break;
        default: v += std::to_string(random() % 12); break;
        }
    }
    return v.substr(0, VERSION_CHARS);
}

// A one-item list panel whose version sort can be asked.
struct ListPanel {
    HANDLE handle = reinterpret_cast<HANDLE>(0x5e71);
    ListPanel() { createPanelState(handle); }
    ~ListPanel() { destroyPanelState(handle); }
    int sortOrder(const std::string& a, const std::string& b) {
        PluginPanelItem x = {}, y = {};
        x.Owner = const_cast<char*>(a.c_str());
        y.Owner = const_cast<char*>(b.c_str());
        strcpy(x.FindData.cFileName, "C:\\Far\\Plugins\\Same");
        strcpy(y.FindData.cFileName, "C:\\Far\\Plugins\\Same");
        return comparePanelItems(handle, &x, &y, SM_OWNER);
    }
};

} // namespace

TEST(VersionOrder, IsATotalOrderOverRandomTriples) {
    std::mt19937 random(37);
    for (int n = 0; n < 20000; ++n) {
        std::string a = randomVersion(random), b = randomVersion(random), c = randomVersion(random);
        // Near misses make the interesting triples: c is often b with one more piece.
        if (n % 3 == 0) c = (b + (n % 2 ? ".1" : "rc")).substr(0, VERSION_CHARS);
        SCOPED_TRACE("\"" + a + "\" \"" + b + "\" \"" + c + "\"");
        int ab = compareVersions(a.c_str(), b.c_str());
        int bc = compareVersions(b.c_str(), c.c_str());
        int ac = compareVersions(a.c_str(), c.c_str());
        ASSERT_EQ(0, compareVersions(a.c_str(), a.c_str()));
        ASSERT_EQ(-ab, compareVersions(b.c_str(), a.c_str()));   // antisymmetric
        ASSERT_TRUE(ab >= -1 && ab <= 1);
        // Transitive, and versions that compare equal compare alike with any other.
        if (ab <= 0 && bc <= 0) {
            ASSERT_LE(ac, 0);
        }
        if ((ab < 0 && bc <= 0) || (ab <= 0 && bc < 0)) {
            ASSERT_LT(ac, 0);
        }
        if (ab == 0) {
            ASSERT_EQ(ac, bc);
        }
    }
}

TEST(VersionOrder, ListSortAndInstallQuestionAgree) {
    std::mt19937 random(1708);
    ListPanel panel;
    for (int n = 0; n < 5000; ++n) {
        std::string incoming = randomVersion(random), installed = randomVersion(random);
        SCOPED_TRACE("\"" + incoming + "\" over \"" + installed + "\"");
        int listed = panel.sortOrder(incoming, installed);
        // The older build stands first in the list; equal versions are neither.
        EXPECT_EQ(isOlderBuild(incoming.c_str(), installed.c_str()),
                  listed < 0 && compareVersions(incoming.c_str(), installed.c_str()) != 0);
        if (compareVersions(incoming.c_str(), installed.c_str()) != 0) {
            EXPECT_EQ(isOlderBuild(incoming.c_str(), installed.c_str()), !isOlderBuild(installed.c_str(), incoming.c_str()));
        }
    }
}

TEST(VersionOrder, ListSortPutsTheIssuesVersionsInOneOrder) {
    // Each row in its order: a suffix before the plain number before a longer one.
    const std::vector<std::vector<std::string>> rows = {
        {"1.2beta", "1.2", "1.2.1"},
        {"3.0 RC1", "3.0 RC2", "3.0", "3.0.1"},
        {"2.0a", "2.0", "2.0.1"},
        {"1.70 alpha", "1.70 beta", "1.70", "1.70 build 126", "1.75"},
    };
    ListPanel panel;
    for (const auto& row : rows) {
        for (size_t i = 0; i < row.size(); ++i)
            for (size_t j = 0; j < row.size(); ++j) {
                int expected = i < j ? -1 : (i > j ? 1 : 0);
                EXPECT_EQ(expected, compareVersions(row[i].c_str(), row[j].c_str())) << row[i] << " vs " << row[j];
                if (i != j) {
                    EXPECT_EQ(expected, panel.sortOrder(row[i], row[j])) << row[i] << " vs " << row[j];
                }
                EXPECT_EQ(i < j, isOlderBuild(row[i].c_str(), row[j].c_str())) << row[i] << " over " << row[j];
            }
    }
}
