#pragma once

#include <qorOrvaneUI/runtime/Recordset.h>

#include <QString>

#include <utility>

namespace orvane::ext {
class ITableObject;
} // namespace orvane::ext

namespace orvane::ui {

// What both waits share: a look at the answer rows every five seconds, the
// count of looks, Cancel offered from the fourth, and a failing look told
// once (a database that is gone would otherwise bring a box every five
// seconds) until a look works again. Headless: a view drives it from its
// timer, a test or a workstation without a screen calls tick() itself.
class Poller {
public:
    static constexpr int IntervalMs = 5000;
    static constexpr int CancelFromTick = 4;

    // One look: counts it, runs `look`, and forgets a told failure when
    // `look` reported none through failed().
    template <class Look> void tick(Look &&look)
    {
        ++ticks_;
        failedNow_ = false;
        std::forward<Look>(look)();
        if (!failedNow_)
            failing_ = false;
    }

    // A failure of the look under way (call from its catch block): `tell`
    // runs unless the last look failed too and was told.
    template <class Tell> void failed(Tell &&tell) noexcept
    {
        failedNow_ = true;
        if (failing_)
            return;
        failing_ = true;
        std::forward<Tell>(tell)();
    }

    int ticks() const { return ticks_; }
    // A wait that goes on can be abandoned from the fourth look, even when
    // that look failed.
    bool cancelDue() const { return ticks_ >= CancelFromTick; }

    // Marks the rows from the current one on read in one save: true when
    // they became this workstation's answer, false when another workstation
    // marked them first (the answer is then that one's to show).
    static bool claim(ext::ITableObject &table, Recordset rows, const QString &flag);

private:
    int ticks_ = 0;
    bool failing_ = false;   // the last look failed, and that was told
    bool failedNow_ = false; // the look under way failed
};

} // namespace orvane::ui
