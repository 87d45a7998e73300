// The cloud ceiling's 49 x 49 vertices. The sky builds and draws them; burst flashes raise their
// colours during the particle update, and the cloud update resets them every frame.
#pragma once

namespace varenko {

struct CloudVertex {
  float x, y, z;
  float s, t;
  float shade;  // base grey from the ambient level
  float red, green, blue;
};

inline constexpr int CloudGridSize = 49;
extern CloudVertex CloudGrid[CloudGridSize][CloudGridSize];  // [row r along x][column c along z]

}  // namespace varenko
