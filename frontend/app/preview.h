// The preview picture shown inside the system's preview area (preview mode).
#pragma once

#include <cstdint>

namespace varenko {

// Shows the preview as a child of the window with this handle and runs until that window is
// destroyed; returns at once when the handle is not a window.
void RunPreview(std::intptr_t parentHandle);

}  // namespace varenko
