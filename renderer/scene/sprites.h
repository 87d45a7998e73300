// Sprite textures and their display lists (glow, disc, ring, sparkle, five smoke puffs) and the
// ring mesh of the blast's shock ring.
#pragma once

namespace varenko {

void BuildFormulaSprites();
// Also builds SmokeLifeTable. Called only when smokeSpan != 0.
void BuildSmokeSprites();
void BuildRingMesh();

}  // namespace varenko
