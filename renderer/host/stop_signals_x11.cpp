// The watcher thread that turns SIGTERM and SIGINT into the loop's stop flag, and ends the process
// itself when the clean shutdown cannot finish within a short grace.
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cmath>
#include <ctime>

#include "renderer/host/stop_signals.h"

namespace varenko {

std::atomic<bool> stopRequested{false};

namespace {

int wakePipe[2] = {-1, -1};
std::atomic<bool> outputPending{false};
std::atomic<bool> loopWaiting{false};
std::atomic<bool> finished{false};
sigset_t stopSignals;
pid_t rendererThread = 0;  // the thread that started the watcher and runs the loop

// Gives the renderer's thread its normal priority back where the system allows it (a privileged
// user, or a nice limit that reaches 0), so that it is not left waiting for a share of the
// processor while it ends. Elsewhere this changes nothing.
void RestoreRendererPriority() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NICE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NICE, &limit);
  }
  setpriority(PRIO_PROCESS, static_cast<id_t>(rendererThread), 0);
}

void SleepSeconds(double seconds) {
  const double whole = std::floor(seconds);
  timespec wait = {static_cast<time_t>(whole), static_cast<long>((seconds - whole) * 1e9)};
  while (nanosleep(&wait, &wait) != 0) {
  }
}

// Without a watcher: the flag alone, seen when the renderer's thread comes to look.
extern "C" void OnStopSignal(int) { stopRequested = true; }

extern "C" void* WatchStopSignals(void*) {
  int signal = 0;
  while (sigwait(&stopSignals, &signal) != 0) {
  }
  stopRequested = true;
  RestoreRendererPriority();
  const char byte = 1;
  if (write(wakePipe[1], &byte, 1) < 0) {
    // The loop also checks the flag between its waits; it only wakes later.
  }
  const double grace = outputPending ? StopGraceWritingSeconds
                       : loopWaiting ? StopGraceWaitingSeconds
                                     : 0.0;
  if (grace > 0.0) SleepSeconds(grace);
  if (!finished) _exit(0);
  for (;;) pause();  // the main thread is ending the process
}

}  // namespace

bool StartStopWatcher() {
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  rendererThread = static_cast<pid_t>(syscall(SYS_gettid));
  if (pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) wakePipe[0] = wakePipe[1] = -1;
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
  pthread_t thread;
  const bool started = pthread_create(&thread, &attributes, WatchStopSignals, nullptr) == 0;
  pthread_attr_destroy(&attributes);
  if (!started) {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a blocking call returns and the loop sees the flag
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    pthread_sigmask(SIG_UNBLOCK, &stopSignals, nullptr);
  }
  return started;
}

int StopWakeFd() { return wakePipe[0]; }

void SetStopOutputPending(bool pending) { outputPending = pending; }

void SetLoopWaiting(bool waiting) { loopWaiting = waiting; }

void MarkStopFinished() { finished = true; }

}  // namespace varenko
