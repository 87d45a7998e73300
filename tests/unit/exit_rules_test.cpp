// Exit rules of the saver window: what closes it, what only arms it, what is refused. Extreme
// coordinates are the exit-rules fuzz target's (under UBSan).
#include "renderer/host/exit_rules.h"

#include <gtest/gtest.h>

namespace varenko {
namespace {

// The host's view: a posted close is honoured only when the rules ask for the password.
bool Closes(const SaverWindowState& s, bool posted) {
  return posted && OnCloseRequest(s) == CloseDecision::AskPassword;
}

TEST(ExitRules, StartForgetsTheLastRun) {
  SaverWindowState s{1, 2, true, true, true, true};
  StartExitRules(s, 30, 40);
  const bool flags[4] = {s.firstMoveSeen, s.closeRequested, s.passwordDialogOpen, s.renderActive};
  for (bool flag : flags) EXPECT_FALSE(flag);
  EXPECT_EQ(s.lastCursorX, 30);
  EXPECT_EQ(s.lastCursorY, 40);
}

TEST(ExitRules, FirstMoveOnlyArmsEvenAFarJump) {
  SaverWindowState s{};
  StartExitRules(s, 100, 100);
  EXPECT_FALSE(Closes(s, OnMouseMove(s, 900, 700)));
  // The far jump left the reference point at the start, so the next move far from it closes.
  EXPECT_TRUE(Closes(s, OnMouseMove(s, 900, 700)));
}

TEST(ExitRules, CreepingMovesNeverCloseAndTheReferenceFollows) {
  SaverWindowState s{};
  StartExitRules(s, 0, 0);
  int x = 0;
  int y = 0;
  for (int i = 0; i < 2000; ++i) {
    const int step = 1 + i % 4;
    if (i % 2 == 0)
      x += step;
    else
      y -= step;
    ASSERT_FALSE(OnMouseMove(s, x, y)) << "move " << i;
  }
  EXPECT_EQ(s.lastCursorX, x);
  EXPECT_EQ(s.lastCursorY, y);
}

TEST(ExitRules, FourPixelsStayFiveClose) {
  SaverWindowState s{};
  StartExitRules(s, 50, 50);
  OnMouseMove(s, 50, 50);  // arms
  EXPECT_FALSE(OnMouseMove(s, 52, 52));
  EXPECT_FALSE(OnMouseMove(s, 48, 52));  // 4 across from the new reference point
  const bool posted = OnMouseMove(s, 51, 54);
  EXPECT_TRUE(Closes(s, posted));
  EXPECT_EQ(s.lastCursorX, 48);  // a closing move keeps the old reference
  EXPECT_EQ(s.lastCursorY, 52);
}

TEST(ExitRules, KeysButtonsAndDeactivationClose) {
  SaverWindowState s{};
  StartExitRules(s, 0, 0);
  EXPECT_TRUE(Closes(s, OnUserInput(s)));
}

TEST(ExitRules, CloseWithoutUserInputIsRefused) {
  SaverWindowState s{};
  StartExitRules(s, 0, 0);
  EXPECT_EQ(OnCloseRequest(s), CloseDecision::Refuse);
  OnMouseMove(s, 0, 0);  // the arming move is not user input either
  EXPECT_EQ(OnCloseRequest(s), CloseDecision::Refuse);
  // A small move after arming counts as input but posts nothing; a later outside close is then
  // honoured, as the window cannot tell it from its own.
  EXPECT_FALSE(OnMouseMove(s, 1, 0));
  EXPECT_EQ(OnCloseRequest(s), CloseDecision::AskPassword);
}

TEST(ExitRules, RefusedPasswordKeepsRunningFromTheCurrentCursor) {
  SaverWindowState s{};
  StartExitRules(s, 0, 0);
  OnMouseMove(s, 0, 0);
  ASSERT_TRUE(OnMouseMove(s, 300, 0));
  OnPasswordRefused(s, 300, 0);
  EXPECT_TRUE(s.closeRequested);
  EXPECT_FALSE(OnMouseMove(s, 302, 2));  // measured from where the cursor was at the refusal
  EXPECT_TRUE(OnMouseMove(s, 310, 2));
}

}  // namespace
}  // namespace varenko
