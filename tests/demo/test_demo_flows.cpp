// The demo's main window driven as staff drive it: menus by keyboard, the
// library's views played through the scripted Ui, the network simulator and
// the views' timers advanced by calling them. After each step the rows in the
// shop database are checked. Every flow runs on the demo's own layout (host
// and staging tables in one SQLite file) and with the shop on PostgreSQL.
#include "demo/ShownWindow.h"
#include "loss/LossFixture.h"
#include "orvane-demo/DemoMainWindow.h"
#include "qorOrvaneUI/authorization/Authoriizewaitfrm.h"
#include "qorOrvaneUI/authorization/AuthorizationShowfrm.h"
#include "qorOrvaneUI/authorization/Authorizationfrm.h"
#include "qorOrvaneUI/dispatch/Comparersfrm.h"
#include "qorOrvaneUI/loss/Coveragefrm.h"
#include "qorOrvaneUI/loss/eNOLwaitfrm.h"
#include "transport/TransportFixture.h"
#include <qorOrvaneUI/transport/NetworkSimulator.h>

#include <QApplication>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QMenu>
#include <QSqlDriver>
#include <QTableView>
#include <QTimeEdit> // the loss suite's helpers use it without including it

#include <sqlite3.h>

using orvane::authorization::Authoriizewaitfrm;
using orvane::authorization::Authorizationfrm;
using orvane::authorization::AuthorizationShowfrm;
using orvane::dispatch::Comparersfrm;
using orvane::loss::Coveragefrm;
using orvane::loss::eNOLfrm;
using orvane::loss::eNOLwaitfrm;

using namespace Qt::StringLiterals;
using orvane::transport::test::Db;

namespace {

// Statements left active on one connection to the shop file while another
// connection committed: each of them held the file against that write.
QStringList heldStatements;

// The SQLite handle of an open connection; none for any other.
sqlite3 *handleOf(const QSqlDatabase &db)
{
    if (!db.isOpen())
        return nullptr;
    const QVariant h = db.driver()->handle();
    return qstrcmp(h.typeName(), "sqlite3*") == 0 ? *static_cast<sqlite3 *const *>(h.constData())
                                                  : nullptr;
}

int onCommit(void *writerHandle)
{
    auto *writer = static_cast<sqlite3 *>(writerHandle);
    for (const QString &name : QSqlDatabase::connectionNames()) {
        sqlite3 *other = handleOf(QSqlDatabase::database(name, false));
        if (!other || other == writer ||
            qstrcmp(sqlite3_db_filename(other, "main"), sqlite3_db_filename(writer, "main")) != 0)
            continue;
        for (sqlite3_stmt *s = sqlite3_next_stmt(other, nullptr); s;
             s = sqlite3_next_stmt(other, s))
            if (sqlite3_stmt_busy(s))
                heldStatements << QString::fromUtf8(sqlite3_sql(s));
    }
    return 0; // the commit goes ahead; the test reports what would have held it
}

int watchConnection(sqlite3 *db, const char **, const sqlite3_api_routines *)
{
    sqlite3_commit_hook(db, onCommit, db);
    return SQLITE_OK;
}

} // namespace

// The shop's database is the demo's own SQLite file, or a fresh database on
// the PostgreSQL test server.
class DemoFlows : public orvane::transport::test::TransportTest {
protected:
    void SetUp() override
    {
        // Every connection opened from now on is watched.
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(watchConnection));
        heldStatements.clear();
        TransportTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        orvane::host::ReferenceHost::Settings settings;
        if (postgres())
            settings.shopConnection = connection_;
        host_ = orvane::host::ReferenceHost::open(dir_.path() + u"/data/"_s,
                                                  dir_.path() + u"/nags/"_s, settings);
        host_->seedDemo();
        window_ = std::make_unique<DemoMainWindow>(host_);
        window_->resize(1280, 800);
        demotest::showActive(window_.get());
        network_ = std::make_unique<orvane::transport::NetworkSimulator>(host_->env());
    }

    // No reader kept the shop's writes waiting: no statement stayed active
    // across another connection's commit, no transaction stayed open.
    void checkNothingHeld()
    {
        EXPECT_TRUE(heldStatements.isEmpty())
            << "active across a write: " << heldStatements.join(u" | "_s).toStdString();
        heldStatements.clear();
        for (const QString &name : QSqlDatabase::connectionNames()) {
            if (sqlite3 *h = handleOf(QSqlDatabase::database(name, false))) {
                EXPECT_NE(sqlite3_get_autocommit(h), 0)
                    << "transaction open on " << name.toStdString();
            }
        }
        if (postgres()) {
            EXPECT_EQ(rows(u"pg_stat_activity"_s, u"datname = current_database() AND state LIKE "
                                                  u"'idle in transaction%'"_s),
                      0);
        }
    }

    // The rows of `table` that match `where`.
    qlonglong rows(const QString &table, const QString &where, const QVariantList &params = {})
    {
        return demotest::shopValue(
                   *host_, u"SELECT COUNT(*) FROM "_s % table % u" WHERE "_s % where, params)
            .toLongLong();
    }

    // An item of the Orvane menu (through its submenus), picked by its
    // underlined letters as staff would from the keyboard.
    void orvaneMenu(const QString &letters)
    {
        demotest::showActive(window_.get()); // back from the last dialog
        QTest::keyClick(window_.get(), Qt::Key_O, Qt::AltModifier);
        for (const QChar letter : letters) {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            ASSERT_TRUE(menu) << "no menu open for " << letter.toLatin1();
            QTest::keyClick(menu, letter.toLatin1());
        }
    }

    template <class View> void on(std::function<void(View *)> play)
    {
        ui_->onDialog([play](QDialog *d) {
            auto *view = dynamic_cast<View *>(d);
            ASSERT_TRUE(view) << "shown: " << d->objectName().toStdString();
            play(view);
        });
    }

    QString counters() { return window_->counterText(); }

    demotest::OffscreenQuiet quiet_;
    orvane::test::ScopedScriptedUi ui_;
    std::shared_ptr<orvane::host::ReferenceHost> host_;
    std::unique_ptr<DemoMainWindow> window_;
    std::unique_ptr<orvane::transport::NetworkSimulator> network_;
};

// Part authorization answered while the wait is open, or after staff
// cancelled it and opened the answer from the menu; either way the order is
// stored with the confirmation codes and the answer is read.
TEST_P(DemoFlows, AuthorizationAnswerReachesTheStoredOrder)
{
    for (const bool cancelFirst : {false, true}) {
        SCOPED_TRACE(cancelFirst ? "wait cancelled" : "answer awaited");
        const int id = cancelFirst ? 3 : 1;
        window_->openOrder(id);
        // The moulding and the kit (the first two rows) asked for.
        on<Authorizationfrm>([](Authorizationfrm *view) {
            orvane::RecordsetModel *m = view->authModel();
            ASSERT_GE(m->rowCount(), 2);
            for (int row : {0, 1})
                m->setData(m->index(row, Authorizationfrm::colAuthorize), Qt::Checked,
                           Qt::CheckStateRole);
            m->setData(m->index(1, Authorizationfrm::colRequestDesc), u"Urethane kit"_s);
            m->setData(m->index(1, Authorizationfrm::colRequestExplanation), u"Long body"_s);
            QTest::mouseClick(view->cmdBuild, Qt::LeftButton);
        });
        on<Authoriizewaitfrm>([&](Authoriizewaitfrm *wait) {
            if (cancelFirst) {
                for (int tick = 0; tick < 4; ++tick)
                    wait->tmrAuthResponse_Timer();
                QTest::mouseClick(wait->cmdCancel, Qt::LeftButton);
                return;
            }
            network_->runOnce();
            wait->tmrAuthResponse_Timer();
        });
        on<AuthorizationShowfrm>([](AuthorizationShowfrm *results) {
            QTest::mouseClick(results->cmdAction, Qt::LeftButton);
        });
        orvaneMenu(u"p"_s);
        if (cancelFirst) {
            network_->runOnce();
            window_->refreshCounters(); // the host's counter timer
            EXPECT_TRUE(counters().contains(u"Unread authorizations: 2"_s))
                << counters().toStdString();
            orvaneMenu(u"a"_s); // Show Authorization Answer
        }
        EXPECT_TRUE(ui_->boxes().empty()) << ui_->boxes().front().text.toStdString();
        EXPECT_EQ(rows(u"invline"_s, u"idnumber = ? AND conf LIKE 'AC%'"_s, {id}), 2);
        EXPECT_EQ(rows(u"g_ackn"_s, u"daskid = ? AND ack = ?"_s,
                       {id, orvane::host::ShopDatabase::toSql(orvane::Value(false),
                                                              orvane::host::ColumnKind::Bool)}),
                  0);
        EXPECT_FALSE(window_->hasUnsavedEdits());
        // The order stays highlighted in the list and its lines show their codes.
        const QModelIndexList selected = window_->ordersView()->selectionModel()->selectedRows();
        ASSERT_EQ(selected.size(), 1);
        EXPECT_EQ(selected.front().data().toInt(), id);
        const QAbstractItemModel *lines = window_->linesView()->model();
        int shownCodes = 0;
        for (int row = 0; row < lines->rowCount(); ++row)
            shownCodes +=
                lines->index(row, lines->columnCount() - 1).data().toString().startsWith(u"AC"_s);
        EXPECT_EQ(shownCodes, 2);
        EXPECT_TRUE(counters().contains(u"Unread authorizations: 0"_s)) << counters().toStdString();
        checkNothingHeld();
    }
}

// The loss notice followed to the end in one wait, or cancelled and resumed
// from the menu once the insurer's answer has arrived and been counted.
TEST_P(DemoFlows, LossNoticeEndsWithTheDispatchLinkedAndStored)
{
    for (const bool cancelFirst : {false, true}) {
        SCOPED_TRACE(cancelFirst ? "wait cancelled" : "answers awaited");
        const int id = cancelFirst ? 1 : 2;
        window_->openOrder(id);
        auto followToTheEnd = [&](eNOLwaitfrm *wait) {
            if (wait->mode() == 0) {
                network_->runOnce();
                wait->tmrAuthResponse_Timer(); // the confirmation
            }
            ASSERT_EQ(wait->mode(), 1);
            on<Coveragefrm>(losstest::answerCoverage<Coveragefrm>);
            wait->tmrAuthResponse_Timer(); // the coverage request
            ASSERT_EQ(wait->mode(), 2);
            network_->runOnce();
            wait->tmrAuthResponse_Timer(); // the loss acknowledgement
            on<Comparersfrm>([](Comparersfrm *compare) {
                QTest::mouseClick(compare->cmdAction[0], Qt::LeftButton);
            });
            wait->tmrAuthResponse_Timer(); // the dispatch, compared and linked
            EXPECT_TRUE(wait->ended());
        };
        on<eNOLfrm>([&](eNOLfrm *view) {
            losstest::fillValid(view);
            on<eNOLwaitfrm>([&](eNOLwaitfrm *wait) {
                if (cancelFirst)
                    QTest::keyClick(wait, Qt::Key_Escape);
                else
                    followToTheEnd(wait);
            });
            QTest::mouseClick(view->cmdAction[0], Qt::LeftButton);
        });
        orvaneMenu(u"ls"_s); // Notice of Loss, Send Loss Notice

        if (cancelFirst) {
            network_->runOnce();
            window_->refreshCounters(); // the host's counter timer
            EXPECT_TRUE(counters().contains(u"Loss notice answers: 1"_s))
                << counters().toStdString();
            on<QInputDialog>([](QInputDialog *ask) {
                ask->setTextValue(u"ENOL"_s);
                ask->accept();
            });
            on<eNOLwaitfrm>(followToTheEnd);
            orvaneMenu(u"la"_s); // Notice of Loss, Loss Notice Answers
        }
        EXPECT_TRUE(ui_->boxes().empty()) << ui_->boxes().front().text.toStdString();
        const QString dispatch =
            demotest::shopValue(
                *host_, u"SELECT recid FROM g_trans WHERE rectype = 'DISPATCH' AND daskid = ?"_s,
                {id})
                .toString();
        EXPECT_FALSE(dispatch.isEmpty());
        EXPECT_EQ(demotest::storedText(*host_, id, u"dispatch"_s), dispatch);
        EXPECT_EQ(window_->editorFor(u"dispatch"_s)->text(), dispatch);
        const QModelIndexList listed = window_->ordersView()->selectionModel()->selectedRows(5);
        ASSERT_EQ(listed.size(), 1);
        EXPECT_EQ(listed.front().data().toString(), dispatch);
        EXPECT_FALSE(window_->hasUnsavedEdits());
        window_->refreshCounters();
        EXPECT_TRUE(counters().contains(u"Loss notice answers: 0"_s)) << counters().toStdString();
        checkNothingHeld();
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, DemoFlows, ::testing::Values(Db::SQLite, Db::PostgreSQL),
                         orvane::transport::test::backendName);
