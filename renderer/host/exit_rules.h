// The saver window's exit rules as one portable state machine: which user input closes the saver,
// when a close request is honoured, and the flags the idle tick reads. Both hosts feed it events.
#pragma once

namespace varenko {

// Manhattan distance in pixels a mouse may travel from the reference point without closing.
inline constexpr int MouseTravelThreshold = 4;

struct SaverWindowState {
  int lastCursorX;  // reference point for mouse travel, screen pixels
  int lastCursorY;
  bool firstMoveSeen;       // the first move of a run only arms the mouse rule
  bool closeRequested;      // set by user input; a close without it is refused
  bool passwordDialogOpen;  // while set, no frames and no input rules
  bool renderActive;        // from the end of window creation to the start of destruction
};

extern SaverWindowState saverWindow;

// What the host does with a close request.
enum class CloseDecision {
  Refuse,       // not caused by user input: the saver goes on
  AskPassword,  // user input asked for it: check the password, then close or go on
};

// Window creation: a fresh state whose reference point is the cursor position at start.
void StartExitRules(SaverWindowState& s, int cursorX, int cursorY);

// A key press, mouse button press or loss of activation. Returns true: post a close request.
bool OnUserInput(SaverWindowState& s);

// A mouse-move report with the cursor's screen position. Returns true: post a close request.
bool OnMouseMove(SaverWindowState& s, int cursorX, int cursorY);

CloseDecision OnCloseRequest(const SaverWindowState& s);

// The password check said no: the saver goes on measuring travel from where the cursor is now.
void OnPasswordRefused(SaverWindowState& s, int cursorX, int cursorY);

}  // namespace varenko
