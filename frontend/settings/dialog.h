// The settings dialog (configure mode).
#pragma once

namespace varenko {

// Shows the settings dialog modally over StoredSettings; returns when it has closed.
void ShowSettingsDialog();

}  // namespace varenko
