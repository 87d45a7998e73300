// Placeholder until the settings dialog lands.
#include "frontend/settings/dialog.h"

namespace varenko {

void ShowSettingsDialog() {}

}  // namespace varenko
