// The music player's platform calls: MCI command strings, their error texts, the wave device
// count and the system's sound player, all through the wide-character functions.
#include <windows.h>
// mmsystem.h needs the types of windows.h.
#include <mmsystem.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "frontend/app/wide.h"
#include "frontend/music/player.h"

namespace varenko {

namespace {

// Copies UTF-8 text into a byte buffer of the given size, NUL-terminated.
void Store(const std::string& text, char* buffer, std::uint32_t size) {
  const std::size_t n = std::min<std::size_t>(text.size(), size - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

std::uint32_t SendString(const std::string& command, char* buffer, std::uint32_t size) {
  const std::wstring wide = Widen(command);
  if (buffer == nullptr || size == 0) return mciSendStringW(wide.c_str(), nullptr, 0, nullptr);
  // The wide buffer starts with the old reply, so a device that writes nothing leaves it.
  std::wstring reply(size, L'\0');
  const std::wstring old = Widen(std::string(buffer, strnlen(buffer, size)));
  std::copy_n(old.begin(), std::min<std::size_t>(old.size(), size - 1), reply.begin());
  const MCIERROR code = mciSendStringW(wide.c_str(), reply.data(), size, nullptr);
  reply[size - 1] = L'\0';
  Store(Narrow(reply.c_str()), buffer, size);
  return code;
}

bool ErrorText(std::uint32_t code, char* buffer, std::uint32_t size) {
  std::wstring text(size, L'\0');
  if (!mciGetErrorStringW(code, text.data(), size)) return false;
  text[size - 1] = L'\0';
  Store(Narrow(text.c_str()), buffer, size);
  return true;
}

int WaveOutDevices() { return static_cast<int>(std::min<UINT>(waveOutGetNumDevs(), INT_MAX)); }

void PlaySoundFile(const std::string* sound, std::uint32_t flags) {
  if (sound == nullptr) {
    PlaySoundW(nullptr, nullptr, flags);
    return;
  }
  const std::wstring path = Widen(*sound);
  PlaySoundW(path.c_str(), nullptr, flags);
}

}  // namespace

void UseSystemMusic() {
  MusicPlatform.send = SendString;
  MusicPlatform.errorText = ErrorText;
  MusicPlatform.waveOutDevices = WaveOutDevices;
  MusicPlatform.playSound = PlaySoundFile;
}

}  // namespace varenko
