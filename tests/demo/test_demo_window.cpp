#include "DemoMainWindow.h"
#include "HostEnvironment.h"
#include "HostInvoice.h"
#include "RecordsetModel.h"
#include "ReferenceHost.h"
#include "ScriptedUi.h"
#include "SettingsDialog.h"
#include "external/IOptions.h"

#include <QDialog>
#include <QFile>
#include <QLineEdit>
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
        host = orvane::host::ReferenceHost::open(dir.path() + u"/shop/"_s,
                                                 dir.path() + u"/nags/"_s);
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

    const QVariant first = window.ordersView()->model()->index(0, 0).data(
        orvane::RecordsetModel::RawValueRole);
    window.openOrder(first);
    ASSERT_NE(window.currentOrder(), nullptr);
    QLineEdit *last = window.editorFor(u"s_last"_s);
    ASSERT_NE(last, nullptr);
    last->setText(u"  Okafor  "_s);
    ASSERT_TRUE(window.saveOrder()) << (ui->boxes().empty() ? std::string()
                                                            : ui->boxes().back().text.toStdString());

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
    EXPECT_EQ(env->Options()->readinistring(u"Defaults"_s, u"ReportPath"_s,
                                            env->Options()->dask_ini()),
              u"/srv/reports/"_s);
}

TEST(DemoWindow, ARefusedSaveIsReportedAndTheOrderStays)
{
    orvane::test::ScopedScriptedUi ui;
    DemoShop shop;
    DemoMainWindow window(shop.host);
    const QVariant first = window.ordersView()->model()->index(0, 0).data(
        orvane::RecordsetModel::RawValueRole);
    window.openOrder(first);
    const QString before = window.currentOrder()->itemsrecordset().value(u"s_last"_s).toText();

    // A value the field cannot hold: the host refuses, the user is told.
    window.editorFor(u"s_state"_s)->setText(u"Far too long for a state code"_s);
    EXPECT_FALSE(window.saveOrder());
    ASSERT_FALSE(ui->boxes().empty());
    const auto again = shop.host->openOrder(orvane::RecordsetModel::toValue(first));
    EXPECT_EQ(again->itemsrecordset().value(u"s_last"_s).toText(), before);
}
