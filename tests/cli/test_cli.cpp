#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <iostream>

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

TEST(Cli, DispatchRecordsPrintsEverySampleAsTypedJson)
{
    const QStringList samples =
        QDir(QStringLiteral(ORVANE_SAMPLES_DIR "/dispatch")).entryList({u"*.xml"_s}, QDir::Files);
    QByteArray glass;
    for (const QString &name : samples) {
        const CliRun r = orvane({u"dispatch"_s, u"records"_s, samplePath(name)});
        ASSERT_EQ(r.exitCode, 0) << name.toStdString() << r.err.toStdString();
        const QJsonObject root = QJsonDocument::fromJson(r.out).object();
        for (const char *key : {"dispatch", "discounts", "auths", "damages"})
            EXPECT_TRUE(root.value(QLatin1String(key)).isArray()) << key;
        EXPECT_EQ(root[u"dispatch"_s].toArray()[0].toObject().size(), 78);
        if (name == u"glass-replacement.xml"_s)
            glass = r.out;
    }
    // Rows keep their field order, in the text itself, and their types.
    const qsizetype env = glass.indexOf("\"EnvironmentID\"");
    const qsizetype origin = glass.indexOf("\"OriginationPID\"");
    const qsizetype postal = glass.indexOf("\"WorkLocationPostalCode\"");
    EXPECT_TRUE(env >= 0 && env < origin && origin < postal);

    const QJsonObject root = QJsonDocument::fromJson(glass).object();
    const QJsonObject row = root[u"dispatch"_s].toArray()[0].toObject();
    EXPECT_EQ(row[u"TransactionDate"_s].toString(), u"2026-12-01"_s);
    EXPECT_EQ(row[u"Deductible"_s].toDouble(), 250.0);
    EXPECT_EQ(row[u"MaxRepairs"_s].toInt(), 3);
    EXPECT_TRUE(row[u"MobileIndicator"_s].isNull());
    EXPECT_EQ(row[u"InsurerComments"_s].toString().count(u"\r\n"_s), 2);
    const QJsonObject damage = root[u"damages"_s].toArray()[1].toObject();
    EXPECT_EQ(damage[u"Side"_s].toString(), u"Driver"_s);
    EXPECT_EQ(root[u"discounts"_s].toArray()[1].toObject()[u"KitIndicator"_s].toBool(), true);
}

// Each run: the exit code and a text its output (or, failing, its error output) holds.
TEST(Cli, UsageInputAndFailures)
{
    const QString minimal = samplePath(u"minimal.xml"_s);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"x.pdf"_s);
    struct Case {
        QStringList args;
        QByteArray input;
        int exitCode;
        QByteArray holds;
    };
    const Case cases[] = {
        {{u"dispatch"_s, u"records"_s, u"-"_s},
         "<D><DispatchNumber>X-1</DispatchNumber></D>",
         0,
         "\"DispatchNumber\": \"X-1\""},
        {{u"dispatch"_s, u"records"_s, u"-"_s},
         "<D><Deductible>plenty</Deductible></D>",
         1,
         "error 13\nsource: qorOrvaneUI.clsShowDispatch.FillRecordset()"},
        {{u"dispatch"_s, u"records"_s, u"/nonexistent/file.xml"_s}, {}, 1, "File not found"},
        {{u"--help"_s}, {}, 0, "dispatch records"},
        {{u"bogus"_s}, {}, 2, {}},
        {{u"dispatch"_s, u"report"_s, minimal}, {}, 2, {}}, // no output named
        {{u"dispatch"_s, u"report"_s, minimal, u"--pdf"_s, u"a"_s, u"--html"_s, u"b"_s}, {}, 2, {}},
        {{u"dispatch"_s, u"report"_s, u"--help"_s}, {}, 0, "--template"},
        {{u"dispatch"_s, u"report"_s, minimal, u"--template"_s, dir.filePath(u"none.rpt"_s),
          u"--pdf"_s, pdf},
         {},
         1,
         "error 53\nsource: qorOrvaneUI.clsShowDispatch.BoundReport()"},
        {{u"net"_s, u"simulate"_s, u"--once"_s}, {}, 2, {}},
        {{u"network"_s, u"serve"_s, u"--credential"_s, u"c"_s}, {}, 2, {}}, // no certificate
        {{u"network"_s, u"--help"_s}, {}, 0, "--fault"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const CliRun r = orvane(c.args, c.input);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        EXPECT_TRUE((r.exitCode == 0 ? r.out : r.err).contains(c.holds)) << r.err.toStdString();
        if (r.exitCode == 1) {
            EXPECT_TRUE(r.out.isEmpty());
        }
    }
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST(Cli, DispatchReportWritesPdfAndHtml)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"out.pdf"_s);
    CliRun r = orvane(
        {u"dispatch"_s, u"report"_s, samplePath(u"mobile-eschedule.xml"_s), u"--pdf"_s, pdf});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QFile file(pdf);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF-"));
    EXPECT_GT(bytes.size(), 5000);

    // Standard input, HTML, and the same bindings as the view.
    QFile sample(samplePath(u"mobile-eschedule.xml"_s));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    const QString html = dir.filePath(u"out.html"_s);
    r = orvane({u"dispatch"_s, u"report"_s, u"-"_s, u"--html"_s, html}, sample.readAll());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QFile htmlFile(html);
    ASSERT_TRUE(htmlFile.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(htmlFile.readAll());
    EXPECT_TRUE(text.contains(u"Orvane E-SCHEDULE"_s));
    EXPECT_TRUE(text.contains(u"08:00-12:00"_s));
}

// The db and net commands on the demo host's own shop and on PostgreSQL: rows
// added from an argument and from standard input and read back as stored, the
// filter in the host's dialect, a hostile filter and an unknown column
// refused; a request answered as the wait view's poll finds it, an unreadable
// document bounced.
TEST(Cli, DbAndNetSimulateOnTheDemoShopAndPostgreSQL)
{
    QTemporaryDir dir;
    // The demo shop, made and seeded by the demo host itself.
    QProcess demo; // offscreen, as ctest runs every test program
    demo.start(QStringLiteral(ORVANE_DEMO),
               {u"--data"_s, dir.path(), u"--screenshot"_s, dir.path() + u"/shot.png"_s});
    demo.waitForFinished(60000);
    ASSERT_EQ(demo.exitCode(), 0) << demo.readAllStandardError().toStdString();
    QStringList connections{dir.path() + u"/shop/shop.sqlite"_s};
    QFile pg(QStringLiteral(ORVANE_PG_DIR "/connection.txt"));
    if (pg.open(QIODevice::ReadOnly))
        connections << QString::fromUtf8(pg.readAll()).trimmed();
    else if (qEnvironmentVariableIsSet("ORVANE_REQUIRE_PG"))
        FAIL() << "no PostgreSQL test server";
    else
        std::cerr << "PostgreSQL case skipped: no test server\n";
    const QString recid = u"CLI-"_s % QString::number(QCoreApplication::applicationPid());
    for (const QString &db : connections) {
        SCOPED_TRACE(db.toStdString());
        const auto on = [&db](QStringList args, const QByteArray &input = {}) {
            return orvane(args << u"--db"_s << db, input);
        };
        ASSERT_EQ(on({u"db"_s, u"init"_s}).exitCode, 0);
        // Order 1 asks for a part authorization: the row the queue writes.
        const QString request =
            u"<Authorization><AuthorizationHeader><SessionID>"_s + recid +
            u"</SessionID></AuthorizationHeader><AuthorizationDetails><AuthorizationType>"
            u"<Type>G</Type><LineNumber>1</LineNumber><RequestPart>FW02345GTY</RequestPart>"
            u"<RequestQuantity>1</RequestQuantity><RequestPrice>310.25</RequestPrice>"
            u"</AuthorizationType></AuthorizationDetails></Authorization>"_s;
        const QJsonObject queued{
            {u"rectype"_s, u"AUTHREQ"_s}, {u"recid"_s, recid}, {u"xml"_s, request},
            {u"processed"_s, false},      {u"daskid"_s, 1},    {u"daskloc"_s, 1}};
        const CliRun added =
            on({u"db"_s, u"add"_s, u"g_trans"_s,
                QString::fromUtf8(QJsonDocument(queued).toJson(QJsonDocument::Compact))});
        ASSERT_EQ(added.exitCode, 0) << added.err.toStdString();
        const QJsonObject stored = QJsonDocument::fromJson(added.out).object();
        EXPECT_EQ(stored[u"guid"_s].toString().size(), 32) << "the table object fills guid";
        // From standard input: a document the network cannot read.
        const QByteArray row = R"({"rectype": "AUTHREQ", "recid": ")" + recid.toUtf8() +
                               R"(-X", "xml": "<Authorization/>", "processed": false})";
        ASSERT_EQ(on({u"db"_s, u"add"_s, u"g_trans"_s, u"--json-file"_s, u"-"_s}, row).exitCode, 0);

        const QString filter = u"g_trans.recid = '"_s % recid % u"-X' AND processed = .F."_s;
        const CliRun rows = on({u"db"_s, u"rows"_s, u"g_trans"_s, u"--filter"_s, filter});
        ASSERT_EQ(rows.exitCode, 0) << rows.err.toStdString();
        const QJsonArray list = QJsonDocument::fromJson(rows.out).array();
        ASSERT_EQ(list.size(), 1) << rows.out.toStdString();
        EXPECT_EQ(list[0][u"errortext"_s], QJsonValue(u""_s)) << "the database's '' stays ''";
        EXPECT_TRUE(list[0][u"procdate"_s].isNull());

        const CliRun hostile =
            on({u"db"_s, u"rows"_s, u"g_trans"_s, u"--filter"_s, u"1=1; DROP TABLE g_trans"_s});
        EXPECT_TRUE(hostile.err.contains("source: qorOrvaneOut.g_trans")) << hostile.err.data();

        const CliRun run = on({u"net"_s, u"simulate"_s, u"--once"_s});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_TRUE(run.out.contains("answered 1 document(s): 1 authorization line(s)"))
            << run.out.toStdString();
        EXPECT_TRUE(run.out.contains("bounced 1 unreadable document(s)")) << run.out.data();

        // The answer as the wait view's poll finds it: unread, for order 1.
        const CliRun answer = on({u"db"_s, u"rows"_s, u"g_ackn"_s, u"--filter"_s,
                                  u"g_ackn.sessionid = '"_s % recid % u"'"_s});
        const QJsonArray answers = QJsonDocument::fromJson(answer.out).array();
        ASSERT_EQ(answers.size(), 1) << answer.out.toStdString() << answer.err.toStdString();
        const QJsonObject a = answers[0].toObject();
        EXPECT_EQ(a[u"ErrorCode"_s].toString(), u"0"_s) << answer.out.toStdString();
        EXPECT_EQ(a[u"Ack"_s], QJsonValue(false));
        const QByteArray status = on({u"transport"_s, u"status"_s}).out;
        EXPECT_TRUE(status.contains("pending 0, failed 0")) << status.data();
        EXPECT_TRUE(status.contains(QByteArray("AUTHREQ " + recid.toUtf8() + "  processed")));
        // Nothing left to answer; mistakes are refused.
        EXPECT_TRUE(on({u"net"_s, u"simulate"_s, u"--once"_s}).out.contains("nothing to answer"));
        const CliRun badColumn = on({u"db"_s, u"add"_s, u"g_cover"_s, uR"({"nope": 1})"_s});
        EXPECT_TRUE(badColumn.err.contains("Unknown column 'nope'")) << badColumn.err.toStdString();
    }
}
