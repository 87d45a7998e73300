// Names of the sprite display lists. The scene builds the lists and stores their names here at
// start-up; particle creators store one in each particle's spriteList. Plain integers, so the
// simulation needs no OpenGL.
#pragma once

namespace varenko {

extern unsigned GlowSprite;
extern unsigned DiscSprite;
extern unsigned RingSprite;
extern unsigned SparkleSprite;
extern unsigned SmokeSprite[5];  // 0 when smoke is off (smokeSpan == 0)

}  // namespace varenko
