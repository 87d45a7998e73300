// The saver run's choice of music player by the file's ending.
#include "frontend/app/run.h"

namespace varenko {

MusicFileKind MusicFileKindOf(std::string_view path) {
  if (path.size() < 3) return MusicFileKind::Other;
  std::string_view ending = path.substr(path.size() - 3);
  char up[3];
  for (int i = 0; i < 3; ++i) {
    const char c = ending[i];
    up[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  const std::string_view upper(up, 3);
  if (upper == "WAV") return MusicFileKind::Wav;
  if (upper == "MP3") return MusicFileKind::Mp3;
  return MusicFileKind::Other;
}

}  // namespace varenko
