// Linux reading of the renderer settings: the settings file chosen on the command line, or the
// one in the user's configuration folder.
#include "renderer/host/settings.h"

namespace varenko {

void ReadSettings() {
  if (settingsFilePath.empty()) settingsFilePath = DefaultSettingsPath();
  ReadSettingsFile(settingsFilePath);  // a missing file leaves every default in force
}

}  // namespace varenko
