// What the frame driver hands the simulation each frame, written before the simulation runs.
#pragma once

#include "renderer/sim/vecmath.h"

namespace varenko {

extern float dt;                    // frame step, seconds
extern Vec3 depthEye;               // copy of the camera's eyePos for the particle depth key
extern double BillboardMatrix[16];  // camera rotation inverted, column-major

}  // namespace varenko
