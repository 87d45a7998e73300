// Storage of the state that the scene writes and the simulation reads: the frame's step and
// camera, the sprite list names and the cloud grid.
#include "renderer/sim/cloud_grid.h"
#include "renderer/sim/frame_state.h"
#include "renderer/sim/sprite_lists.h"

namespace varenko {

float dt = 0.03f;
Vec3 depthEye(0.0f, 0.0f, 0.0f);
double BillboardMatrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

unsigned GlowSprite = 0;
unsigned DiscSprite = 0;
unsigned RingSprite = 0;
unsigned SparkleSprite = 0;
unsigned SmokeSprite[5] = {};

CloudVertex CloudGrid[CloudGridSize][CloudGridSize] = {};

}  // namespace varenko
