// The one recursive folder walker, and the visit functions and stack that
// plugin discovery builds on.
#pragma once
#include <windows.h>

// Receives one entry, the folder holding it (ending in a backslash) and the
// walker's context. The entry is valid only during the call.
typedef int (*VisitFunction)(const WIN32_FIND_DATAA* entry, const char* folder, void* context);

// Visits every entry of folder ("." and ".." skipped), descending depth first
// into subfolders when recurse is set; returns the number of entries found
// directly in the folder. Paths that would not fit 259 characters are not
// entered, and a folder that is its own ancestor (a linked folder looping
// back) is visited but not entered again.
int walkFolder(const char* folder, VisitFunction visit, void* context, int recurse);

// Adds the low 32 bits of each file's size to the DWORD total (wrapping).
int sumFileSizes(const WIN32_FIND_DATAA* entry, const char* folder, void* total);
// Whether a file of this name is listed as a plugin DLL: "*.dll", and a
// switched-off plugin's "*.dll.off" too.
bool isPluginDllName(const char* fileName);
// Pushes the full path of each such file onto the JStack context.
int collectDll(const WIN32_FIND_DATAA* entry, const char* folder, void* stack);

// Last-in, first-out list of owned heap texts.
class JStack {
public:
    JStack() : top(nullptr) {}
    ~JStack() { clear(); }
    JStack(const JStack&) = delete;
    JStack& operator=(const JStack&) = delete;
    void push(char* text);     // takes ownership; dropped when no node can be had
    char* pop();               // the caller owns the text; nullptr when empty
    int count() const;
    void clear();
private:
    struct Node {
        char* text;
        Node* next;
    };
    Node* top;
};

// Fills an empty stack with the DLL paths under the plugins root, then under
// the personal plugins folder; the last found lies on top.
void discoverPlugins(JStack* stack);
