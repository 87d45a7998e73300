// The entry's command-line decisions: switch, preview handle, mode table, music file kind.
#include <gtest/gtest.h>

#include "frontend/app/entry.h"
#include "frontend/app/run.h"

namespace varenko {
namespace {

TEST(FrontendEntry, ModesBySwitch) {
  struct Case {
    const wchar_t* line;
    EntryMode mode;
    bool hideCursor;
  };
  const Case cases[] = {
      {L"/s", EntryMode::Run, true},        {L"-S", EntryMode::Run, true},
      {L"xs", EntryMode::Run, true},        {L"", EntryMode::Run, false},
      {L"/c", EntryMode::Configure, false}, {L"/c:5678", EntryMode::Configure, false},
      {L"/a", EntryMode::End, false},       {L"/", EntryMode::End, false},
      {L"s", EntryMode::End, false},        {L"/sx", EntryMode::Run, true},
      {L"/p 1", EntryMode::Preview, false}, {L"/\u00e9", EntryMode::End, false},
  };
  for (const Case& c : cases) {
    const EntryPlan plan = PlanEntry(c.line);
    EXPECT_EQ(plan.mode, c.mode) << c.line;
    EXPECT_EQ(plan.hideCursor, c.hideCursor) << c.line;
    const bool preview = c.mode == EntryMode::Preview;
    EXPECT_EQ(plan.loadSettings, !preview) << c.line;
    EXPECT_EQ(plan.checkRenderer, !preview) << c.line;
  }
}

TEST(FrontendEntry, PreviewHandle) {
  EXPECT_EQ(ParsePreviewHandle(L"/p 1234"), 1234);
  EXPECT_EQ(ParsePreviewHandle(L"/P:1234"), 1234);
  EXPECT_EQ(ParsePreviewHandle(L"-p 1234"), 1234);
  EXPECT_EQ(ParsePreviewHandle(L"/p  1234"), 1234);
  EXPECT_EQ(ParsePreviewHandle(L"/p 1 2\t3\n4"), 1234) << "blanks inside are ignored too";
  EXPECT_EQ(ParsePreviewHandle(L"/p"), 0);
  EXPECT_EQ(ParsePreviewHandle(L"/p "), 0);
  EXPECT_EQ(ParsePreviewHandle(L"/p abc"), 0);
  EXPECT_EQ(ParsePreviewHandle(L"/p 42abc"), 42);
  EXPECT_EQ(ParsePreviewHandle(L"/p -17"), -17);
  EXPECT_EQ(ParsePreviewHandle(L"/p 2.5"), 2);
  EXPECT_EQ(ParsePreviewHandle(L"/p 3.5"), 4);
  EXPECT_EQ(ParsePreviewHandle(L"/p 1e3x"), 1000);
  EXPECT_EQ(ParsePreviewHandle(L"/p 12e"), 12);
  EXPECT_EQ(ParsePreviewHandle(L"/p 12-3"), 12);
  EXPECT_EQ(ParsePreviewHandle(L"/p 2147483647"), 2147483647);
  EXPECT_EQ(ParsePreviewHandle(L"/p -2147483648"), -2147483647 - 1);
  EXPECT_EQ(ParsePreviewHandle(L"/p 2147483648"), 0) << "beyond 32 bits cannot be converted";
  EXPECT_EQ(ParsePreviewHandle(L"/p 1e999999"), 0);
  // Hostile lengths: a long run of digits and a long run of blanks.
  EXPECT_EQ(ParsePreviewHandle(L"/p " + std::wstring(40000, L'9')), 0);
  EXPECT_EQ(ParsePreviewHandle(L"/p " + std::wstring(40000, L' ') + L"7"), 7);
}

TEST(FrontendEntry, CommandTailDropsTheProgram) {
  EXPECT_EQ(CommandTail(L"\"C:\\Program Files\\Varenko.scr\" /p 1234"), L"/p 1234");
  EXPECT_EQ(CommandTail(L"C:\\Windows\\Varenko.scr /s"), L"/s");
  EXPECT_EQ(CommandTail(L"Varenko.scr"), L"");
  EXPECT_EQ(CommandTail(L"\"unterminated /s"), L"");
  EXPECT_EQ(CommandTail(L""), L"");
}

TEST(FrontendEntry, FileTestDropsOneTrailingSeparator) {
  EXPECT_EQ(WithoutTrailingBackslash("C:\\Music\\"), "C:\\Music");
  EXPECT_EQ(WithoutTrailingBackslash("C:\\Music\\\\"), "C:\\Music\\");
  EXPECT_EQ(WithoutTrailingBackslash(""), "");
}

TEST(FrontendEntry, MusicKindByEndingInAnyCase) {
  EXPECT_EQ(MusicFileKindOf("C:\\a.wav"), MusicFileKind::Wav);
  EXPECT_EQ(MusicFileKindOf("C:\\a.Wav"), MusicFileKind::Wav);
  EXPECT_EQ(MusicFileKindOf("C:\\aWAV"), MusicFileKind::Wav) << "the dot is not needed";
  EXPECT_EQ(MusicFileKindOf("song.mp3"), MusicFileKind::Mp3);
  EXPECT_EQ(MusicFileKindOf("song.MP3"), MusicFileKind::Mp3);
  EXPECT_EQ(MusicFileKindOf("song.ogg"), MusicFileKind::Other);
  EXPECT_EQ(MusicFileKindOf("mp"), MusicFileKind::Other);
  EXPECT_EQ(MusicFileKindOf(""), MusicFileKind::Other);
}

}  // namespace
}  // namespace varenko
