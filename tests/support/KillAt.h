#pragma once

#include "runtime/CrashPoint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>

#include <sys/wait.h>
#include <unistd.h>

namespace orvane::test {

// A crash point and how often it is passed before the process dies there.
struct KillAt {
    const char *point;
    int nth;
};

// The copy has none of the parent's threads, so painting, which hands work to
// a thread pool, would wait for them for ever: it paints nothing.
class NoPainting : public QObject {
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        return event->type() == QEvent::Paint || event->type() == QEvent::UpdateRequest;
    }
};

// Runs `work` in a forked copy of this process that kills itself with SIGKILL
// the `nth` time it passes crash point `at.point`. True when it died there;
// false when `work` ran to its end. The copy must not share a connection the
// parent is using: open table objects only inside `work`.
inline bool diesAt(KillAt at, const std::function<void()> &work)
{
    static KillAt wanted;
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        wanted = at;
        if (QCoreApplication::instance())
            QCoreApplication::instance()->installEventFilter(new NoPainting);
        setCrashHook([](const char *point) {
            if (std::strcmp(point, wanted.point) == 0 && --wanted.nth == 0)
                std::raise(SIGKILL);
        });
        work();
        std::fflush(nullptr);
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

} // namespace orvane::test
