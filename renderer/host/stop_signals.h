// SIGTERM and SIGINT for the Linux renderer, taken by a watcher thread of normal priority: the
// renderer's own thread runs at the least priority there is, and under load it may wait long for
// a share of the processor, so it must not be the one that has to notice a signal.
#pragma once

#include <atomic>

namespace varenko {

// Set once SIGTERM or SIGINT arrived: the loop ends and the program shuts down cleanly.
extern std::atomic<bool> stopRequested;

// How long the watcher leaves the renderer's thread to shut down cleanly before it ends the
// process with status 0 itself (the kernel and the X server reclaim what it holds). A thread at
// the least priority that is busy with a frame on a loaded machine may not run again for a few
// hundred milliseconds, so it gets no grace at all; one that sleeps between frames wakes at once.
inline constexpr double StopGraceWaitingSeconds = 0.05;
// The grace while the shutdown has output to write (a pending --screenshot or --stats line).
inline constexpr double StopGraceWritingSeconds = 10.0;

// Blocks the two signals in the calling thread and in every thread started after it, and starts
// the watcher. Call it first, before any library starts threads of its own. False when the
// watcher could not start; a plain handler then sets the flag.
bool StartStopWatcher();

// Readable from the moment a stop was requested (for poll); -1 without a watcher.
int StopWakeFd();

// Whether the shutdown has output to write, which lengthens the watcher's grace.
void SetStopOutputPending(bool pending);

// Set while the loop sleeps until its next frame is due.
void SetLoopWaiting(bool waiting);

// The clean shutdown is over: the watcher leaves the ending of the process to it.
void MarkStopFinished();

}  // namespace varenko
