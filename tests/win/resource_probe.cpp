// Prints what the system reads from a program's resources, one "name=value" per line in UTF-8:
// string 1 (the name the Screen Saver settings list a saver by) and the version resource's
// numbers and texts, as Explorer's properties show them.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

void PrintUtf8(const char* name, const wchar_t* text) {
  char utf8[1024] = {};
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8 - 1, nullptr, nullptr);
  std::printf("%s=%s\n", name, utf8);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: resource_probe FILE\n");
    return 2;
  }
  const std::string file = argv[1];
  const HMODULE module = LoadLibraryExA(file.c_str(), nullptr,
                                        LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  wchar_t name[256] = {};
  const int length = module ? LoadStringW(module, 1, name, 256) : 0;
  std::printf("string1.found=%d\n", length > 0 ? 1 : 0);
  if (length > 0) PrintUtf8("string1", name);
  if (module) FreeLibrary(module);

  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &ignored);
  std::vector<unsigned char> info(size);
  if (size == 0 || !GetFileVersionInfoA(file.c_str(), 0, size, info.data())) {
    std::printf("version.found=0\n");
    return 0;
  }
  std::printf("version.found=1\n");
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedSize = 0;
  if (VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) && fixed) {
    std::printf("fixed.file=%d.%d.%d.%d\n", HIWORD(fixed->dwFileVersionMS),
                LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                LOWORD(fixed->dwFileVersionLS));
    std::printf("fixed.product=%d.%d.%d.%d\n", HIWORD(fixed->dwProductVersionMS),
                LOWORD(fixed->dwProductVersionMS), HIWORD(fixed->dwProductVersionLS),
                LOWORD(fixed->dwProductVersionLS));
  }
  // The texts of the first language and code page the resource lists.
  struct Translation {
    WORD language;
    WORD codePage;
  }* translation = nullptr;
  UINT translationSize = 0;
  if (!VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(&translation), &translationSize) ||
      translationSize < sizeof(Translation))
    return 0;
  for (const wchar_t* key : {L"ProductName", L"FileDescription", L"FileVersion", L"ProductVersion",
                             L"LegalCopyright", L"CompanyName", L"OriginalFilename"}) {
    wchar_t path[128];
    swprintf(path, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language,
             translation->codePage, key);
    wchar_t* value = nullptr;
    UINT valueSize = 0;
    char label[64];
    WideCharToMultiByte(CP_UTF8, 0, key, -1, label, sizeof label, nullptr, nullptr);
    if (VerQueryValueW(info.data(), path, reinterpret_cast<void**>(&value), &valueSize) && value)
      PrintUtf8(label, value);
  }
  return 0;
}
