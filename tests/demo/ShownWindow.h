#pragma once

#include "host/HostInvoice.h"
#include "host/ReferenceHost.h"
#include "host/ShopDatabase.h"

#include <QSqlQuery>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace demotest {

// The offscreen platform says, as a warning, what it cannot do for a shown
// window (size hints, keyboard grabs of menus); those are no faults of the
// window under test. Everything else still fails the test.
class OffscreenQuiet {
public:
    OffscreenQuiet() { previous() = qInstallMessageHandler(filter); }
    ~OffscreenQuiet() { qInstallMessageHandler(previous()); }
    OffscreenQuiet(const OffscreenQuiet &) = delete;
    OffscreenQuiet &operator=(const OffscreenQuiet &) = delete;

private:
    static QtMessageHandler &previous()
    {
        static QtMessageHandler handler = nullptr;
        return handler;
    }
    static void filter(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        if (text.startsWith(QStringLiteral("This plugin does not support")))
            return;
        if (previous())
            previous()(type, context, text);
    }
};

// Shows `w` and makes it the active window, so its shortcuts and menus answer keys.
inline void showActive(QWidget *w)
{
    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
}

// The first value the shop's database answers `sql` with; none without rows.
inline QVariant shopValue(orvane::host::ReferenceHost &host, const QString &sql,
                          const QVariantList &params = {})
{
    QSqlQuery q = host.database().exec(sql, params);
    QVariant v = q.next() ? q.value(0) : QVariant();
    q.finish();
    return v;
}

// The text of `field` as the host stores it for order `id`.
inline QString storedText(orvane::host::ReferenceHost &host, const orvane::Value &id,
                          const QString &field)
{
    return host.openOrder(id)->itemsrecordset().value(field).toText();
}

} // namespace demotest
