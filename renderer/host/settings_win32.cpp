// Windows reading of the renderer settings from the registry key the front end writes.
#include <windows.h>

#include <string>

#include "common/settings_keys.h"
#include "common/settings_table.h"
#include "renderer/host/settings.h"

namespace varenko {

void ReadSettings() {
  HKEY key = nullptr;
  const std::string path = std::string(SettingsKeyPath) + "\\";  // opened with a trailing backslash
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;

  for (int i = 0; i < RendererSettingCount; ++i) {
    const char* name = SettingsTable[static_cast<std::size_t>(i)].key;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) continue;
    // The text buffer holds 256 bytes. A value that does not fit is ignored rather than truncated,
    // so a mangled long number never turns into a different setting.
    char text[MaxSettingTextLength + 2] = {};
    if (size > MaxSettingTextLength + 1) continue;
    DWORD got = size;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &got) !=
        ERROR_SUCCESS) {
      continue;
    }
    if (got > MaxSettingTextLength + 1) continue;
    text[got] = '\0';  // the stored data need not end in a NUL
    StoreSettingText(i, std::string_view(text));
  }
  RegCloseKey(key);
}

}  // namespace varenko
