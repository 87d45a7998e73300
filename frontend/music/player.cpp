// The music player's command sequences: which MCI strings go out, in which order, and what their
// replies decide. Every failure is silent; a run without music is still a complete run.
#include "frontend/music/player.h"

#include <array>
#include <cstring>

#include "frontend/settings/store.h"

namespace varenko {

MciPlatform MusicPlatform;
std::string LastReply;

namespace {

constexpr char EmptyCommandReply[] = "コマンド文字列が指定されていません";
constexpr char NoErrorTextReply[] = "Error (文字列が取れません)";

// The device buffers live as long as the process; the CD mode buffer in particular keeps its
// last reply when a later status request writes nothing.
struct MusicBuffers {
  std::array<char, 512> reply;
  std::array<char, 256> errorText;
  std::array<char, 256> cdMode;
  std::array<char, 30> mp3Mode;
};
MusicBuffers buffers{};

template <std::size_t N>
std::string TextOf(const std::array<char, N>& buffer) {
  return std::string(buffer.data(), strnlen(buffer.data(), N));
}

// A mode reply is judged on its first seven characters.
template <std::size_t N>
bool ModeIs(const std::array<char, N>& buffer, std::string_view mode) {
  return TextOf(buffer).substr(0, 7) == mode;
}

// A command whose reply nobody reads; its result is ignored.
std::uint32_t Send(const std::string& command) { return MusicPlatform.send(command, nullptr, 0); }

}  // namespace

void ResetMusicState() {
  buffers = MusicBuffers{};
  LastReply.clear();
}

std::int32_t SendMci(std::string_view command, std::string& reply) {
  if (command.empty()) {
    reply = EmptyCommandReply;
    return -1;
  }
  const std::uint32_t code =
      MusicPlatform.send(std::string(command), buffers.reply.data(), buffers.reply.size());
  if (code != 0) {
    if (MusicPlatform.errorText(code, buffers.errorText.data(), buffers.errorText.size())) {
      reply = TextOf(buffers.errorText);
    } else {
      reply = NoErrorTextReply;
    }
    return static_cast<std::int32_t>(code);
  }
  reply = TextOf(buffers.reply);
  return 0;
}

std::string QueryMci(std::string_view command) {
  const std::int32_t code = SendMci(command, LastReply);
  if (code != 0) return "Error:" + std::to_string(code);
  return LastReply;
}

bool MciFailed(std::string_view reply) {
  for (std::size_t i = 0; i + 3 <= reply.size(); ++i) {
    const auto up = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
    if (up(reply[i]) == 'E' && up(reply[i + 1]) == 'R' && up(reply[i + 2]) == 'R') return true;
  }
  return false;
}

std::int32_t PlayMci(std::string_view device, std::string_view start) {
  std::string command = "play " + std::string(device);
  if (!start.empty()) command += " from " + std::string(start);
  return SendMci(command, LastReply);
}

void StartCd() {
  Send("open cdaudio");
  Send("set cdaudio time format tmsf");
}

bool CdTick() {
  const std::string current = QueryMci("status cdaudio current track");
  if (MciFailed(current)) return false;
  // The track count only tells whether there is a disc to ask about.
  if (MciFailed(QueryMci("status cdaudio number of tracks"))) return false;

  // One byte of the buffer is held back from the device, as the buffer has always been used.
  MusicPlatform.send("status cdaudio mode", buffers.cdMode.data(), buffers.cdMode.size() - 1);
  const bool stopped = ModeIs(buffers.cdMode, "stopped");

  const std::int16_t track = StoredSettings.BgmTrack;
  if (track == 0) {
    if (stopped) PlayMci("cdaudio", "");
    return true;
  }
  // A current-track reply that is no number is a device we cannot follow: give up.
  const auto playing = ParseDecimalNumber(current);
  if (!playing) return false;
  if (stopped || *playing != track) {
    const std::string position = QueryMci("status cdaudio position track " + std::to_string(track));
    // A failed query leaves an error marker as the position, so the play fails as well and the
    // disc stays silent; the watcher goes on.
    PlayMci("cdaudio", position);
  }
  return true;
}

void StopCd() {
  Send("stop cdaudio");
  Send("close cdaudio");
}

void StartMp3() {
  const std::string open = "open \"" + StoredSettings.BgmFile + "\" type MPEGVideo Alias MP3Play";
  if (Send(open) == 0) Send("play MP3Play");
}

bool Mp3IsPlaying() {
  MusicPlatform.send("status MP3Play mode", buffers.mp3Mode.data(), buffers.mp3Mode.size());
  return ModeIs(buffers.mp3Mode, "playing");
}

void Mp3Tick() {
  if (Mp3IsPlaying()) return;
  Send("stop MP3Play");
  Send("play MP3Play from 0");
}

void StopMp3() {
  Send("stop MP3Play");
  Send("close MP3Play");
}

void StartWav() {
  if (MusicPlatform.waveOutDevices() <= 0) return;
  constexpr std::uint32_t AsyncLoop = 1 | 8;  // SND_ASYNC | SND_LOOP
  MusicPlatform.playSound(&StoredSettings.BgmFile, AsyncLoop);
}

void StopWav() { MusicPlatform.playSound(nullptr, 0); }

}  // namespace varenko
