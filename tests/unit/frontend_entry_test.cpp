// The entry's command-line decisions (switch, preview handle, mode table) and the saver run's
// (music by file kind, the watchers, the order of the way out).
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "frontend/app/entry.h"
#include "frontend/app/run.h"

namespace varenko {
namespace {

TEST(FrontendEntry, ModesBySwitch) {
  // The command tail, the mode and whether the cursor is hidden.
  const std::tuple<const wchar_t*, EntryMode, bool> cases[] = {
      {L"/s", EntryMode::Run, true},        {L"-S", EntryMode::Run, true},
      {L"xs", EntryMode::Run, true},        {L"", EntryMode::Run, false},
      {L"/c", EntryMode::Configure, false}, {L"/c:5678", EntryMode::Configure, false},
      {L"/a", EntryMode::End, false},       {L"/", EntryMode::End, false},
      {L"s", EntryMode::End, false},        {L"/sx", EntryMode::Run, true},
      {L"/p 1", EntryMode::Preview, false}, {L"/\u00e9", EntryMode::End, false},
  };
  for (const auto& [line, mode, hideCursor] : cases) {
    const EntryPlan plan = PlanEntry(line);
    const bool preview = mode == EntryMode::Preview;
    EXPECT_EQ(std::tuple(plan.mode, plan.hideCursor, plan.loadSettings, plan.checkRenderer,
                         plan.previewHandle),
              std::tuple(mode, hideCursor, !preview, !preview, preview ? 1 : 0))
        << line;
  }
}

TEST(FrontendEntry, PreviewHandle) {
  // Blanks, tabs and line feeds are ignored anywhere; the number ends where it cannot go on;
  // rounding halves to even; nothing, or beyond 32 bits, reads as 0.
  // clang-format off
  const std::pair<const wchar_t*, std::int32_t> cases[] = {
      {L"/p 1234", 1234}, {L"/P:1234", 1234}, {L"-p 1234", 1234}, {L"/p  1234", 1234},
      {L"/p 1 2\t3\n4", 1234}, {L"/p", 0}, {L"/p ", 0}, {L"/p abc", 0}, {L"/p 42abc", 42},
      {L"/p -17", -17}, {L"/p 2.5", 2}, {L"/p 3.5", 4}, {L"/p 1e3x", 1000}, {L"/p 12e", 12},
      {L"/p 12-3", 12}, {L"/p 7", 7}, {L"/p +5-", 5}, {L"/p 15e-1", 2}, {L"/p 1D2", 100},
      {L"/p 1E+2e3", 100}, {L"/p 1e2.5", 100}, {L"/p 1.2.3", 1}, {L"/p e5", 0},
      {L"/p 1e999999", 0}, {L"/p 2147483647", INT32_MAX}, {L"/p -2147483648", INT32_MIN},
      {L"/p 2147483648", 0}, {L"/p -2147483649", 0}, {L"/p 100", 100}, {L"/p 1e2-3", 100},
      {L"/p 12e+", 12}};
  // clang-format on
  for (const auto& [line, handle] : cases) EXPECT_EQ(ParsePreviewHandle(line), handle) << line;
  // Hostile lengths: a long run of digits and a long run of blanks.
  EXPECT_EQ(ParsePreviewHandle(L"/p " + std::wstring(40000, L'9')), 0);
  EXPECT_EQ(ParsePreviewHandle(L"/p " + std::wstring(40000, L' ') + L"7"), 7);
}

// The program's name goes, quoted (even ending in a blank) or not; nothing left is empty.
TEST(FrontendEntry, CommandTailDropsTheProgram) {
  // clang-format off
  const std::pair<const wchar_t*, const wchar_t*> tails[] = {
      {L"\"C:\\Program Files\\Varenko.scr\" /p 1234", L"/p 1234"},
      {L"C:\\Windows\\Varenko.scr /s", L"/s"}, {L"Varenko.scr\t \t/s x", L"/s x"},
      {L"\"C:\\a \" /s", L"/s"}, {L"Varenko.scr", L""}, {L"\"unterminated /s", L""}, {L"", L""}};
  // clang-format on
  for (const auto& [line, tail] : tails) EXPECT_EQ(CommandTail(line), tail) << line;
  // The switch is upper-cased ASCII only.
  EXPECT_EQ((std::wstring{SwitchOf(L"/a"), SwitchOf(L"/z"), SwitchOf(L"/`"), SwitchOf(L"/{")}),
            L"AZ`{");
}

// The file test drops one trailing separator; the music kind goes by the ending in any case,
// without a dot.
TEST(FrontendEntry, FileTestAndMusicKind) {
  using enum MusicFileKind;
  // clang-format off
  const std::pair<const char*, const char*> trimmed[] = {
      {"C:\\Music\\", "C:\\Music"}, {"C:\\Music\\\\", "C:\\Music\\"}, {"", ""}, {"C:\\a.mp3", "C:\\a.mp3"}};
  const std::pair<const char*, MusicFileKind> kinds[] = {
      {"C:\\a.wav", Wav}, {"C:\\a.Wav", Wav}, {"C:\\aWAV", Wav}, {"song.mp3", Mp3}, {"song.MP3", Mp3},
      {"song.ogg", Other}, {"wav", Wav}, {"mp", Other}, {"", Other}};
  // clang-format on
  for (const auto& [path, kept] : trimmed) EXPECT_EQ(WithoutTrailingBackslash(path), kept) << path;
  for (const auto& [path, kind] : kinds) EXPECT_EQ(MusicFileKindOf(path), kind) << path;
}

TEST(FrontendRun, Timers) {
  // Timer1 1000 ms (MP3), Timer2 200 ms (CD), both off at load; Timer3 50 ms (renderer), on.
  ASSERT_EQ(RunTimers.size(), 3u);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(std::tuple(static_cast<int>(RunTimers[i].timer), RunTimers[i].intervalMs,
                         RunTimers[i].enabledAtLoad),
              (std::array{std::tuple(1, 1000u, false), std::tuple(2, 200u, false),
                          std::tuple(3, 50u, true)}[i]));
}

// A whole run, event by event (a tick before the load is a stray one): L load, 1 a Timer1 tick, 2 /
// x a Timer2 tick whose CdTick answers go on / give up, + / - a Timer3 tick with / without the
// renderer's window, Q a request to unload. The process ends at End.
std::vector<RunStep> Drive(std::int16_t mode, const char* file, const wchar_t* line,
                           const char* events) {
  StoredSettingsRecord record{};
  record.BgmMode = mode;
  record.BgmFile = file;
  RunState state;
  std::vector<RunStep> all;
  for (const char* e = events; *e != 0 && (all.empty() || all.back() != RunStep::End); ++e) {
    std::vector<RunStep> steps;
    if (*e == 'L') steps = RunFormLoad(state, record);
    if (*e == '1') steps = RunTimer1(state);
    if (*e == '2' || *e == 'x') {
      steps = RunTimer2(state);
      if (!steps.empty()) {
        const std::vector<RunStep> after = RunAfterCdTick(state, *e == '2');
        steps.insert(steps.end(), after.begin(), after.end());
      }
    }
    if (*e == '+' || *e == '-') steps = RunTimer3(state, *e == '+', record, line);
    if (*e == 'Q') steps = RunQueryUnload(state, record, line);
    all.insert(all.end(), steps.begin(), steps.end());
  }
  // The state knows which watchers run: those whose last step was to enable them (nothing
  // disables the MP3 watcher).
  const auto running = [&all](RunStep on, RunStep off) {
    const auto last =
        std::find_if(all.rbegin(), all.rend(), [&](RunStep s) { return s == on || s == off; });
    return last != all.rend() && *last == on;
  };
  EXPECT_EQ(state.timer1, running(RunStep::EnableTimer1, RunStep::EnableTimer1)) << events;
  EXPECT_EQ(state.timer2, running(RunStep::EnableTimer2, RunStep::DisableTimer2)) << events;
  EXPECT_EQ(state.timer3, running(RunStep::EnableTimer3, RunStep::DisableTimer3)) << events;
  return all;
}

TEST(FrontendRun, WatchersAndTheWayOut) {
  using enum RunStep;
  // Mode, file, command line, events and the steps taken.
  // clang-format off
  const std::tuple<std::int16_t, const char*, const wchar_t*, const char*, std::vector<RunStep>>
      cases[] = {
      // The CD watcher gives up: nothing enables it again, and the way out sends no CD command.
      {1, "", L"/s", "L2x2-", {StartRenderer, StartCd, EnableTimer2, EnableTimer3, CdTick, CdTick,
                               DisableTimer2, DisableTimer3, ShowCursor, End}},
      // Still running at the end: stopped first. An empty command line leaves the cursor alone.
      {1, "a.mp3", L"", "L2+-", {StartRenderer, StartCd, EnableTimer2, EnableTimer3, CdTick,
                                 DisableTimer3, DisableTimer2, StopCd, End}},
      {2, "C:\\m\\a.Mp3", L"/S", "L11+Q-", {StartRenderer, StartMp3, EnableTimer1, EnableTimer3,
                                            Mp3Tick, Mp3Tick, StopMp3, ShowCursor, End}},
      {2, "a.wav", L"xs", "L12-", {StartRenderer, StartWav, EnableTimer3, DisableTimer3, StopWav,
                                   ShowCursor, End}},
      {2, "a.ogg", L"", "-L1-", {StartRenderer, EnableTimer3, DisableTimer3, End}},
      {0, "a.mp3", L"/s", "L-", {StartRenderer, EnableTimer3, DisableTimer3, ShowCursor, End}},
      {3, "a.wav", L"/c", "LQ", {StartRenderer, EnableTimer3, End}}};
  // clang-format on
  for (const auto& [mode, file, line, events, steps] : cases)
    EXPECT_EQ(Drive(mode, file, line, events), steps) << events;
}

}  // namespace
}  // namespace varenko
