// The music player's CD watcher over a device that answers anything: each command takes an error
// code and a reply of any length from the input, written as the platform contract allows.
#include <cstring>
#include <string>

#include "frontend/music/player.h"
#include "frontend/settings/store.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace varenko;
  FuzzInput in{data, size};
  ResetMusicState();
  StoredSettings = {};
  StoredSettings.BgmTrack = static_cast<std::int16_t>(in.Byte() % 4 == 0 ? in.Word() : in.Byte());
  MusicPlatform.send = [&in](const std::string& command, char* buffer, std::uint32_t room) {
    Check(!command.empty(), "an empty command reached the device");
    const std::uint8_t code = in.Byte();
    const std::string reply = in.Text();
    if (buffer != nullptr && room > 0 && (code & 0x80) == 0) {
      const std::size_t n = std::min<std::size_t>(reply.size(), room - 1);
      std::memcpy(buffer, reply.data(), n);
      buffer[n] = '\0';
    }
    return static_cast<std::uint32_t>(code & 0x7F) < 100 ? 0u : code & 0x7Fu;
  };
  MusicPlatform.errorText = [&in](std::uint32_t, char* buffer, std::uint32_t room) {
    const std::string text = in.Text();
    if (room == 0 || (text.size() & 1) != 0) return false;
    const std::size_t n = std::min<std::size_t>(text.size(), room - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return true;
  };
  StartCd();
  for (int tick = 0; tick < 32 && !in.Empty() && CdTick(); ++tick) {
  }
  StopCd();
  MusicPlatform = {};
  return 0;
}
