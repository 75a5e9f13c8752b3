#include "describe/descriptionLanguage.h"

DWORD languageTag(const char* languageName) {
    if (!languageName || !*languageName) return 0;
    DWORD h = 2166136261u;
    for (const char* p = languageName; *p; ++p) {
        char c = (*p >= 'a' && *p <= 'z') ? static_cast<char>(*p - 32) : *p;
        h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return h ? h : 1;
}
