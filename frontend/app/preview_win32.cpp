// Placeholder until the preview window lands.
#include "frontend/app/preview.h"

namespace varenko {

void RunPreview(std::intptr_t) {}

}  // namespace varenko
