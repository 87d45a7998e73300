// Placeholder until the sprites land.
#include "renderer/scene/sprites.h"

#include "renderer/host/settings.h"

namespace varenko {

void BuildFormulaSprites() {}
void BuildSmokeSprites() { BuildSmokeLifeTable(); }
void BuildRingMesh() {}

}  // namespace varenko
