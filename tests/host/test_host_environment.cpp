#include "host/HostControlUI.h"
#include "host/HostEnvironment.h"
#include "host/HostErrorClass.h"
#include "host/IniFile.h"
#include <qorOrvaneUI/external/IErrorClass.h>
#include <qorOrvaneUI/external/IOptions.h>
#include <qorOrvaneUI/external/IUser.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/VbError.h>

#include "support/TestHelpers.h"
#include <qorOrvaneUI/widgets/ScriptedUi.h>

#include <QDialog>
#include <QDir>
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
using orvane::test::raised;

namespace {

class IniFileTest : public ::testing::Test {
protected:
    QString path(const QString &name = u"Orvane.ini"_s) const { return dir.filePath(name); }

    void put(const QByteArray &bytes, const QString &name = u"Orvane.ini"_s) const
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    QByteArray bytes(const QString &name = u"Orvane.ini"_s) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir dir;
};

// A file as people edit it by hand, with LF endings and no final line break.
const QByteArray HandWritten = "; shop settings\n"
                               "stray=before any section\n"
                               "[Orvane]\n"
                               "  SendTrans \t=\t 1  \n"
                               "Quoted=\"  spaced out  \"\n"
                               "Single='x'\n"
                               "Lopsided=\"open\n"
                               "Inner=a \"b\" c\n"
                               ";Acknowledgements=99\n"
                               "acknowledgements=4\n"
                               "ACKNOWLEDGEMENTS=5\n"
                               "no equals sign here\n"
                               "Empty=\n"
                               "[ Defaults ]\n"
                               "ReportPath=C:\\Reports\\\n"
                               "[orvane]\n"
                               "ENOL=7";

TEST_F(IniFileTest, ReadsAndWritesInProfileFormatAndFailedWritesLeaveTheFileAlone)
{
    put(HandWritten);
    IniFile ini(path());
    EXPECT_EQ(ini.read(u"ORVANE"_s, u"sendtrans"_s), u"1"_s) << "look-ups ignore case";
    EXPECT_EQ(ini.read(u"Orvane"_s, u"Quoted"_s), u"  spaced out  "_s);
    EXPECT_EQ(ini.read(u"Orvane"_s, u"Single"_s), u"x"_s);
    EXPECT_EQ(ini.read(u"Orvane"_s, u"Lopsided"_s), u"\"open"_s);
    EXPECT_EQ(ini.read(u"Orvane"_s, u"Inner"_s), u"a \"b\" c"_s);
    // Comments are skipped and the first of two equal keys wins.
    EXPECT_EQ(ini.read(u"Orvane"_s, u"Acknowledgements"_s), u"4"_s);
    EXPECT_EQ(ini.read(u"Orvane"_s, u"Empty"_s), QString());
    EXPECT_EQ(ini.read(u"Defaults"_s, u"ReportPath"_s), u"C:\\Reports\\"_s);
    // Only the first section of a name counts.
    EXPECT_EQ(ini.read(u"Orvane"_s, u"ENOL"_s), QString());
    EXPECT_EQ(ini.read(u"Orvane"_s, u"stray"_s), QString());

    // Written from nothing in the profile format.
    ASSERT_TRUE(QFile::remove(path()));
    ini.write(u"Orvane"_s, u"SendTrans"_s, u"1"_s);
    ini.write(u"Orvane"_s, u"ENOL"_s, u" 3 "_s);
    ini.write(u"Defaults"_s, u"ReportPath"_s, u"\"/srv/reports/\""_s);
    EXPECT_EQ(bytes(), "[Orvane]\r\nSendTrans=1\r\nENOL= 3 \r\n"
                       "[Defaults]\r\nReportPath=\"/srv/reports/\"\r\n")
        << "values are written verbatim";

    // A rewrite keeps order, case and comments.
    put("; keep me\n[orvane]\nsendtrans = 0\n; note\nAcknowledgements=2\n\n"
        "[Defaults]\nReportPath=x\n");
    ini.write(u"Orvane"_s, u"SendTrans"_s, u"1"_s);
    ini.write(u"ORVANE"_s, u"ENOL"_s, u"4"_s);
    ini.write(u"defaults"_s, u"Extra"_s, u"y"_s);
    EXPECT_EQ(bytes(), "; keep me\r\n[orvane]\r\nsendtrans=1\r\n; note\r\nAcknowledgements=2\r\n"
                       "ENOL=4\r\n\r\n[Defaults]\r\nReportPath=x\r\nExtra=y\r\n");

    // With two equal keys the first is rewritten.
    put("[Orvane]\nA=1\na=2\n");
    ini.write(u"Orvane"_s, u"A"_s, u"3"_s);
    EXPECT_EQ(bytes(), "[Orvane]\r\nA=3\r\na=2\r\n");

    // Another writer's changes are seen: the transport service clears the flag
    // and adds its own key.
    put("[Orvane]\r\nSendTrans=0\r\nLastRun=12:00\r\n");
    ini.write(u"Orvane"_s, u"ENOL"_s, u"2"_s);
    EXPECT_EQ(bytes(), "[Orvane]\r\nSendTrans=0\r\nLastRun=12:00\r\nENOL=2\r\n");
    EXPECT_FALSE(QFile::exists(path() + u".lock"_s));

    // Text of other encodings is kept. Latin-1: 0xE9 is not valid UTF-8.
    put("[Shop]\nName=Caf\xE9\n");
    EXPECT_EQ(ini.read(u"Shop"_s, u"Name"_s), u"Café"_s);
    ini.write(u"Shop"_s, u"City"_s, u"Zürich"_s);
    EXPECT_EQ(bytes(), "[Shop]\r\nName=Caf\xC3\xA9\r\nCity=Z\xC3\xBCrich\r\n");

    // A byte-order mark is read past and kept.
    put("\xEF\xBB\xBF[Shop]\r\nName=x\r\n");
    EXPECT_EQ(ini.read(u"Shop"_s, u"Name"_s), u"x"_s);
    ini.write(u"Shop"_s, u"Name"_s, u"y"_s);
    EXPECT_EQ(bytes(), "\xEF\xBB\xBF[Shop]\r\nName=y\r\n");

    // Failed writes raise and leave the file alone.
    const QByteArray original = "[Orvane]\r\nSendTrans=0\r\n";
    put(original);

    // Missing folder.
    const orvane::VbError noFolder =
        raised([&] { IniFile(dir.filePath(u"gone/Orvane.ini"_s)).write(u"a"_s, u"b"_s, u"c"_s); });
    EXPECT_EQ(noFolder.number(), 76);
    EXPECT_TRUE(noFolder.description().contains(u"does not exist"_s));

    // Read-only file.
    QFile::setPermissions(path(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    const orvane::VbError readOnly =
        raised([&] { ini.write(u"Orvane"_s, u"SendTrans"_s, u"1"_s); });
    EXPECT_EQ(readOnly.number(), 75);
    EXPECT_TRUE(readOnly.description().contains(u"read-only"_s))
        << readOnly.description().toStdString();
    EXPECT_EQ(bytes(), original);
    QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner);

    // Read-only folder: the file itself is writable, but cannot be replaced safely.
    const QFile::Permissions folderPerms = QFile::permissions(dir.path());
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const orvane::VbError roFolder =
        raised([&] { ini.write(u"Orvane"_s, u"SendTrans"_s, u"1"_s); });
    QFile::setPermissions(dir.path(), folderPerms);
    EXPECT_EQ(roFolder.number(), 75);
    EXPECT_TRUE(roFolder.description().contains(u"folder"_s));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{u"Orvane.ini"_s})
        << "no temporary or lock file left behind";

    // A line break in the value would inject entries.
    EXPECT_EQ(
        raised([&] { ini.write(u"Orvane"_s, u"SendTrans"_s, u"1\r\n[Evil]\r\nx=1"_s); }).number(),
        orvane::err::InvalidProcedureCall);
    EXPECT_EQ(raised([&] { ini.write(u"Orvane"_s, u"a=b"_s, u"1"_s); }).number(),
              orvane::err::InvalidProcedureCall);
    EXPECT_EQ(raised([&] { ini.write(u""_s, u"a"_s, u"1"_s); }).number(),
              orvane::err::InvalidProcedureCall);
    EXPECT_EQ(bytes(), original);

    // A folder where the file should be reads as nothing, as a missing file does,
    // even for an administrator, and is not written over.
    IniFile unreadable(path(u"folder.ini"_s));
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"folder.ini"_s));
    EXPECT_EQ(unreadable.read(u"Orvane"_s, u"SendTrans"_s), QString());
    EXPECT_EQ(raised([&] { unreadable.write(u"Orvane"_s, u"SendTrans"_s, u"1"_s); }).number(), 75);
    EXPECT_TRUE(QFileInfo(path(u"folder.ini"_s)).isDir());
}

QStringList logLines(const QString &file)
{
    QFile log(file);
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split(u"\r\n"_s, Qt::SkipEmptyParts);
}

struct FakeShop : ComObject {};

TEST(HostErrorClass, ShowsAndLogsErrorsAndOnlyLogsWhatThePollShowedAsDoesTheEnvironment)
{
    QTemporaryDir dir;
    orvane::test::ScopedScriptedUi ui;
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
    EXPECT_TRUE(QDateTime::fromString(first[0], u"yyyy-MM-dd hh:mm:ss.zzz"_s).isValid());
    EXPECT_EQ(first.mid(1),
              (QStringList{u"Ann Lee"_s, u"qorOrvaneUI.ChooseDispatchfrm.cmdAttach_Click"_s,
                           u"13"_s, u"40"_s, u"Type mismatch\\r\\nsecond line"_s}));

    // A log that cannot be written is reported once, and nothing throws.
    ui->clear();
    HostErrorClass unlogged(dir.filePath(u"missing/error.log"_s), u"Shop"_s, QString());
    EXPECT_NO_THROW(unlogged.ErrorHandle(0, u"p"_s, u"first"_s, 5, 1));
    EXPECT_NO_THROW(unlogged.ErrorHandle(0, u"p"_s, u"second"_s, 5, 2));
    ASSERT_EQ(ui->boxes().size(), 3u); // the log's failure, then both errors
    EXPECT_TRUE(ui->boxes()[0].text.contains(u"error.log"_s));

    // The environment logs what its makers raise, and shows nothing.
    ui->clear();
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"env"_s));
    EnvironmentConfig config;
    config.dataPath = dir.filePath(u"env"_s); // no final separator
    config.userLast = u"Lee"_s;
    config.safecreateobj = [](int kind) -> std::shared_ptr<ComObject> {
        if (kind == ext::objkind::Shop)
            return std::make_shared<FakeShop>();
        throw VbError(3704, u"db"_s, u"Database closed"_s);
    };
    HostEnvironment env(config);
    EXPECT_EQ(env.data_path(), config.dataPath + u'/');
    EXPECT_EQ(env.currentuser()->Item(u"LAST"_s), u"Lee"_s);
    EXPECT_EQ(env.currentuser()->Item(u"Initials"_s), QString());

    EXPECT_NE(std::dynamic_pointer_cast<FakeShop>(env.safecreateobj(ext::objkind::Shop)), nullptr);
    EXPECT_EQ(env.SafeCreateUIObj(ext::objkind::VehicleChooser), nullptr) << "no maker";
    EXPECT_EQ(env.safecreateobj(99), nullptr) << "a failing maker gives nothing";
    const QStringList envLog = logLines(env.data_path() + u"error.log"_s);
    ASSERT_EQ(envLog.size(), 1);
    EXPECT_TRUE(
        envLog[0].endsWith(u"qorHost.Environment.safecreateobj(99)\t3704\t0\tDatabase closed"_s));
    EXPECT_TRUE(ui->boxes().empty());

    // Without a data command maker there is no connection to hand out.
    EXPECT_EQ(errorNumber([&] { env.Options()->dcobject(); }), err::ObjectVariableNotSet);
}

// "logical:width" of each column in the order shown.
QString layout(const QHeaderView *header)
{
    QStringList out;
    for (int visual = 0; visual < header->count(); ++visual)
        out << u"%1:%2"_s.arg(header->logicalIndex(visual))
                   .arg(header->sectionSize(header->logicalIndex(visual)));
    return out.join(u' ');
}

std::unique_ptr<QStandardItemModel> gridModel(const QStringList &captions)
{
    auto model = std::make_unique<QStandardItemModel>(2, int(captions.size()));
    model->setHorizontalHeaderLabels(captions);
    return model;
}

class ControlUITest : public ::testing::Test {
protected:
    QString dataPath() const { return dir.path() + u'/'; }

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

TEST_F(ControlUITest, DialogGeometryStaysOnScreenAndGridColumnsKeepWidthsAndOrder)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect where(area.left() + 40, area.top() + 50, 300, 200);
    leave(where);
    EXPECT_EQ(reopened(), where);

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

    // Grid columns: widths and order.
    const QString key = u"Authorizationfrm.grdAuthorize.Columns"_s;
    const QStringList captions{u"Part"_s, u"Price"_s, u"Qty"_s};
    {
        auto model = gridModel(captions);
        QTableView grid;
        grid.setModel(model.get());
        HostControlUI(dataPath()).Initialize(&grid, key);
        grid.show();
        for (const auto &[column, width] : {std::pair{0, 50}, {1, 120}, {2, 80}})
            grid.horizontalHeader()->resizeSection(column, width);
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
        EXPECT_EQ(layout(grid.horizontalHeader()), u"2:80 0:50 1:120"_s);
    }
    {
        // Columns are known by caption: a new column and a dropped one do not shift widths.
        auto model = gridModel({u"Price"_s, u"Note"_s, u"Qty"_s});
        QTableView grid;
        grid.setModel(model.get());
        HostControlUI(dataPath()).Initialize(grid.horizontalHeader(), key);
        EXPECT_TRUE(layout(grid.horizontalHeader()).startsWith(u"2:80 0:120"_s));
    }
}

} // namespace
