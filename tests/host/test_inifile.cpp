#include "host/IniFile.h"
#include <qorOrvaneUI/runtime/VbError.h>

#include "support/TestHelpers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using orvane::host::IniFile;
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

TEST_F(IniFileTest, ReadsTheProfileRules)
{
    put(HandWritten);
    IniFile ini(path());
    EXPECT_EQ(ini.read(u"Orvane"_s, u"SendTrans"_s), u"1"_s);
    EXPECT_EQ(ini.read(u"ORVANE"_s, u"sendtrans"_s), u"1"_s) << "look-ups ignore case";
    EXPECT_EQ(ini.read(u"Orvane"_s, u"Quoted"_s), u"  spaced out  "_s);
    EXPECT_EQ(ini.read(u"Orvane"_s, u"Single"_s), u"x"_s);
    EXPECT_EQ(ini.read(u"Orvane"_s, u"Lopsided"_s), u"\"open"_s);
    EXPECT_EQ(ini.read(u"Orvane"_s, u"Inner"_s), u"a \"b\" c"_s);
    EXPECT_EQ(ini.read(u"Orvane"_s, u"Acknowledgements"_s), u"4"_s)
        << "comments are skipped and the first of two equal keys wins";
    EXPECT_EQ(ini.read(u"Orvane"_s, u"Empty"_s), QString());
    EXPECT_EQ(ini.read(u"Defaults"_s, u"ReportPath"_s), u"C:\\Reports\\"_s);
    EXPECT_EQ(ini.read(u"Orvane"_s, u"ENOL"_s), QString())
        << "only the first section of a name counts";
    EXPECT_EQ(ini.read(u"Orvane"_s, u"stray"_s), QString());
    EXPECT_EQ(IniFile(path(u"none.ini"_s)).read(u"Orvane"_s, u"SendTrans"_s), QString());
}

TEST_F(IniFileTest, CreatesFileAndSectionsInProfileFormat)
{
    IniFile ini(path());
    ini.write(u"Orvane"_s, u"SendTrans"_s, u"1"_s);
    EXPECT_EQ(bytes(), "[Orvane]\r\nSendTrans=1\r\n");

    ini.write(u"Orvane"_s, u"ENOL"_s, u" 3 "_s);
    ini.write(u"Defaults"_s, u"ReportPath"_s, u"\"/srv/reports/\""_s);
    EXPECT_EQ(bytes(), "[Orvane]\r\nSendTrans=1\r\nENOL= 3 \r\n"
                       "[Defaults]\r\nReportPath=\"/srv/reports/\"\r\n")
        << "values are written verbatim";
    EXPECT_EQ(ini.read(u"Orvane"_s, u"ENOL"_s), u"3"_s);
    EXPECT_EQ(ini.read(u"Defaults"_s, u"ReportPath"_s), u"/srv/reports/"_s);

    const QString umlaut = u"Müller ß"_s;
    ini.write(u"Orvane"_s, u"User"_s, umlaut);
    EXPECT_EQ(ini.read(u"Orvane"_s, u"User"_s), umlaut);
    EXPECT_TRUE(bytes().contains(umlaut.toUtf8())) << "written as UTF-8";
}

TEST_F(IniFileTest, RewriteKeepsOrderCaseAndCommentsAndSeesOtherWriters)
{
    put("; keep me\n[orvane]\nsendtrans = 0\n; note\nAcknowledgements=2\n\n"
        "[Defaults]\nReportPath=x\n");
    IniFile ini(path());
    ini.write(u"Orvane"_s, u"SendTrans"_s, u"1"_s);
    ini.write(u"ORVANE"_s, u"ENOL"_s, u"4"_s);
    ini.write(u"defaults"_s, u"Extra"_s, u"y"_s);
    EXPECT_EQ(bytes(), "; keep me\r\n[orvane]\r\nsendtrans=1\r\n; note\r\nAcknowledgements=2\r\n"
                       "ENOL=4\r\n\r\n[Defaults]\r\nReportPath=x\r\nExtra=y\r\n");

    // With two equal keys the first is rewritten and keeps winning.
    put("[Orvane]\nA=1\na=2\n");
    ini.write(u"Orvane"_s, u"A"_s, u"3"_s);
    EXPECT_EQ(bytes(), "[Orvane]\r\nA=3\r\na=2\r\n");
    EXPECT_EQ(ini.read(u"Orvane"_s, u"a"_s), u"3"_s);

    // Another writer's changes are seen: the transport service clears the flag
    // and adds its own key.
    put("[Orvane]\r\nSendTrans=0\r\nLastRun=12:00\r\n");
    EXPECT_EQ(ini.read(u"Orvane"_s, u"SendTrans"_s), u"0"_s);
    ini.write(u"Orvane"_s, u"ENOL"_s, u"2"_s);
    EXPECT_EQ(bytes(), "[Orvane]\r\nSendTrans=0\r\nLastRun=12:00\r\nENOL=2\r\n");
    EXPECT_FALSE(QFile::exists(path() + u".lock"_s));
}

TEST_F(IniFileTest, KeepsTextOfOtherEncodings)
{
    // Latin-1: 0xE9 is not valid UTF-8.
    put("[Shop]\nName=Caf\xE9\n");
    IniFile ini(path());
    EXPECT_EQ(ini.read(u"Shop"_s, u"Name"_s), u"Café"_s);
    ini.write(u"Shop"_s, u"City"_s, u"Zürich"_s);
    EXPECT_EQ(bytes(), "[Shop]\r\nName=Caf\xC3\xA9\r\nCity=Z\xC3\xBCrich\r\n");

    // A byte-order mark is read past and kept.
    put("\xEF\xBB\xBF[Shop]\r\nName=x\r\n");
    EXPECT_EQ(ini.read(u"Shop"_s, u"Name"_s), u"x"_s);
    ini.write(u"Shop"_s, u"Name"_s, u"y"_s);
    EXPECT_EQ(bytes(), "\xEF\xBB\xBF[Shop]\r\nName=y\r\n");
}

TEST_F(IniFileTest, FailedWritesRaiseAndLeaveTheFileAloneAndAFolderReadsEmpty)
{
    const QByteArray original = "[Orvane]\r\nSendTrans=0\r\n";
    put(original);
    IniFile ini(path());

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
    EXPECT_EQ(ini.read(u"Orvane"_s, u"SendTrans"_s), u"0"_s) << "a read-only file still reads";
    QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner);

    // Read-only folder: the file itself is writable, but cannot be replaced safely.
    const QFile::Permissions folderPerms = QFile::permissions(dir.path());
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const orvane::VbError roFolder =
        raised([&] { ini.write(u"Orvane"_s, u"SendTrans"_s, u"1"_s); });
    QFile::setPermissions(dir.path(), folderPerms);
    EXPECT_EQ(roFolder.number(), 75);
    EXPECT_TRUE(roFolder.description().contains(u"folder"_s));
    EXPECT_EQ(bytes(), original);
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

    // A folder where the file should be cannot be read, even by an administrator.
    IniFile unreadable(path(u"folder.ini"_s));
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"folder.ini"_s));
    EXPECT_EQ(unreadable.read(u"Orvane"_s, u"SendTrans"_s), QString());
    EXPECT_EQ(raised([&] { unreadable.write(u"Orvane"_s, u"SendTrans"_s, u"1"_s); }).number(), 75);
    EXPECT_TRUE(QFileInfo(path(u"folder.ini"_s)).isDir());
}

} // namespace
