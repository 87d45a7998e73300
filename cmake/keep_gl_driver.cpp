// Linked into the sanitizer build's OpenGL programs only: loads Mesa's software driver at start
// and keeps it loaded to the end. Mesa unloads the driver when the display closes, and the leak
// check at exit then reports the driver's own unfreed memory from an unknown module, which no
// suppression can name. Kept loaded, what the driver holds is still reachable at exit, and
// tools/lsan.supp can name anything it does leak.
#include <dlfcn.h>

namespace {

const bool driverKept =
    dlopen(VARENKO_MESA_DRIVER, RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE) != nullptr;

}  // namespace
