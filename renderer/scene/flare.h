// The lens flare drawn over the finished picture.
#pragma once

namespace varenko {

// Collects the flaring particles, draws each queued request and empties the queue. The frame
// driver calls it only when flareBrightness != 0.
void DrawLensFlare();

}  // namespace varenko
