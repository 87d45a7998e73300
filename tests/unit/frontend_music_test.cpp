// The music player's command sequences against a scripted device: every command sent, in order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <tuple>
#include <utility>
#include <vector>

#include "frontend/music/player.h"
#include "frontend/settings/store.h"

namespace varenko {
namespace {

// A device that answers commands from a script: per command a queue of (code, reply) answers,
// the last one repeating. Unscripted commands succeed with an empty reply.
struct ScriptedDevice {
  struct Answer {
    std::uint32_t code;
    std::string reply;
    bool writes = true;  // false: the buffer is left untouched
  };
  std::map<std::string, std::deque<Answer>> script;
  std::vector<std::string> sent;     // every command, in order
  std::vector<std::uint32_t> sizes;  // the buffer size offered with it
  bool errorTextAvailable = true;
  int waveDevices = 1;
  std::vector<std::string> sounds;  // "path/flags", or "stop/flags"

  ScriptedDevice() {
    ResetMusicState();
    StoredSettings = StoredSettingsRecord{};
    MusicPlatform.send = [this](const std::string& command, char* buffer, std::uint32_t size) {
      sent.push_back(command);
      sizes.push_back(size);
      Answer answer{0, ""};
      auto it = script.find(command);
      if (it != script.end() && !it->second.empty()) {
        answer = it->second.front();
        if (it->second.size() > 1) it->second.pop_front();
      }
      if (buffer != nullptr && size > 0 && answer.writes) {
        const std::size_t n = std::min<std::size_t>(answer.reply.size(), size - 1);
        std::memcpy(buffer, answer.reply.data(), n);
        buffer[n] = '\0';
      }
      return answer.code;
    };
    MusicPlatform.errorText = [this](std::uint32_t code, char* buffer, std::uint32_t size) {
      if (!errorTextAvailable || size != 256) return false;  // the error text has 256
      std::snprintf(buffer, size, "device error %u", static_cast<unsigned>(code));
      return true;
    };
    MusicPlatform.waveOutDevices = [this] { return waveDevices; };
    MusicPlatform.playSound = [this](const std::string* sound, std::uint32_t flags) {
      sounds.push_back((sound ? *sound : std::string("stop")) + "/" + std::to_string(flags));
    };
  }

  // The platform must not outlive the script it points into.
  ~ScriptedDevice() { MusicPlatform = MciPlatform{}; }

  // The commands sent since the last call.
  std::vector<std::string> Take() { return std::exchange(sent, {}); }

  void On(const std::string& command, std::uint32_t code, const std::string& reply,
          bool writes = true) {
    script[command].push_back({code, reply, writes});
  }

  // A disc of `tracks` tracks, now at `current` in the given mode.
  void Disc(int tracks, int current, const std::string& mode) {
    script.clear();
    On("status cdaudio current track", 0, std::to_string(current));
    On("status cdaudio number of tracks", 0, std::to_string(tracks));
    On("status cdaudio mode", 0, mode);
    for (int t = 1; t <= tracks; ++t)
      On("status cdaudio position track " + std::to_string(t), 0, std::to_string(t) + ":00:00:00");
    On("status cdaudio position track " + std::to_string(tracks + 1), 277, "");
    On("play cdaudio from Error:277", 263, "");
  }
};

const std::vector<std::string> kCdStatus = {
    "status cdaudio current track", "status cdaudio number of tracks", "status cdaudio mode"};

TEST(FrontendMusic, SendMciRepliesAndErrors) {
  ScriptedDevice device;
  std::string reply = "old";
  EXPECT_EQ(SendMci("", reply), -1);
  EXPECT_EQ(reply, "コマンド文字列が指定されていません");
  EXPECT_TRUE(device.sent.empty()) << "an empty command never reaches the device";

  device.On("status x", 0, "ready");
  EXPECT_EQ(SendMci("status x", reply), 0);
  EXPECT_EQ(reply, "ready");
  EXPECT_EQ(device.sizes.back(), 512u);

  device.On("bad", 263, "");
  EXPECT_EQ(SendMci("bad", reply), 263);
  EXPECT_EQ(reply, "device error 263");
  device.errorTextAvailable = false;
  EXPECT_EQ(SendMci("bad", reply), 263);
  EXPECT_EQ(reply, "Error (文字列が取れません)");

  EXPECT_EQ(QueryMci("bad"), "Error:263");
  EXPECT_EQ(QueryMci("status x"), "ready");
  EXPECT_EQ(LastReply, "ready");
  for (const char* reply : {"Error:263", "device eRRor", "err"}) EXPECT_TRUE(MciFailed(reply));
  for (const char* reply : {"ExR EEr RER", "playing"}) EXPECT_FALSE(MciFailed(reply));

  device.Take();
  EXPECT_EQ(PlayMci("cdaudio", ""), 0);
  EXPECT_EQ(PlayMci("cdaudio", "2:00:00:00"), 0);
  EXPECT_EQ(device.sent,
            (std::vector<std::string>{"play cdaudio", "play cdaudio from 2:00:00:00"}));
}

TEST(FrontendMusic, CdStartAndStop) {
  ScriptedDevice device;
  StartCd();
  StopCd();
  EXPECT_EQ(device.sent, (std::vector<std::string>{"open cdaudio", "set cdaudio time format tmsf",
                                                   "stop cdaudio", "close cdaudio"}));
  for (std::uint32_t size : device.sizes) EXPECT_EQ(size, 0u) << "sent without a reply";
}

// One watcher step with repeat track `track` on a disc of `tracks` tracks, now at `current` in
// `mode`: the commands after the three status queries. The watcher goes on in every case.
TEST(FrontendMusic, CdWatcherSteps) {
  const std::vector<std::string> replay2 = {"status cdaudio position track 2",
                                            "play cdaudio from 2:00:00:00"};
  const std::tuple<std::int16_t, int, int, const char*, std::vector<std::string>> cases[] = {
      {0, 5, 1, "playing", {}},                // a disc already playing is left alone
      {0, 5, 3, "stopped", {"play cdaudio"}},  // plays on from where the disc is
      {2, 5, 1, "playing", replay2},           // track 1 playing jumps to track 2
      {2, 5, 2, "playing", {}},                // on the chosen track: nothing
      {2, 5, 2, "stopped", replay2},           // stopped on it: again
      // Beyond the disc: the position query fails, and the play built from its reply too.
      {3, 2, 1, "playing", {"status cdaudio position track 3", "play cdaudio from Error:277"}},
  };
  for (const auto& [track, tracks, current, mode, then] : cases) {
    ScriptedDevice device;
    StoredSettings.BgmTrack = track;
    device.Disc(tracks, current, mode);
    EXPECT_TRUE(CdTick());
    std::vector<std::string> want = kCdStatus;
    want.insert(want.end(), then.begin(), then.end());
    EXPECT_EQ(device.sent, want) << track << " at " << current << mode;
    EXPECT_EQ(device.sizes[2], 255u) << "the mode buffer offers 255 of its 256 characters";
  }
  EXPECT_EQ(LastReply, "device error 263");
}

TEST(FrontendMusic, CdWatcherGivesUpOnAFailingDevice) {
  ScriptedDevice device;
  device.On("status cdaudio current track", 275, "");
  EXPECT_FALSE(CdTick());
  EXPECT_EQ(device.Take(), std::vector<std::string>{"status cdaudio current track"});

  device.Disc(5, 1, "playing");
  device.script["status cdaudio number of tracks"] = {{0, "media error"}};
  EXPECT_FALSE(CdTick()) << "a reply holding ERR counts as a failure";
  EXPECT_EQ(device.Take().size(), 2u);

  StoredSettings.BgmTrack = 2;
  device.Disc(5, 1, "playing");
  device.script["status cdaudio current track"] = {{0, "unknown"}};
  EXPECT_FALSE(CdTick()) << "a current track that is no number";
}

TEST(FrontendMusic, CdModeBufferKeepsItsLastReply) {
  {
    ScriptedDevice earlier;
    earlier.Disc(5, 1, "stopped");
    EXPECT_TRUE(CdTick());  // leaves "stopped" behind
  }
  ScriptedDevice device;
  EXPECT_EQ(LastReply, "") << "the state of a fresh process";
  device.Disc(5, 1, "stopped");
  device.script["status cdaudio mode"] = {{0, "", false}};
  EXPECT_TRUE(CdTick());
  EXPECT_EQ(device.Take(), kCdStatus) << "a fresh process starts with an empty mode buffer";
  device.Disc(5, 1, "stopped");
  EXPECT_TRUE(CdTick());
  device.script["status cdaudio mode"] = {{0, "", false}};
  EXPECT_TRUE(CdTick());
  EXPECT_EQ(device.sent.back(), "play cdaudio") << "judged on the old \"stopped\"";
  // Only the first seven characters count.
  device.script["status cdaudio mode"] = {{0, "stoppedXYZ"}};
  EXPECT_TRUE(CdTick());
  EXPECT_EQ(device.sent.back(), "play cdaudio");
}

TEST(FrontendMusic, Mp3Sequences) {
  ScriptedDevice device;
  StoredSettings.BgmFile = "C:\\My Music\\曲.mp3";
  StartMp3();
  EXPECT_EQ(device.Take(),
            (std::vector<std::string>{"open \"C:\\My Music\\曲.mp3\" type MPEGVideo Alias MP3Play",
                                      "play MP3Play"}));
  device.On("status MP3Play mode", 0, "playing");
  Mp3Tick();
  EXPECT_EQ(device.Take(), std::vector<std::string>{"status MP3Play mode"});
  EXPECT_EQ(device.sizes.back(), 30u);
  device.script["status MP3Play mode"] = {{0, "stopped"}};
  Mp3Tick();
  EXPECT_EQ(device.Take(), (std::vector<std::string>{"status MP3Play mode", "stop MP3Play",
                                                     "play MP3Play from 0"}));
  StopMp3();
  EXPECT_EQ(device.Take(), (std::vector<std::string>{"stop MP3Play", "close MP3Play"}));
  device.On("open \"C:\\My Music\\曲.mp3\" type MPEGVideo Alias MP3Play", 275, "");
  StartMp3();
  EXPECT_EQ(device.sent.size(), 1u) << "a file that does not open is not played";
}

TEST(FrontendMusic, WavNeedsAnOutputDevice) {
  ScriptedDevice device;
  StoredSettings.BgmFile = "C:\\a.wav";
  StartWav();
  StopWav();
  device.waveDevices = 0;
  StartWav();
  EXPECT_EQ(device.sounds, (std::vector<std::string>{"C:\\a.wav/9", "stop/0"}));
  EXPECT_TRUE(device.sent.empty()) << "WAV never goes through MCI";
}

}  // namespace
}  // namespace varenko
