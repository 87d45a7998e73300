// Prints what the system reads from a program's resources, one "name=value" per line in UTF-8:
// string 1 (the name the Screen Saver settings list a saver by) and the version resource's
// numbers and texts, as Explorer's properties show them.
#include <windows.h>

#include <cstdio>
#include <vector>

static void Print(const char* name, const wchar_t* text) {
  char utf8[1024] = {};
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8 - 1, nullptr, nullptr);
  std::printf("%s=%s\n", name, utf8);
}

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const HMODULE module =
      LoadLibraryExA(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  wchar_t name[256] = {};
  if (module && LoadStringW(module, 1, name, 256) > 0) Print("string1", name);

  DWORD ignored = 0;
  std::vector<unsigned char> info(GetFileVersionInfoSizeA(argv[1], &ignored));
  if (info.empty() || !GetFileVersionInfoA(argv[1], 0, info.size(), info.data())) return 1;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  if (VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &size) && fixed)
    std::printf("fixed=%d.%d.%d.%d %d.%d.%d.%d\n", HIWORD(fixed->dwFileVersionMS),
                LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                LOWORD(fixed->dwFileVersionLS), HIWORD(fixed->dwProductVersionMS),
                LOWORD(fixed->dwProductVersionMS), HIWORD(fixed->dwProductVersionLS),
                LOWORD(fixed->dwProductVersionLS));
  // The texts of the first language and code page that the resource lists.
  WORD* translation = nullptr;
  if (!VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(&translation), &size) ||
      size < 4)
    return 1;
  for (const char* key : {"CompanyName", "FileDescription", "FileVersion", "LegalCopyright",
                          "OriginalFilename", "ProductName", "ProductVersion"}) {
    wchar_t path[128];
    swprintf(path, 128, L"\\StringFileInfo\\%04x%04x\\%hs", translation[0], translation[1], key);
    wchar_t* value = nullptr;
    if (VerQueryValueW(info.data(), path, reinterpret_cast<void**>(&value), &size) && value)
      Print(key, value);
  }
  return 0;
}
