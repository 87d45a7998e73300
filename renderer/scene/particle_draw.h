// Drawing of the live particles, back to front, as camera-facing sprites.
#pragma once

namespace varenko {

// Enables blending and draws every live particle in pool order.
void DrawParticles();

}  // namespace varenko
