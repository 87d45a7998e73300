// The settings store in the registry: string values under HKEY_CURRENT_USER, read and written
// with the wide-character functions so that paths keep every character.
#include <windows.h>

#include "common/settings_keys.h"
#include "frontend/app/entry.h"
#include "frontend/app/wide.h"
#include "frontend/settings/store.h"

namespace varenko {

namespace {

// No setting is longer than a path; a bigger value is not ours to load.
constexpr DWORD MaxValueBytes = 32768 * sizeof(wchar_t);

SettingRead ReadRegistryText(std::string_view name) {
  HKEY key = nullptr;
  const std::wstring path = Widen(SettingsKeyPath);
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return std::string();  // no key: every value reads as empty
  }
  const std::wstring valueName = Widen(name);
  SettingRead result;
  DWORD type = 0;
  DWORD size = 0;
  const LONG probe = RegQueryValueExW(key, valueName.c_str(), nullptr, &type, nullptr, &size);
  if (probe == ERROR_FILE_NOT_FOUND) {
    result = std::string();
  } else if (probe == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ) &&
             size <= MaxValueBytes) {
    // One spare character so that data stored without its NUL still ends in one.
    std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = size;
    if (RegQueryValueExW(key, valueName.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer.data()), &got) == ERROR_SUCCESS &&
        got <= size) {
      buffer.resize(got / sizeof(wchar_t));
      const std::size_t nul = buffer.find(L'\0');
      if (nul != std::wstring::npos) buffer.resize(nul);
      result = Narrow(buffer);
    }
  }
  RegCloseKey(key);
  return result;
}

}  // namespace

bool SaveSettingText(std::string_view name, std::string_view text) {
  HKEY key = nullptr;
  const std::wstring path = Widen(SettingsKeyPath);
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const std::wstring valueName = Widen(name);
  const std::wstring data = Widen(text);
  const DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
  const bool ok =
      data.size() < MaxValueBytes &&
      RegSetValueExW(key, valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                     bytes) == ERROR_SUCCESS;
  RegCloseKey(key);
  return ok;
}

void LoadSettings() {
  SettingsAccess access;
  access.read = ReadRegistryText;
  access.write = SaveSettingText;
  access.fileExists = [](const std::string& path) { return FileExists(path); };
  LoadSettingsFrom(access, StoredSettings);
}

}  // namespace varenko
