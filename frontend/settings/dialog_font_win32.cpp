// Font creation for the settings dialog: the wanted face when installed, else a sensible
// stand-in, so that the dialog opens on any system (Wine often lacks the Japanese faces).
#include "frontend/settings/dialog_font_win32.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

namespace varenko {

namespace {

struct FaceSearch {
  bool found = false;
  wchar_t face[LF_FACESIZE] = {};
};

int CALLBACK NoteFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM data) {
  auto* search = reinterpret_cast<FaceSearch*>(data);
  // Faces starting with '@' are the vertical-writing twins of Japanese faces.
  if (font->lfFaceName[0] == L'@') return 1;
  search->found = true;
  std::wcsncpy(search->face, font->lfFaceName, LF_FACESIZE - 1);
  return 0;
}

// Whether a face is installed; with an empty face, the first face of the character set.
bool FindFace(HDC dc, const wchar_t* face, BYTE charset, FaceSearch& search) {
  LOGFONTW wanted{};
  wanted.lfCharSet = charset;
  std::wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
  search = FaceSearch{};
  EnumFontFamiliesExW(dc, &wanted, NoteFace, reinterpret_cast<LPARAM>(&search), 0);
  return search.found;
}

}  // namespace

HFONT CreateUiFont(const wchar_t* face, double points, int dpiY, bool japanese) {
  LOGFONTW font{};
  // Height 0 would ask for the default size, not the smallest.
  font.lfHeight = -std::max(1L, static_cast<long>(std::lround(points * dpiY / 72.0)));
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = japanese ? SHIFTJIS_CHARSET : DEFAULT_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;

  HDC dc = GetDC(nullptr);
  FaceSearch search;
  const wchar_t* chosen = nullptr;
  if (dc && FindFace(dc, face, DEFAULT_CHARSET, search)) chosen = face;
  if (!chosen && dc && japanese) {
    static const wchar_t* const standIns[] = {L"MS PGothic", L"MS UI Gothic", L"Meiryo UI",
                                              L"Meiryo",     L"Yu Gothic UI", L"MS Gothic"};
    for (const wchar_t* standIn : standIns) {
      if (FindFace(dc, standIn, DEFAULT_CHARSET, search)) {
        chosen = standIn;
        break;
      }
    }
    if (!chosen && FindFace(dc, L"", SHIFTJIS_CHARSET, search)) chosen = search.face;
  }
  if (dc) ReleaseDC(nullptr, dc);

  if (chosen) {
    std::wcsncpy(font.lfFaceName, chosen, LF_FACESIZE - 1);
  } else {
    // No Japanese face: the default GUI face, and any character set, so that GDI does not pick
    // some unrelated face only because it claims the Japanese set.
    LOGFONTW gui{};
    if (GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui) == sizeof gui)
      std::wcsncpy(font.lfFaceName, gui.lfFaceName, LF_FACESIZE - 1);
    font.lfCharSet = DEFAULT_CHARSET;
  }
  return CreateFontIndirectW(&font);
}

HFONT CreateMessageFont(int screenDpiY, int dpiY, double scale, std::wstring& face,
                        double& points) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  LOGFONTW font{};
  face = L"Tahoma";
  points = 8.25;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) &&
      metrics.lfMessageFont.lfFaceName[0] != L'\0' && screenDpiY > 0) {
    font = metrics.lfMessageFont;
    font.lfFaceName[LF_FACESIZE - 1] = L'\0';
    face = font.lfFaceName;
    const LONG height = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
    // A metric no one would read is not taken.
    if (height > 0) points = std::clamp(height * 72.0 / screenDpiY, 6.0, 24.0);
  } else {
    std::wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfWeight = FW_NORMAL;
  }
  font.lfHeight = -std::max(1L, static_cast<long>(std::lround(points * scale * dpiY / 72.0)));
  font.lfWidth = 0;
  return CreateFontIndirectW(&font);
}

}  // namespace varenko
