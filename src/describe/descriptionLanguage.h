// A description taken from a plugin's menu strings is in the language FAR had
// when the plugin was asked; one from file_id.diz or a help file is not
// tied to it. The cached record keeps a tag of that language in its item's
// first reserved word (the host never reads it; the record layout stays), so
// that after FAR's language changes only those plugins are asked again.
#pragma once
#include "state/catalogueRecord.h"

// A non-zero tag for a language name (case ignored); 0 for none.
DWORD languageTag(const char* languageName);

// The tag a record carries: 0 when its description does not depend on FAR's
// language.
inline DWORD descriptionLanguageOf(const CatalogueRecord& r) {
    return r.item.Reserved[0];
}

// True when a cached record's description is still in the language tagged
// current (or in none).
inline bool describedInLanguage(const CatalogueRecord& r, DWORD current) {
    DWORD tag = descriptionLanguageOf(r);
    return tag == 0 || tag == current;
}
