// The night sky: building of its textures and lists, the cloud update and the scenery draw.
#include "renderer/scene/sky.h"

#include <vector>

#include "renderer/scene/gl_api.h"
#include "renderer/scene/pictures.h"
#include "renderer/scene/sky_texels.h"
#include "renderer/sim/cloud_grid.h"
#include "renderer/sim/frame_state.h"
#include "renderer/sim/saver_settings.h"

namespace varenko {

Sky sky = {};
bool referenceSkyDraw = false;

namespace {

// One half-cylinder pair of the horizon band: texture t, bottom glow g, position on the circle.
struct BandPair {
  float t, g, x, z;
};
constexpr BandPair Band[9] = {
    {0.0f, 0.0f, 0.0f, 20000.0f},        {0.125f, 0.25f, -7654.0f, 18448.0f},
    {0.25f, 0.5f, -14142.0f, 14142.0f},  {0.375f, 0.75f, -18448.0f, 7654.0f},
    {0.5f, 1.0f, -20000.0f, 0.0f},       {0.625f, 0.75f, -18448.0f, -7654.0f},
    {0.75f, 0.5f, -14142.0f, -14142.0f}, {0.875f, 0.25f, -7654.0f, -18448.0f},
    {1.0f, 0.0f, 0.0f, -20000.0f}};

// Sky textures share their filtering: trilinear, since they are seen at every distance.
GLuint MakeMipmappedTexture(GLint components, GLenum format, const unsigned char* pixels,
                            bool clamp) {
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  if (clamp) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
  }
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  gluBuild2DMipmaps(GL_TEXTURE_2D, components, SkyImageSize, SkyImageSize, format, GL_UNSIGNED_BYTE,
                    pixels);
  return texture;
}

void DomeVertexOut(const DomeVertex& v) {
  glColor3f(v.brightness, v.brightness, v.brightness);
  glTexCoord2f(v.s, v.t);
  glVertex3f(v.x, v.y, v.z);
}

void CompileStarDome() {
  DomeVertex dome[DomeRings][DomeColumns];
  MakeStarDome(dome);
  sky.starDome = glGenLists(1);
  glNewList(sky.starDome, GL_COMPILE);
  glBindTexture(GL_TEXTURE_2D, sky.starTexture);
  for (int i = 0; i + 1 < DomeRings; ++i) {
    glBegin(GL_TRIANGLE_STRIP);
    for (int j = 0; j < DomeColumns; ++j) {
      DomeVertexOut(dome[i + 1][j]);
      DomeVertexOut(dome[i][j]);
    }
    glEnd();
  }
  glBegin(GL_TRIANGLE_FAN);
  glColor3f(1.0f, 1.0f, 1.0f);
  glTexCoord2f(0.0f, 0.0f);
  glVertex3f(0.0f, 20000.0f, 0.0f);
  for (int j = 0; j < DomeColumns; ++j) DomeVertexOut(dome[DomeRings - 1][j]);
  glEnd();
  glEndList();
}

void CompileHorizonBand() {
  sky.horizonBand = glGenLists(1);
  glNewList(sky.horizonBand, GL_COMPILE);
  glBindTexture(GL_TEXTURE_2D, sky.horizonTexture);
  glBegin(GL_TRIANGLE_STRIP);
  for (const BandPair& p : Band) {
    glColor3f(0.0f, 0.0f, 0.0f);
    glTexCoord2f(1.0f, p.t);
    glVertex3f(p.x, 8000.0f, p.z);
    glColor3f(p.g, p.g, p.g);
    glTexCoord2f(0.0f, p.t);
    glVertex3f(p.x, 0.0f, p.z);
  }
  glEnd();
  glEndList();
}

void CloudVertexOut(const CloudVertex& v) {
  glColor3f(v.red, v.green, v.blue);
  glTexCoord2f(v.s, v.t);
  glVertex3f(v.x, v.y, v.z);
}

// The cloud ceiling as one triangle strip per grid column, vertex by vertex.
void DrawCloudStrips() {
  for (int c = 1; c < CloudGridSize; ++c) {
    glBegin(GL_TRIANGLE_STRIP);
    for (int r = 0; r < CloudGridSize; ++r) {
      CloudVertexOut(CloudGrid[r][c]);
      CloudVertexOut(CloudGrid[r][c - 1]);
    }
    glEnd();
  }
}

// The same strips, with the same vertices in the same order, gathered into one array and drawn
// from it: one call a strip instead of three a vertex.
constexpr int CloudStripLength = 2 * CloudGridSize;
CloudVertex cloudStrips[CloudGridSize - 1][CloudStripLength];

void DrawCloudArrays() {
  for (int c = 1; c < CloudGridSize; ++c) {
    CloudVertex* strip = cloudStrips[c - 1];
    for (int r = 0; r < CloudGridSize; ++r) {
      strip[2 * r] = CloudGrid[r][c];
      strip[2 * r + 1] = CloudGrid[r][c - 1];
    }
  }
  const CloudVertex* v = &cloudStrips[0][0];
  constexpr GLsizei stride = sizeof(CloudVertex);
  glVertexPointer(3, GL_FLOAT, stride, &v->x);
  glTexCoordPointer(2, GL_FLOAT, stride, &v->s);
  glColorPointer(3, GL_FLOAT, stride, &v->red);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  for (int c = 0; c + 1 < CloudGridSize; ++c)
    glDrawArrays(GL_TRIANGLE_STRIP, c * CloudStripLength, CloudStripLength);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  // The current colour and texture coordinate as the vertex-by-vertex strips leave them.
  const CloudVertex& last = CloudGrid[CloudGridSize - 1][CloudGridSize - 2];
  glColor3f(last.red, last.green, last.blue);
  glTexCoord2f(last.s, last.t);
}

// The cheap sky reads each texture from the one mipmap level nearest the pixel's footprint instead
// of blending the two nearest: half the texel reads, which on a software renderer is most of the
// sky's cost. The picture moves by well under a grey level on average; single star pixels change
// most, where the level switches. The textures keep their trilinear filtering for everything else
// (the shock ring samples the cloud texture too).
void SampleNearestLevel(GLuint texture, bool nearest) {
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                  nearest ? GL_LINEAR_MIPMAP_NEAREST : GL_LINEAR_MIPMAP_LINEAR);
}

}  // namespace

void ResetSky() { sky = {}; }

void BuildSky() {
  const unsigned char* clouds = CloudImage();
  sky.cloudTexture = MakeMipmappedTexture(2, GL_LUMINANCE_ALPHA, clouds, false);

  if (StarsInUse() != 0) {
    const std::vector<unsigned char> stars = StarFieldTexels(StarsInUse());
    sky.starTexture = MakeMipmappedTexture(3, GL_RGB, stars.data(), false);
  }

  std::vector<unsigned char> horizon;
  int skyline[SkylineLength];
  sky.horizonPresent = MakeHorizon(clouds, horizon, skyline);
  if (sky.horizonPresent)
    sky.horizonTexture = MakeMipmappedTexture(3, GL_RGB, horizon.data(), true);

  if (StarsInUse() != 0) CompileStarDome();
  if (settings.cloudy != 0) BuildCloudGrid(AmbientInUse());
  if (sky.horizonPresent) CompileHorizonBand();
}

void UpdateClouds() {
  if (settings.cloudy == 0) return;
  sky.cloudScroll = AdvanceCloudScroll(sky.cloudScroll, WindInUse(), dt);
  ResetCloudGrid(sky.cloudScroll);
}

void DrawScenery() {
  const bool cheap = !referenceSkyDraw;
  glMatrixMode(GL_MODELVIEW);
  glDisable(GL_DEPTH_TEST);
  if (StarsInUse() != 0) {
    glDisable(GL_BLEND);
    if (cheap) SampleNearestLevel(sky.starTexture, true);
    glCallList(sky.starDome);
    if (cheap) SampleNearestLevel(sky.starTexture, false);
  }
  if (settings.cloudy != 0) {
    glPushMatrix();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (cheap) {
      SampleNearestLevel(sky.cloudTexture, true);
      DrawCloudArrays();
      SampleNearestLevel(sky.cloudTexture, false);
    } else {
      glBindTexture(GL_TEXTURE_2D, sky.cloudTexture);
      DrawCloudStrips();
    }
    glPopMatrix();
  }
  if (sky.horizonPresent) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    if (cheap) SampleNearestLevel(sky.horizonTexture, true);
    glCallList(sky.horizonBand);
    if (cheap) SampleNearestLevel(sky.horizonTexture, false);
  }
}

}  // namespace varenko
