#include "DemoMainWindow.h"
#include "HostEnvironment.h"
#include "HostErrorClass.h"
#include "HostInvoice.h"
#include "RecordsetModel.h"
#include "ReferenceHost.h"
#include "ScriptedUi.h"
#include "SettingsDialog.h"
#include "ShopDatabase.h"
#include "TableObjects.h"
#include "external/IOptions.h"

#include <QDialog>
#include <QFile>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLineEdit>
#include <QSplitter>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct DemoShop {
    QTemporaryDir dir;
    std::shared_ptr<orvane::host::ReferenceHost> host;

    DemoShop()
    {
        QDir(dir.path()).mkpath(u"shop"_s);
        QDir(dir.path()).mkpath(u"nags"_s);
        host =
            orvane::host::ReferenceHost::open(dir.path() + u"/shop/"_s, dir.path() + u"/nags/"_s);
        host->seedDemo();
    }
};

} // namespace

TEST(DemoWindow, ListsOrdersAndEditsOneThroughTheHost)
{
    orvane::test::ScopedScriptedUi ui;
    DemoShop shop;
    DemoMainWindow window(shop.host);
    ASSERT_GT(window.ordersView()->model()->rowCount(), 3);

    const QVariant first =
        window.ordersView()->model()->index(0, 0).data(orvane::RecordsetModel::RawValueRole);
    window.openOrder(first);
    ASSERT_NE(window.currentOrder(), nullptr);
    QLineEdit *last = window.editorFor(u"s_last"_s);
    ASSERT_NE(last, nullptr);
    last->setText(u"  Okafor  "_s);
    ASSERT_TRUE(window.saveOrder())
        << (ui->boxes().empty() ? std::string() : ui->boxes().back().text.toStdString());

    // Read back through a fresh object: the change is in the database.
    const auto again = shop.host->openOrder(orvane::RecordsetModel::toValue(first));
    EXPECT_EQ(again->itemsrecordset().value(u"s_last"_s).toText(), u"Okafor"_s);
    EXPECT_TRUE(ui->boxes().empty());
}

TEST(DemoWindow, StatusBarShowsTheLibraryCounters)
{
    DemoShop shop;
    DemoMainWindow window(shop.host);
    EXPECT_TRUE(window.counterText().contains(u"Queued to send: 0"_s));
    const auto env = shop.host->env();
    env->Options()->writeinistring(u"Orvane"_s, u"SendTrans"_s, u"2"_s,
                                   env->data_path() + u"Orvane.ini"_s);
    env->Options()->writeinistring(u"Orvane"_s, u"ENOL"_s, u"1"_s,
                                   env->data_path() + u"Orvane.ini"_s);
    EXPECT_TRUE(window.counterText().contains(u"Queued to send: 2"_s));
    EXPECT_TRUE(window.counterText().contains(u"Loss notice answers: 1"_s));
}

TEST(DemoWindow, SettingsWriteTheReportFolder)
{
    orvane::test::ScopedScriptedUi ui;
    DemoShop shop;
    const auto env = shop.host->env();
    SettingsDialog dialog(env);
    dialog.reportPath()->setText(u"/srv/reports"_s);
    ASSERT_TRUE(dialog.apply());
    EXPECT_EQ(
        env->Options()->readinistring(u"Defaults"_s, u"ReportPath"_s, env->Options()->dask_ini()),
        u"/srv/reports/"_s);
}

TEST(DemoWindow, ARefusedSaveIsReportedAndTheOrderStays)
{
    orvane::test::ScopedScriptedUi ui;
    DemoShop shop;
    DemoMainWindow window(shop.host);
    const QVariant first =
        window.ordersView()->model()->index(0, 0).data(orvane::RecordsetModel::RawValueRole);
    window.openOrder(first);
    const QString before = window.currentOrder()->itemsrecordset().value(u"s_last"_s).toText();

    // A value the field cannot hold: the host refuses, the user is told.
    window.editorFor(u"s_state"_s)->setText(u"Far too long for a state code"_s);
    EXPECT_FALSE(window.saveOrder());
    ASSERT_FALSE(ui->boxes().empty());
    EXPECT_TRUE(ui->boxes().back().text.startsWith(u"State is too long"_s))
        << ui->boxes().back().text.toStdString();
    const auto again = shop.host->openOrder(orvane::RecordsetModel::toValue(first));
    EXPECT_EQ(again->itemsrecordset().value(u"s_last"_s).toText(), before);
}

TEST(DemoWindow, UnsavedEditsAreOfferedForSavingAndErrorsSpeakTheShopsWords)
{
    using orvane::MsgResult;
    orvane::test::ScopedScriptedUi ui;
    DemoShop shop;
    DemoMainWindow window(shop.host);
    auto idOf = [&] { return window.currentOrder()->itemsrecordset().value(u"idnumber"_s); };
    auto stored = [&](int id, const QString &field) {
        return shop.host->openOrder(id)->itemsrecordset().value(field).toText();
    };
    window.openOrder(1);
    window.editorFor(u"s_last"_s)->setText(u"Changed"_s);

    ui->answer(MsgResult::Cancel); // stays, edit and all
    window.openOrder(2);
    EXPECT_EQ(idOf().toInt32(), 1);
    EXPECT_EQ(window.editorFor(u"s_last"_s)->text(), u"Changed"_s);
    ui->answer(MsgResult::No); // drops the edit
    window.openOrder(2);
    EXPECT_EQ(idOf().toInt32(), 2);
    EXPECT_EQ(stored(1, u"s_last"_s), u"Morgan"_s);
    window.editorFor(u"s_city"_s)->setText(u"Salem"_s);
    ui->answer(MsgResult::Yes); // saves, then starts the new order
    window.newOrder();
    EXPECT_TRUE(window.currentOrder()->isNew());
    EXPECT_EQ(stored(2, u"s_city"_s), u"Salem"_s);
    window.newOrder(); // nothing edited: no question
    ASSERT_EQ(ui->boxes().size(), 3u);
    for (const auto &box : ui->boxes())
        EXPECT_EQ(box.title, u"Save changes?"_s);

    // The shop reads what is wrong; the log keeps the technical detail.
    window.editorFor(u"deductible"_s)->setText(u"abc"_s);
    EXPECT_FALSE(window.saveOrder());
    EXPECT_TRUE(ui->boxes().back().text.startsWith(u"Deductible must be a number"_s));
    ui->answer(MsgResult::No);
    window.openOrder(99);
    EXPECT_TRUE(ui->boxes().back().text.startsWith(u"There is no order 99"_s));
    QFile log(shop.host->env()->hostErrorClass()->logFile());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray logged = log.readAll();
    EXPECT_TRUE(logged.contains("\t13\t0\tType mismatch")) << logged.toStdString();
    EXPECT_TRUE(logged.contains("\t3021\t")) << logged.toStdString();
}

TEST(DemoWindow, ReceivedDispatchesShowTheOrderTheyAreLinkedTo)
{
    DemoShop shop;
    orvane::transport::Clsg_trans staging; // creates the staging tables
    staging.setEnv(shop.host->env());
    for (const QVariantList &row :
         {QVariantList{u"D-2026-000000118734"_s, 1}, QVariantList{u"D-2026-000000118735"_s, 0}})
        shop.host->database().exec(
            u"INSERT INTO g_trans (guid, rectype, recid, xml, processed, daskid, daskloc) "
            u"VALUES (?, 'DISPATCH', ?, '<x/>', 0, ?, 1)"_s,
            {row[0].toString().right(12), row[0], row[1]});
    shop.host->database().exec(u"UPDATE invoice SET dispatch = ? WHERE idnumber = 1"_s,
                               {u"D-2026-000000118734"_s});
    DemoMainWindow window(shop.host);
    const QAbstractItemModel *list = window.dispatchView()->model();
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->index(0, 2).data().toString(), u"Order 1 (quote)"_s);
    EXPECT_EQ(list->index(1, 2).data().toString(), QString());
    // The whole number is readable.
    const QFontMetrics metrics(window.dispatchView()->font());
    EXPECT_GE(window.dispatchView()->columnWidth(0),
              metrics.horizontalAdvance(u"D-2026-000000118734"_s));
    // The order list keeps its Total in sight beside a long dispatch number.
    const auto *splitter = qobject_cast<QSplitter *>(window.centralWidget());
    ASSERT_TRUE(splitter);
    EXPECT_GT(splitter->widget(0)->minimumWidth(),
              window.ordersView()->horizontalHeader()->length());

    if (const QByteArray dir = qgetenv("ORVANE_SCREENSHOT_DIR"); !dir.isEmpty()) {
        window.show();
        window.findChild<QTabWidget *>()->setCurrentIndex(1);
        window.grab().save(QString::fromLocal8Bit(dir) + u"/demo-dispatches.png"_s);
    }
}
