#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

CliRun orvane(const QStringList &args, const QByteArray &input = {})
{
    QProcess p;
    p.start(QStringLiteral(ORVANE_CLI), args);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(60000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

QString samplePath(const QString &name)
{
    return QStringLiteral(ORVANE_SAMPLES_DIR "/dispatch/") + name;
}

} // namespace

TEST(Cli, DispatchRecordsPrintsEverySampleAsJson)
{
    const QStringList samples =
        QDir(QStringLiteral(ORVANE_SAMPLES_DIR "/dispatch")).entryList({u"*.xml"_s}, QDir::Files);
    ASSERT_GE(samples.size(), 3);
    for (const QString &name : samples) {
        const CliRun r = orvane({u"dispatch"_s, u"records"_s, samplePath(name)});
        ASSERT_EQ(r.exitCode, 0) << name.toStdString() << r.err.toStdString();
        QJsonParseError error;
        const QJsonDocument json = QJsonDocument::fromJson(r.out, &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << name.toStdString();
        const QJsonObject root = json.object();
        for (const char *key : {"dispatch", "discounts", "auths", "damages"})
            EXPECT_TRUE(root.value(QLatin1String(key)).isArray()) << key;
        EXPECT_EQ(root[u"dispatch"_s].toArray().size(), 1);
        EXPECT_EQ(root[u"dispatch"_s].toArray()[0].toObject().size(), 78);
    }
}

TEST(Cli, RowsKeepFieldOrderAndTypes)
{
    const CliRun r = orvane({u"dispatch"_s, u"records"_s, samplePath(u"glass-replacement.xml"_s)});
    ASSERT_EQ(r.exitCode, 0);
    // Field order is kept in the text itself.
    const qsizetype env = r.out.indexOf("\"EnvironmentID\"");
    const qsizetype origin = r.out.indexOf("\"OriginationPID\"");
    const qsizetype postal = r.out.indexOf("\"WorkLocationPostalCode\"");
    EXPECT_TRUE(env >= 0 && env < origin && origin < postal);

    const QJsonObject root = QJsonDocument::fromJson(r.out).object();
    const QJsonObject row = root[u"dispatch"_s].toArray()[0].toObject();
    EXPECT_EQ(row[u"TransactionDate"_s].toString(), u"2026-12-01"_s);
    EXPECT_EQ(row[u"Deductible"_s].toDouble(), 250.0);
    EXPECT_EQ(row[u"MaxRepairs"_s].toInt(), 3);
    EXPECT_TRUE(row[u"MobileIndicator"_s].isNull());
    EXPECT_TRUE(row[u"DiscountTypeCode"_s].isNull());
    EXPECT_EQ(row[u"InsurerComments"_s].toString().count(u"\r\n"_s), 2);
    const QJsonObject damage = root[u"damages"_s].toArray()[1].toObject();
    EXPECT_EQ(damage[u"Side"_s].toString(), u"Driver"_s);
    EXPECT_EQ(damage[u"Qty"_s].toInt(), 2);
    EXPECT_EQ(root[u"discounts"_s].toArray()[1].toObject()[u"KitIndicator"_s].toBool(), true);
}

TEST(Cli, ReadsStandardInputAndReportsFailures)
{
    const CliRun fromStdin = orvane({u"dispatch"_s, u"records"_s, u"-"_s},
                                    "<D><DispatchNumber>X-1</DispatchNumber></D>");
    ASSERT_EQ(fromStdin.exitCode, 0) << fromStdin.err.toStdString();
    EXPECT_TRUE(fromStdin.out.contains("\"DispatchNumber\": \"X-1\""));

    const CliRun bad =
        orvane({u"dispatch"_s, u"records"_s, u"-"_s}, "<D><Deductible>plenty</Deductible></D>");
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(bad.out.isEmpty());
    EXPECT_TRUE(bad.err.contains("error 13")) << bad.err.toStdString();
    EXPECT_TRUE(bad.err.contains("qorOrvaneUI.clsShowDispatch.FillRecordset()"));

    const CliRun missing = orvane({u"dispatch"_s, u"records"_s, u"/nonexistent/file.xml"_s});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains("File not found"));

    const CliRun help = orvane({u"--help"_s});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("dispatch records"));
    EXPECT_EQ(orvane({u"dispatch"_s, u"--help"_s}).exitCode, 0);
    EXPECT_EQ(orvane({u"bogus"_s}).exitCode, 2);
}
