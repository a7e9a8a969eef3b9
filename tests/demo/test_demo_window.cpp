#include "demo/ShownWindow.h"
#include "host/HostEnvironment.h"
#include "host/HostErrorClass.h"
#include "orvane-demo/DemoMainWindow.h"
#include "orvane-demo/SettingsDialog.h"
#include "qorOrvaneUI/authorization/AuthorizationShowfrm.h"
#include "support/DemoShopTest.h"
#include <qorOrvaneUI/external/IOptions.h>

#include <QAction>
#include <QFile>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>

using orvane::authorization::AuthorizationShowfrm;

using namespace Qt::StringLiterals;

using DemoWindow = orvane::test::DemoShopTest;

// An edit saved through the host; an entry holds no more than its field.
TEST_F(DemoWindow, EditsAnOrderThroughTheHostWithinTheFieldSizes)
{
    DemoMainWindow window(host_);
    window.openOrder(1);
    window.editorFor(u"s_last"_s)->setText(u"  Okafor  "_s);
    ASSERT_TRUE(window.saveOrder()) << boxTexts().join(u'\n').toStdString();
    EXPECT_EQ(demotest::storedText(*host_, 1, u"s_last"_s), u"Okafor"_s);

    // Staff see the limit while typing; letters never reach a phone number.
    window.editorFor(u"s_state"_s)->clear();
    QTest::keyClicks(window.editorFor(u"s_state"_s), u"Oregon"_s);
    EXPECT_EQ(window.editorFor(u"s_state"_s)->text(), u"Or"_s);
    window.editorFor(u"s_phone2"_s)->clear();
    QTest::keyClicks(window.editorFor(u"s_phone2"_s), u"555O123"_s);
    EXPECT_EQ(window.editorFor(u"s_phone2"_s)->text(), u"555123"_s);
}

// A new shop has its staging tables, counts "0" and holds the network's ID lists;
// what waits to be sent is counted from the outgoing rows.
TEST_F(DemoWindow, ANewShopCountsAndListsFromTheStart)
{
    const auto env = host_->env();
    const QString ini = env->data_path() + u"Orvane.ini"_s;
    DemoMainWindow window(host_);
    EXPECT_EQ(env->Options()->readinistring(u"Orvane"_s, u"Acknowledgements"_s, ini), u"0"_s);
    auto count = [&](const QString &sql) { return demotest::shopValue(*host_, sql).toInt(); };
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM g_inscoid WHERE destpid = 'RPID00417' AND origpid IN "
                    u"(SELECT Origid FROM g_oidlist)"_s),
              3);
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM g_insid WHERE billtoid = 1"_s), 1);

    host_->database().exec(u"INSERT INTO g_trans (guid, rectype, recid, xml, processed, daskid, "
                           u"daskloc) VALUES ('G1', 'AUTHREQ', 'S1', '<x/>', ?, 1, 1)"_s,
                           {false});
    env->Options()->writeinistring(u"Orvane"_s, u"SendTrans"_s, u"1"_s, ini);
    EXPECT_TRUE(window.counterText().contains(u"Queued to send: 1"_s));
    host_->database().exec(u"UPDATE g_trans SET processed = ?"_s, {true});
    EXPECT_TRUE(window.counterText().contains(u"Queued to send: 0"_s));

    // The settings write the report folder, as a folder.
    SettingsDialog dialog(env);
    dialog.reportPath()->setText(u"/srv/reports"_s);
    ASSERT_TRUE(dialog.apply());
    EXPECT_EQ(
        env->Options()->readinistring(u"Defaults"_s, u"ReportPath"_s, env->Options()->dask_ini()),
        u"/srv/reports/"_s);
}

TEST_F(DemoWindow, UnsavedEditsAreOfferedForSavingAndErrorsSpeakTheShopsWords)
{
    using orvane::MsgResult;
    DemoMainWindow window(host_);
    auto idOf = [&] { return window.currentOrder()->itemsrecordset().value(u"idnumber"_s); };
    window.openOrder(1);
    window.editorFor(u"s_last"_s)->setText(u"Changed"_s);

    ui_->answer(MsgResult::Cancel); // stays, edit and all
    window.openOrder(2);
    EXPECT_EQ(idOf().toInt32(), 1);
    EXPECT_EQ(window.editorFor(u"s_last"_s)->text(), u"Changed"_s);
    ui_->answer(MsgResult::No); // drops the edit
    window.openOrder(2);
    EXPECT_EQ(idOf().toInt32(), 2);
    EXPECT_EQ(demotest::storedText(*host_, 1, u"s_last"_s), u"Morgan"_s);
    window.editorFor(u"s_city"_s)->setText(u"Salem"_s);
    ui_->answer(MsgResult::Yes); // saves, then starts the new order
    window.newOrder();
    EXPECT_TRUE(window.currentOrder()->isNew());
    EXPECT_EQ(demotest::storedText(*host_, 2, u"s_city"_s), u"Salem"_s);
    window.newOrder(); // nothing edited: no question
    EXPECT_EQ(ui_->boxes().size(), 3u);

    // The shop reads what is wrong and what to do; the log keeps the technical detail.
    window.editorFor(u"deductible"_s)->setText(u"abc"_s);
    EXPECT_FALSE(window.saveOrder());
    EXPECT_TRUE(ui_->boxes().back().text.startsWith(u"Deductible must be a number"_s));
    EXPECT_FALSE(ui_->boxes().back().text.contains(host_->env()->hostErrorClass()->logFile()));
    ui_->answer(MsgResult::No);
    window.openOrder(99);
    EXPECT_TRUE(ui_->boxes().back().text.startsWith(u"There is no order 99"_s));
    QFile log(host_->env()->hostErrorClass()->logFile());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray logged = log.readAll();
    EXPECT_TRUE(logged.contains("\t13\t0\tType mismatch")) << logged.toStdString();

    // What the library writes into the open order is a change too: Quit asks.
    ui_->answer(MsgResult::No);
    window.openOrder(1);
    demotest::OffscreenQuiet quiet;
    demotest::showActive(&window);
    window.currentOrder()->itemsrecordset().setValue(u"dispatch"_s, u"D-SIM-000001"_s);
    EXPECT_TRUE(window.hasUnsavedEdits());
    const size_t asked = ui_->boxes().size();
    ui_->answer(MsgResult::Yes);
    QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
    ASSERT_EQ(ui_->boxes().size(), asked + 1);
    EXPECT_EQ(ui_->boxes().back().title, u"Save changes?"_s);
    EXPECT_EQ(demotest::storedText(*host_, 1, u"dispatch"_s), u"D-SIM-000001"_s);
}

TEST_F(DemoWindow, ReceivedDispatchesShowTheOrderTheyAreLinkedTo)
{
    orvane::transport::Clsg_trans staging; // creates the staging tables
    staging.setEnv(host_->env());
    QFile mobile(QStringLiteral(ORVANE_SAMPLES_DIR "/dispatch/mobile-eschedule.xml"));
    ASSERT_TRUE(mobile.open(QIODevice::ReadOnly));
    const QString xml = QString::fromUtf8(mobile.readAll());
    for (const QVariantList &row :
         {QVariantList{u"D-2026-000000118734"_s, 1}, QVariantList{u"D-2026-000000118735"_s, 0}})
        host_->database().exec(
            u"INSERT INTO g_trans (guid, rectype, recid, xml, processed, daskid, daskloc) "
            u"VALUES (?, 'DISPATCH', ?, ?, 0, ?, 1)"_s,
            {row[0].toString().right(12), row[0], xml, row[1]});
    host_->database().exec(u"UPDATE invoice SET dispatch = ? WHERE idnumber = 1"_s,
                           {u"D-2026-000000118734"_s});
    host_->database().exec(u"UPDATE invoice SET s_last = ? WHERE idnumber = 2"_s,
                           {u"Van Der Westhuizen-Okonkwo Jr."_s});
    DemoMainWindow window(host_);
    const QAbstractItemModel *list = window.dispatchView()->model();
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->index(0, 2).data().toString(), u"Order 1 (quote)"_s);
    // The whole number is readable.
    const QFontMetrics metrics(window.dispatchView()->font());
    EXPECT_GE(window.dispatchView()->columnWidth(0),
              metrics.horizontalAdvance(u"D-2026-000000118734"_s));
    // The order list keeps its Total in sight beside a long dispatch number.
    const auto *splitter = qobject_cast<QSplitter *>(window.centralWidget());
    ASSERT_TRUE(splitter);
    EXPECT_GT(splitter->widget(0)->minimumWidth(),
              window.ordersView()->horizontalHeader()->length());
    // ... and a long name does not widen it at the order form's cost.
    EXPECT_LE(window.ordersView()->columnWidth(2), 180);
    EXPECT_EQ(window.ordersView()->model()->index(1, 2).data(Qt::ToolTipRole).toString(),
              u"Van Der Westhuizen-Okonkwo Jr."_s);

    // From the order list, Ctrl+Tab reaches the dispatches; Enter on a row
    // opens its report; a linked row can be unlinked, order and all.
    demotest::OffscreenQuiet quiet;
    demotest::showActive(&window);
    window.ordersView()->setFocus();
    QTest::keyClick(window.ordersView(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(window.tabs()->currentIndex(), 1);
    window.dispatchView()->setFocus();
    window.dispatchView()->setCurrentIndex(list->index(0, 0));
    for (int shown = 0; shown < 2; ++shown) // the report, then the mobile appointment
        ui_->onDialog([](QDialog *d) { d->reject(); });
    QTest::keyClick(window.dispatchView(), Qt::Key_Return);
    ASSERT_EQ(ui_->dialogsShown().size(), 2u) << boxTexts().join(u'\n').toStdString();
    auto *unlink = window.findChild<QPushButton *>(u"cmdUnlinkDispatch"_s);
    ASSERT_TRUE(unlink && unlink->isEnabled());
    ui_->answer(orvane::MsgResult::Yes);
    QTest::mouseClick(unlink, Qt::LeftButton);
    ASSERT_FALSE(ui_->boxes().empty());
    EXPECT_EQ(ui_->boxes().back().defaultButton, orvane::MsgResult::No);
    EXPECT_EQ(list->index(0, 2).data().toString(), QString());
    EXPECT_EQ(demotest::shopValue(*host_, u"SELECT COALESCE(dispatch, '') FROM invoice WHERE "
                                          u"idnumber = 1"_s),
              QVariant(QString()));
}

// OK in an answer shown from the menu stores what was taken while the menu's
// own look-up of the answer is over: nothing holds the shop's file meanwhile.
TEST_F(DemoWindow, ShowAuthorizationAnswerRecordsWhatWasTaken)
{
    DemoMainWindow window(host_);
    window.openOrder(QVariant(1));
    host_->database().exec(u"INSERT INTO g_ackn (sessionid, daskid, part, ConfCode, ErrorCode) "
                           u"VALUES ('S9', 1, 'FW04521GTYN', 'AC9', '0')"_s);
    on<AuthorizationShowfrm>([](AuthorizationShowfrm *view) { view->cmdAction->click(); });
    QAction *answer = window.findChild<QAction *>(u"actionShowAuthorization"_s);
    ASSERT_TRUE(answer && answer->isEnabled());
    answer->trigger();
    EXPECT_EQ(boxTexts(), QStringList());
    EXPECT_EQ(demotest::shopValue(*host_, u"SELECT Decision FROM g_ackn WHERE sessionid = 'S9'"_s),
              QVariant(u"Applied"_s));
}
