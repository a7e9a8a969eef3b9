#include "host/HostControlUI.h"
#include "host/HostEnvironment.h"
#include "host/HostErrorClass.h"
#include <qorOrvaneUI/external/IDataCommand.h>
#include <qorOrvaneUI/external/IErrorClass.h>
#include <qorOrvaneUI/external/IOptions.h>
#include <qorOrvaneUI/external/IUser.h>
#include <qorOrvaneUI/external/ObjectCast.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/VbError.h>

#include "support/TestHelpers.h"
#include <qorOrvaneUI/widgets/ScriptedUi.h>

#include <QDialog>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;
using namespace orvane;
using namespace orvane::host;
using orvane::test::errorNumber;
using orvane::test::ScopedScriptedUi;

namespace {

QStringList logLines(const QString &file)
{
    QFile log(file);
    if (!log.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(log.readAll()).split(u"\r\n"_s);
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

TEST(HostErrorClass, ShowsAndLogsErrorsAndMessagesButOnlyLogsWhatThePollShowed)
{
    QTemporaryDir dir;
    ScopedScriptedUi ui;
    HostErrorClass errors(dir.filePath(u"error.log"_s), u"Orvane Demo Shop"_s, u"Ann Lee"_s);

    errors.ErrorHandle(0, u"qorOrvaneUI.ChooseDispatchfrm.cmdAttach_Click"_s,
                       u"Type mismatch\r\nsecond line"_s, 13, 40);
    errors.ErrorHandle(0, u"qorOrvaneUI.Authorizationfrm.ValidData"_s, u"Please choose a reason."_s,
                       0, 7);
    // The polling view has shown the network's error itself (Mode 1); without
    // Mode the same report is shown.
    const QString poll = u"qorOrvaneUI.eNolWait.CheckLossAck"_s;
    errors.ErrorHandle(0, poll, u"Network unreachable"_s, 3704, 20, 1);
    errors.ErrorHandle(0, poll, QString(), 0, 20, 1);
    errors.ErrorHandle(0, poll, u"Network unreachable"_s, 3704, 20);

    ASSERT_EQ(ui->boxes().size(), 3u);
    EXPECT_EQ(ui->boxes()[0].text, u"Error 13 in qorOrvaneUI.ChooseDispatchfrm.cmdAttach_Click, "
                                   "line 40:\nType mismatch\r\nsecond line"_s);
    EXPECT_EQ(ui->boxes()[0].icon, MsgIcon::Critical);
    EXPECT_EQ(ui->boxes()[0].title, u"Orvane Demo Shop"_s);
    EXPECT_EQ(ui->boxes()[1].text, u"Please choose a reason."_s);
    EXPECT_EQ(ui->boxes()[1].icon, MsgIcon::Exclamation);

    const QStringList lines = logLines(errors.logFile());
    ASSERT_EQ(lines.size(), 5);
    const QStringList first = lines[0].split(u'\t');
    ASSERT_EQ(first.size(), 6) << lines[0].toStdString();
    EXPECT_TRUE(QDateTime::fromString(first[0], u"yyyy-MM-dd hh:mm:ss.zzz"_s).isValid());
    EXPECT_EQ(first.mid(1),
              (QStringList{u"Ann Lee"_s, u"qorOrvaneUI.ChooseDispatchfrm.cmdAttach_Click"_s,
                           u"13"_s, u"40"_s, u"Type mismatch\\r\\nsecond line"_s}));
    EXPECT_TRUE(lines[1].endsWith(u"\t0\t7\tPlease choose a reason."_s));

    // A log that cannot be written is reported once, and nothing throws.
    ui->clear();
    HostErrorClass unlogged(dir.filePath(u"missing/error.log"_s), u"Shop"_s, QString());
    EXPECT_NO_THROW(unlogged.ErrorHandle(0, u"p"_s, u"first"_s, 5, 1));
    EXPECT_NO_THROW(unlogged.ErrorHandle(0, u"p"_s, u"second"_s, 5, 2));
    ASSERT_EQ(ui->boxes().size(), 3u);
    EXPECT_TRUE(ui->boxes()[0].text.contains(u"error.log"_s));
    EXPECT_TRUE(ui->boxes()[1].text.endsWith(u"first"_s));
    EXPECT_TRUE(ui->boxes()[2].text.endsWith(u"second"_s));
}

struct FakeCommand : ext::IDataCommand {
    QString constructstring() const override { return text; }
    void setconstructstring(const QString &c) override { text = c; }
    bool Execute(const QString &, const QString &, Recordset &, const QList<Value> &) override
    {
        return false;
    }
    QString text = u"shop"_s;
};

struct FakeShop : ComObject {};

TEST(HostEnvironment, HandsOutItsPartsAndTheMakersObjects)
{
    QTemporaryDir dir;
    ScopedScriptedUi ui;
    EnvironmentConfig config;
    config.dataPath = dir.path(); // no final separator
    config.userLast = u"Lee"_s;
    config.safecreateobj = [](int kind) -> std::shared_ptr<ComObject> {
        if (kind == ext::objkind::Shop)
            return std::make_shared<FakeShop>();
        if (kind == 99)
            throw VbError(3704, u"db"_s, u"Database closed"_s);
        return nullptr;
    };
    int commands = 0;
    config.makeDataCommand = [&commands] {
        ++commands;
        return std::make_shared<FakeCommand>();
    };
    config.connectString = [](const QString &folder, int mode) -> QString {
        return u"sqlite:"_s + folder + QString::number(mode);
    };
    HostEnvironment env(config);

    EXPECT_EQ(env.data_path(), dir.path() + u'/');
    EXPECT_EQ(env.GetConnectString(env.data_path(), 0), u"sqlite:"_s + env.data_path() + u'0');
    EXPECT_EQ(env.ErrorClass(), env.ErrorClass());
    EXPECT_EQ(env.currentuser()->Item(u"LAST"_s), u"Lee"_s);
    EXPECT_EQ(env.currentuser()->Item(u"Initials"_s), QString());

    EXPECT_NE(std::dynamic_pointer_cast<FakeShop>(env.safecreateobj(ext::objkind::Shop)), nullptr);
    EXPECT_EQ(errorNumber([&] {
                  ext::objectAs<FakeShop>(env.safecreateobj(ext::objkind::OrderList), u"t"_s);
              }),
              err::ObjectVariableNotSet);
    EXPECT_EQ(env.SafeCreateUIObj(ext::objkind::VehicleChooser), nullptr) << "no maker";
    EXPECT_EQ(env.safecreateobj(99), nullptr) << "a failing maker gives nothing";
    const QStringList log = logLines(env.data_path() + u"error.log"_s);
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(
        log[0].endsWith(u"qorHost.Environment.safecreateobj(99)\t3704\t0\tDatabase closed"_s));
    EXPECT_TRUE(ui->boxes().empty());

    auto options = env.Options();
    EXPECT_EQ(options->dcobject()->constructstring(), u"shop"_s);
    EXPECT_EQ(commands, 1);
    const QString ini = env.data_path() + u"Orvane.ini"_s;
    options->writeinistring(u"Orvane"_s, u"SendTrans"_s, u"1"_s, ini);
    EXPECT_EQ(options->readinistring(u"orvane"_s, u"sendtrans"_s, ini), u"1"_s);
    EXPECT_EQ(errorNumber([&] {
                  options->writeinistring(u"Orvane"_s, u"x"_s, u"1"_s, dir.filePath(u"no/x.ini"_s));
              }),
              76);

    EnvironmentConfig bare;
    bare.dataPath = dir.path();
    HostEnvironment bareEnv(bare);
    EXPECT_EQ(errorNumber([&] { bareEnv.Options()->dcobject(); }), err::ObjectVariableNotSet);
    EXPECT_EQ(bareEnv.safecreateobj(ext::objkind::Shop), nullptr);
    EXPECT_EQ(bareEnv.GetConnectString(bare.dataPath, 0), QString());
}

class ControlUITest : public ::testing::Test {
protected:
    QString dataPath() const { return dir.path() + u'/'; }
    QRect screenArea() const { return QGuiApplication::primaryScreen()->availableGeometry(); }

    // Shows the dialog where the user left it, closes it, and saves its layout.
    void leave(const QRect &where)
    {
        QDialog dialog;
        dialog.setMinimumSize(100, 80);
        HostControlUI(dataPath()).Initialize(&dialog, u"Dispatchfrm"_s);
        dialog.show();
        dialog.resize(where.size());
        dialog.move(where.topLeft());
        dialog.close();
        HostControlUI(dataPath()).Terminate(&dialog, u"Dispatchfrm"_s);
    }

    QRect reopened()
    {
        QDialog dialog;
        dialog.setMinimumSize(100, 80);
        HostControlUI(dataPath()).Initialize(&dialog, u"Dispatchfrm"_s);
        return QRect(dialog.pos(), dialog.size());
    }

    QTemporaryDir dir;
};

TEST_F(ControlUITest, DialogGeometryRoundTripStaysOnScreen)
{
    const QRect area = screenArea();
    const QRect where(area.left() + 40, area.top() + 50, 300, 200);
    leave(where);
    EXPECT_EQ(reopened(), where);
    EXPECT_TRUE(QFile::exists(dataPath() + u"layout.ini"_s));
    EXPECT_FALSE(QFile::exists(dataPath() + u"Orvane.ini"_s));

    // Left on a screen that is gone: brought back, size kept.
    leave(QRect(area.right() + 2000, area.bottom() + 1000, 300, 200));
    EXPECT_EQ(reopened(), QRect(area.right() - 299, area.bottom() - 199, 300, 200));
    // Larger than the screen: shrunk to it.
    leave(QRect(area.left() - 50, area.top(), area.width() + 400, area.height() + 300));
    EXPECT_EQ(reopened(), area);

    // A view closed without ever being shown does not overwrite the layout.
    leave(where);
    {
        QDialog never;
        HostControlUI(dataPath()).Initialize(&never, u"Dispatchfrm"_s);
        never.resize(640, 480);
        never.move(0, 0);
        HostControlUI(dataPath()).Terminate(&never, u"Dispatchfrm"_s);
    }
    EXPECT_EQ(reopened(), where);
    // Closed where it was saved: the file is not written again (a rewrite drops the comment).
    {
        QFile ini(dataPath() + u"layout.ini"_s);
        ASSERT_TRUE(ini.open(QIODevice::Append));
        ini.write("; untouched\n");
    }
    leave(where);
    QFile ini(dataPath() + u"layout.ini"_s);
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("; untouched"));

    // Nothing saved, no folder, no key: the view keeps its own geometry and nothing throws.
    QDialog fresh;
    fresh.resize(320, 240);
    EXPECT_NO_THROW(HostControlUI(dataPath()).Initialize(&fresh, u"Unknown"_s));
    EXPECT_NO_THROW(HostControlUI(dir.filePath(u"gone/"_s)).Initialize(&fresh, u"Dispatchfrm"_s));
    EXPECT_NO_THROW(HostControlUI(dataPath()).Initialize(nullptr, u"Dispatchfrm"_s));
    EXPECT_EQ(fresh.size(), QSize(320, 240));
}

std::unique_ptr<QStandardItemModel> gridModel(const QStringList &captions)
{
    auto model = std::make_unique<QStandardItemModel>(2, int(captions.size()));
    model->setHorizontalHeaderLabels(captions);
    return model;
}

TEST_F(ControlUITest, GridColumnWidthsAndOrderRoundTrip)
{
    const QString key = u"Authorizationfrm.grdAuthorize.Columns"_s;
    const QStringList captions{u"Part"_s, u"Price"_s, u"Qty"_s};
    {
        auto model = gridModel(captions);
        QTableView grid;
        grid.setModel(model.get());
        HostControlUI(dataPath()).Initialize(&grid, key);
        grid.show();
        grid.horizontalHeader()->resizeSection(0, 50);
        grid.horizontalHeader()->resizeSection(1, 120);
        grid.horizontalHeader()->resizeSection(2, 80);
        grid.horizontalHeader()->moveSection(2, 0); // Qty, Part, Price
        grid.close();
        HostControlUI(dataPath()).Terminate(&grid, key);
    }
    {
        // Registered before its record set is bound: applied when the columns appear.
        auto model = gridModel(captions);
        QTableView grid;
        HostControlUI(dataPath()).Initialize(&grid, key);
        grid.setModel(model.get());
        QHeaderView *header = grid.horizontalHeader();
        EXPECT_EQ(header->logicalIndex(0), 2);
        EXPECT_EQ(header->logicalIndex(1), 0);
        EXPECT_EQ(header->logicalIndex(2), 1);
        EXPECT_EQ(header->sectionSize(0), 50);
        EXPECT_EQ(header->sectionSize(1), 120);
        EXPECT_EQ(header->sectionSize(2), 80);
    }
    {
        // Columns are known by caption: a new column and a dropped one do not shift widths.
        auto model = gridModel({u"Price"_s, u"Note"_s, u"Qty"_s});
        QTableView grid;
        grid.setModel(model.get());
        HostControlUI(dataPath()).Initialize(grid.horizontalHeader(), key);
        QHeaderView *header = grid.horizontalHeader();
        EXPECT_EQ(header->logicalIndex(0), 2);
        EXPECT_EQ(header->logicalIndex(1), 0);
        EXPECT_EQ(header->sectionSize(2), 80);
        EXPECT_EQ(header->sectionSize(0), 120);
    }
}

} // namespace
