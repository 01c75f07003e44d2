#pragma once
// Real-time scheduling for the thread that feeds the sound device, asked for
// as desktop audio programs ask: directly where the process may (root, or a
// real-time limit, RLIMIT_RTPRIO, granted to the user), else through the
// desktop's real-time broker (RealtimeKit, on the system D-Bus), else a
// raised priority, else nothing. Any thread of this process may ask for
// another: the mixing thread itself never waits on the broker.
#include <sys/types.h>

namespace chordmoss {

enum class ThreadPriority { Normal, Raised, Realtime };

/// Raises thread `tid` of this process as far as the system allows; returns
/// what it got.
ThreadPriority raiseAudioThread(pid_t tid);

/// Makes the calling thread real-time where the process may do so itself
/// (root, or a real-time limit): one system call, no broker, no waiting.
bool raiseThisThread();

/// "normal", "raised" or "real-time".
const char* priorityName(ThreadPriority p);

} // namespace chordmoss
