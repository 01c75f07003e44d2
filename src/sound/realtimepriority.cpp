#include "realtimepriority.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QVariant>

#include <sched.h>
#include <sys/resource.h>

#include <algorithm>

namespace chordmoss {

namespace {

// Above every ordinary thread, which is all a sound client needs, and below
// the sound server's own threads (PulseAudio takes 5), which must run first.
constexpr int kPriority = 4;
// A raised, not real-time, thread: the brokers' usual floor.
constexpr int kNice = -11;

bool setRealtime(pid_t tid)
{
    // A user granted a real-time limit below ours gets as much as the limit.
    rlimit limit{};
    int priority = kPriority;
    if (getrlimit(RLIMIT_RTPRIO, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur > 0)
        priority = std::min<int>(priority, int(limit.rlim_cur));
    sched_param param{};
    param.sched_priority = priority;
    // Not inherited by a program this one starts.
    return sched_setscheduler(tid, SCHED_RR | SCHED_RESET_ON_FORK, &param) == 0;
}

/// Asks RealtimeKit over the system bus for real-time, then for a raised
/// priority; Normal where there is no bus, no broker, or it says no.
ThreadPriority askBroker(pid_t tid)
{
    if (!QCoreApplication::instance()) // the bus needs Qt's application object
        return ThreadPriority::Normal;
    const QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return ThreadPriority::Normal;
    const QString service = QStringLiteral("org.freedesktop.RealtimeKit1");
    const QString path = QStringLiteral("/org/freedesktop/RealtimeKit1");
    QDBusInterface props(service, path, QStringLiteral("org.freedesktop.DBus.Properties"), bus);
    const auto property = [&](const char* name) {
        const QDBusReply<QVariant> r = props.call(QStringLiteral("Get"), service, QString::fromLatin1(name));
        return r.isValid() ? r.value().toLongLong() : -1;
    };
    QDBusInterface kit(service, path, service, bus);
    // A broker that does not answer must not hold up the first notes long.
    props.setTimeout(500);
    kit.setTimeout(500);
    // The broker only serves a process that has capped the CPU time its
    // real-time threads may take without sleeping (the kernel stops a
    // runaway one): at most the broker's own cap.
    const long long maxPriority = property("MaxRealtimePriority"), maxRtTime = property("RTTimeUSecMax");
    if (maxPriority > 0 && maxRtTime > 0) {
        const rlim_t cap = rlim_t(std::min(maxRtTime, 200000LL));
        const rlimit limit{cap, cap};
        if (setrlimit(RLIMIT_RTTIME, &limit) == 0
            && kit.call(QStringLiteral("MakeThreadRealtime"), quint64(tid), quint32(std::min<long long>(kPriority, maxPriority)))
                       .type()
                   == QDBusMessage::ReplyMessage)
            return ThreadPriority::Realtime;
    }
    if (kit.call(QStringLiteral("MakeThreadHighPriority"), quint64(tid), qint32(kNice)).type() == QDBusMessage::ReplyMessage)
        return ThreadPriority::Raised;
    return ThreadPriority::Normal;
}

} // namespace

ThreadPriority raiseAudioThread(pid_t tid)
{
    if (tid <= 0)
        return ThreadPriority::Normal;
    if (setRealtime(tid))
        return ThreadPriority::Realtime;
    const ThreadPriority brokered = askBroker(tid);
    if (brokered != ThreadPriority::Normal)
        return brokered;
    return setpriority(PRIO_PROCESS, id_t(tid), kNice) == 0 ? ThreadPriority::Raised : ThreadPriority::Normal;
}

bool raiseThisThread() { return setRealtime(0); }

const char* priorityName(ThreadPriority p)
{
    return p == ThreadPriority::Realtime ? "real-time" : p == ThreadPriority::Raised ? "raised" : "normal";
}

} // namespace chordmoss
