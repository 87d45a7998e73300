// The user's interface language on Windows.
#include <windows.h>

#include "frontend/settings/texts.h"

namespace varenko {

Language SystemLanguage() { return LanguageForLangId(GetUserDefaultUILanguage()); }

}  // namespace varenko
