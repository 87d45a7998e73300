// The entry procedure: busy test, switch, settings, renderer check and the hand-over to a mode.
#include <windows.h>

#include "common/window_titles.h"
#include "frontend/app/entry.h"
#include "frontend/app/preview.h"
#include "frontend/app/run.h"
#include "frontend/app/wide.h"
#include "frontend/settings/dialog.h"
#include "frontend/settings/store.h"
#include "frontend/settings/texts.h"

namespace varenko {

namespace {

[[noreturn]] void End() { ExitProcess(0); }

bool Busy() {
  return FindWindowW(nullptr, RunWindowTitle) != nullptr ||
         FindWindowW(nullptr, DialogWindowTitle) != nullptr;
}

}  // namespace

void Main() {
  if (Busy()) End();
  ChooseLanguage(SystemLanguage());

  const std::wstring commandLine = CurrentCommandLine();
  const EntryPlan plan = PlanEntry(commandLine);

  if (plan.mode == EntryMode::Preview) {
    RunPreview(plan.previewHandle);
    End();
  }

  if (plan.loadSettings) LoadSettings();

  if (plan.checkRenderer) {
    if (!FileExists(Narrow(RendererPath()))) {
      MessageBoxW(nullptr, Text(TextId::MissingRenderer), L"Varenko (ScreenSaver)", MB_OK);
      End();
    }
  }

  switch (plan.mode) {
    case EntryMode::Configure:
      ShowSettingsDialog();
      End();
    case EntryMode::Run:
      if (plan.hideCursor) ShowCursor(FALSE);
      LoadRunWindow();
      return;
    case EntryMode::Preview:
    case EntryMode::End:
      End();
  }
}

}  // namespace varenko
