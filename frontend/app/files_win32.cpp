// The front end's file test and its own folder.
#include <windows.h>

#include "frontend/app/entry.h"
#include "frontend/app/wide.h"

namespace varenko {

bool FileExists(const std::string& path) {
  const std::string_view trimmed = WithoutTrailingBackslash(path);
  if (trimmed.empty()) return false;
  const std::wstring wide = Widen(trimmed);
  if (wide.empty()) return false;
  // Without FILE_FLAG_BACKUP_SEMANTICS a folder cannot be opened, so it reads as missing.
  const HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

std::wstring ProgramFolder() {
  // Paths can exceed MAX_PATH; grow up to the longest path Windows has.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD got = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (got == 0) return {};
    if (got < path.size()) {
      path.resize(got);
      break;
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring RendererPath() { return ProgramFolder() + L"\\Varenko.dll"; }

std::wstring CurrentCommandLine() {
  const wchar_t* full = GetCommandLineW();
  return full ? std::wstring(CommandTail(full)) : std::wstring();
}

}  // namespace varenko
