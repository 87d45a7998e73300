// The names of the values a shell or sub-shell carries in Particle::burstKind: the burst a shell
// makes, what a sub-shell turns into, and the small bursts sub-shells end in. The numbers are
// stored in records and chosen by the director's draws, so they never change.
#pragma once

namespace varenko {

// What a shell does at the end of its life.
enum BurstKind : unsigned {
  BurstSphere = 0,                // one sphere of stars (one in ten large and fast)
  BurstTwoTone = 1,               // a sphere in two colours, split by a random plane
  BurstTriColour = 2,             // a sphere in three colours, white flash
  BurstRing = 3,                  // a tilted ring
  BurstSphereInSphere = 4,        // a slow inner sphere and a fast outer one
  BurstRingAndSphere = 5,         // a fast ring around a slow sphere
  BurstEmbers = 6,                // ember stars
  BurstTrailStars = 7,            // trail stars
  BurstEmbersAndSphere = 8,       // ember stars over a slow sphere
  BurstTrailStarsAndSphere = 9,   // trail stars over a slow sphere
  BurstEmbersAndWideSphere = 10,  // ember stars with a fast, wide sphere
  BurstTrailStarsAndWideSphere = 11,
  BurstSubShellSpheres = 12,     // sub-shells that end in small spheres
  BurstSubShellEmbers = 13,      // sub-shells that end in a few ember stars
  BurstSubShellTrailStars = 14,  // sub-shells that end in a few trail stars
  BurstCrackle = 15,             // crackle carriers that pop as golden sparks
  BurstBees = 16,                // wobbling bees
  BurstSalute = 17,              // the flash alone, larger and white
  BurstPinwheel = 18,            // no burst: the shell becomes a pinwheel
  BurstGatherFinale = 19,        // finale A (a sphere below 1000 units)
  BurstSwirlFinale = 20,         // finale B (a sphere below 1000 units)
  BurstFlashOnly = 21,           // no pattern of its own: the plain flash
};
// Every shell's kind is below this; --burst takes 0 to BurstKindCount - 1.
inline constexpr unsigned BurstKindCount = 22;

// What a sub-shell turns into when its life ends.
enum SubShellVariant : unsigned {
  SubShellSphere = 5,      // a small sphere burst
  SubShellEmbers = 6,      // a few ember stars
  SubShellTrailStars = 7,  // a few trail stars
  SubShellCrackle = 8,     // a crackle carrier: a brief golden spark
};

// The bursts sub-shells end in, in the order of their variants; a burst sub-shell keeps the kind.
enum SmallBurst : unsigned {
  SmallSphere = 100,
  SmallEmbers = 101,
  SmallTrailStars = 102,
};

// The variant of the sub-shells of bursts 12 to 14, and the small burst of variants 5 to 7.
constexpr SubShellVariant SubShellsOf(unsigned burst) {
  return static_cast<SubShellVariant>(burst - BurstSubShellSpheres + SubShellSphere);
}
constexpr SmallBurst SmallBurstOf(unsigned variant) {
  return static_cast<SmallBurst>(variant - SubShellSphere + SmallSphere);
}

}  // namespace varenko
