// The frame-rate readout, "NNN.N FPS" in seven-segment glyphs, drawn over a finished frame.
#pragma once

namespace varenko {

// Draws `fps` (frames a second, shown to a tenth, at most 9999.9) in the lower-left corner of
// `viewport` (x, y, width, height), then sets the viewport back to `restoreViewport`. Leaves
// texturing on and blending off, and the matrices as they were.
void DrawFpsReadout(double fps, const int viewport[4], const int restoreViewport[4]);

}  // namespace varenko
