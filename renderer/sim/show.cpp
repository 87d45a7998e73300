// The simulation step of one frame: smoke refresh, launches, the update pass over every live
// particle (including those born during it), the far-to-near sort, and the peak particle count.
#include "renderer/sim/show.h"

#include <algorithm>

#include "renderer/sim/director.h"
#include "renderer/sim/pool.h"
#include "renderer/sim/saver_settings.h"
#include "renderer/sim/update.h"

namespace varenko {

int forcedBurstKind = -1;

namespace {

bool firstFrame = true;
int peakLive = 0;

}  // namespace

void StepSimulation() {
  if (firstFrame) {
    firstFrame = false;
    smokeGrey = static_cast<float>(settings.ambientLevel) * 0.01f;
    StartDirector();
  }
  RefreshSmoke();
  LaunchStep();

  // Records allocated during the pass are taken at the cursor, beyond the one being updated, so
  // this walk reaches them in the frame of their birth. A record freed here is the one just
  // visited; the walk ends at the first free record that was never handed out. The scratch
  // record of a full pool is not in the list, so a pass cannot go on for ever.
  director.shellsInFlight = 0;
  int live = 0;
  for (PoolNode* n = pool.sentinel.next; n != &pool.sentinel && n->particle.depthKey > FreeKey;
       n = n->next) {
    Particle& p = n->particle;
    UpdateParticle(p);
    if (p.kind == Shell) ++director.shellsInFlight;
    ComputeDepthKey(p);
    if (p.lifeFrac <= 0.0f || p.pos.y < 0.0f) EndOfLife(p);
    if (p.depthKey > FreeKey) ++live;
  }

  MaintainPool();
  peakLive = std::max(peakLive, live);
}

int PeakLiveParticles() { return peakLive; }

}  // namespace varenko
