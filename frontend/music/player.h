// The background music: audio CD and MP3 through Media Control Interface command strings, WAV
// through the system's sound player. The command sequencing is here; the platform calls are
// reached through MciPlatform so that tests can script the device's replies.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace varenko {

// The platform calls the player makes. Texts are UTF-8; the Windows layer converts.
struct MciPlatform {
  // Sends a command string. With a buffer, the reply is written into it as NUL-terminated text
  // of at most size - 1 bytes; the buffer is left as it was when the device writes nothing.
  // Without one (nullptr, 0) the reply is discarded. Answers the device's error code, 0 = done.
  std::function<std::uint32_t(const std::string& command, char* buffer, std::uint32_t size)> send;
  // Writes the text of an error code into the buffer; false when there is none.
  std::function<bool(std::uint32_t code, char* buffer, std::uint32_t size)> errorText;
  // The number of wave output devices.
  std::function<int()> waveOutDevices;
  // Starts a sound file with the given flags, or stops every sound when sound is null.
  std::function<void(const std::string* sound, std::uint32_t flags)> playSound;
};

// The platform the player uses; the Windows run installs the system's (UseSystemMusic).
extern MciPlatform MusicPlatform;
void UseSystemMusic();

// Reply of the last QueryMci or PlayMci.
extern std::string LastReply;

// Back to the state of a fresh process: buffers cleared, LastReply empty.
void ResetMusicState();

// Sends a command; the reply (or the error's text) goes to reply. 0 = success, -1 = an empty
// command, which never reaches the platform.
std::int32_t SendMci(std::string_view command, std::string& reply);
// The reply to a command, or "Error:" followed by the error code.
std::string QueryMci(std::string_view command);
// True when a QueryMci answer is an error: it contains "ERR" in any case.
bool MciFailed(std::string_view reply);
// "play <device>" [" from <start>"]; answers the error code.
std::int32_t PlayMci(std::string_view device, std::string_view start);

void StartCd();
// One step of the CD watcher: keeps the chosen track repeating, or the disc playing. Answers
// whether the watcher should go on (false once the device fails).
bool CdTick();
void StopCd();

void StartMp3();
bool Mp3IsPlaying();
// Starts the MP3 again from its beginning once it has stopped.
void Mp3Tick();
void StopMp3();

void StartWav();
void StopWav();

}  // namespace varenko
