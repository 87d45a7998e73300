// The music player's CD watcher over a device that answers anything: each command takes an error
// code and a reply of any length from the input, written as the platform contract allows.
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
  // Writes a reply as the platform does: at most room - 1 bytes and a NUL.
  const auto write = [](const std::string& text, char* buffer, std::uint32_t room) {
    buffer[text.copy(buffer, room - 1)] = '\0';
  };
  MusicPlatform.send = [&](const std::string& command, char* buffer, std::uint32_t room) {
    Check(!command.empty(), "an empty command reached the device");
    const std::uint8_t code = in.Byte();
    const std::string reply = in.Text();
    if (buffer != nullptr && room > 0 && (code & 0x80) == 0) write(reply, buffer, room);
    return static_cast<std::uint32_t>(code & 0x7F) < 100 ? 0u : code & 0x7Fu;
  };
  MusicPlatform.errorText = [&](std::uint32_t, char* buffer, std::uint32_t room) {
    const std::string text = in.Text();  // one of odd length stands for no text
    return room > 0 && text.size() % 2 == 0 && (write(text, buffer, room), true);
  };
  StartCd();
  for (int tick = 0; tick < 32 && in.size > 0 && CdTick(); ++tick) continue;
  StopCd();
  MusicPlatform = {};
  return 0;
}
