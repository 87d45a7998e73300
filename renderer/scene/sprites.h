// Sprite textures and their display lists (glow, disc, ring, sparkle, five smoke puffs) and the
// ring mesh of the blast's shock ring.
#pragma once

namespace varenko {

inline constexpr int RingMeshRings = 7;
inline constexpr int RingMeshPoints = 41;

// Seven rings of 41 points (x, y, z) forming a flat annulus from radius 1 (ring 0) to 0.5 (ring 6)
// with a low bulge in y; point 40 closes each ring onto point 0.
extern float RingMesh[RingMeshRings][RingMeshPoints][3];

// The unit square every sprite list draws: a triangle strip in the z = 0 plane from -0.5 to 0.5,
// counter-clockwise seen from +z so back-face culling keeps it.
void SpriteQuad();

// Every sprite list name (sprite_lists.h) and atlas texture back to 0: nothing built. A run without
// smoke after one with it then hands its particles no list of a context that has gone.
void ResetSprites();

// Glow, disc, ring and sparkle textures and lists; stores the list names in sprite_lists.h. Also
// builds their atlas for the batched particle pass.
void BuildFormulaSprites();
// The five smoke textures and lists, and their atlas; also builds SmokeLifeTable. Called only when
// smokeSpan != 0.
void BuildSmokeSprites();
// Fills RingMesh (no OpenGL).
void BuildRingMesh();

}  // namespace varenko
