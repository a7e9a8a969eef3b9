// orvane: the command-line tool of qorOrvaneUI.
#include "orvane/JsonRows.h"
#include <qorOrvaneUI/dispatch/clsShowDispatch.h>
#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>
#include <qorOrvaneUI/widgets/Ui.h>
#include <qorOrvaneUI/widgets/report/Report.h>

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QStringDecoder>

#include <cstdio>
#include <memory>
#include <string_view>

// The transport commands (db, net).
#include "transport/NetworkServer.h"
#include "transport/StagingDatabase.h"
#include "transport/StagingEnvironment.h"
#include "transport/StagingSchema.h"
#include "transport/TableObjects.h"
#include <qorOrvaneUI/external/IEnvironment.h>
#include <qorOrvaneUI/external/IInsIdList.h>
#include <qorOrvaneUI/external/IInscoIdList.h>
#include <qorOrvaneUI/external/IOidList.h>
#include <qorOrvaneUI/external/IPidList.h>
#include <qorOrvaneUI/external/IRsTable.h>
#include <qorOrvaneUI/external/Ig_ackn.h>
#include <qorOrvaneUI/external/Ig_trans.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/transport/NetworkSimulator.h>

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include <cmath>
#include <optional>

using orvane::dispatch::clsShowDispatch;

using namespace Qt::StringLiterals;

namespace {

constexpr const char *kUsage =
    "usage: orvane <command> [arguments]\n"
    "\n"
    "commands:\n"
    "  dispatch records FILE   print a dispatch's record sets as JSON (FILE '-' reads stdin)\n"
    "  dispatch report FILE [--template T] (--pdf OUT | --html OUT)\n"
    "                          render a dispatch as its report, to PDF or HTML\n"
    "  db init --db FILE       create or bring up to date the network staging tables\n"
    "  db add TABLE (JSON | --json-file F) --db FILE\n"
    "                          add one row to a staging table, print it as JSON\n"
    "  db rows TABLE [--filter TEXT] --db FILE\n"
    "                          print a staging table's rows as a JSON array\n"
    "  net simulate [--once] --db FILE\n"
    "                          answer queued documents as the network would\n"
    "  network serve --cert PEM --key PEM --credential TEXT [options]\n"
    "                          the network as an HTTPS server, for the transport service\n"
    "  transport status --db FILE\n"
    "                          what the transport service has sent, what waits, what failed\n"
    "\n"
    "Run 'orvane <command> --help' for a command's details.\n";

constexpr const char *kDispatchUsage =
    "usage: orvane dispatch records FILE\n"
    "       orvane dispatch report FILE [--template T] (--pdf OUT | --html OUT)\n"
    "\n"
    "records:\n"
    "Parses the dispatch document FILE ('-' reads standard input) as the library\n"
    "does and prints one JSON object:\n"
    "  {\"dispatch\": [...], \"discounts\": [...], \"auths\": [...], \"damages\": [...]}\n"
    "Each row lists every field of its record set in field order; a field the\n"
    "document did not fill is null, dates are \"YYYY-MM-DD\".\n"
    "\n"
    "report:\n"
    "Binds the dispatch FILE ('-' reads standard input) to the report template T\n"
    "exactly as the dispatch view does and writes the rendered report as PDF or\n"
    "HTML to OUT. T defaults to the shipped samples/reports/g_dispatch.rpt.\n"
    "\n"
    "A failure prints the error's number, source and description to standard\n"
    "error and exits with 1.\n";

// The tool has no windows: a message box becomes a line on standard error.
class ConsoleUi : public orvane::Ui {
public:
    orvane::MsgResult msgBox(const QString &text, orvane::MsgButtons, orvane::MsgIcon,
                             const QString &title) override
    {
        const QString shown =
            (title.isEmpty() ? QString::fromUtf16(orvane::DefaultMsgTitle) : title) % u": "_s %
            text;
        std::fprintf(stderr, "%s\n", shown.toLocal8Bit().constData());
        return orvane::MsgResult::OK;
    }
    int showModal(QDialog *) override { return 0; }
    void doEvents() override {}
    QRect windowRect(orvane::WindowHandle) override { return {}; }
    QSize screenSize() override { return {}; }
};

void printError(const orvane::VbError &e)
{
    const QString text = u"error "_s % QString::number(e.number()) % u"\nsource: "_s % e.source() %
                         u"\n"_s % e.description();
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

// A document's bytes as text: a byte order mark or the declaration's encoding
// decides, UTF-8 otherwise.
QString decodeDocument(const QByteArray &bytes)
{
    if (auto bom = QStringConverter::encodingForData(bytes))
        return QStringDecoder(*bom).decode(bytes);
    static const QRegularExpression declaration(
        uR"(^\s*<\?xml[^>]*encoding\s*=\s*["']([A-Za-z0-9._-]+)["'])"_s);
    const auto m = declaration.match(QString::fromLatin1(bytes.left(200)));
    if (m.hasMatch()) {
        QStringDecoder decoder(m.captured(1).toLatin1().constData());
        if (decoder.isValid())
            return decoder.decode(bytes);
    }
    return QString::fromUtf8(bytes);
}

QByteArray readInput(const QString &path)
{
    QFile file;
    const bool opened = path == u"-"_s ? file.open(stdin, QIODevice::ReadOnly)
                                       : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!opened)
        throw orvane::VbError(53, u"orvane"_s, u"File not found: "_s % path);
    return file.readAll();
}

int dispatchRecords(const QString &path)
{
    QString text = decodeDocument(readInput(path));

    clsShowDispatch dispatch;
    dispatch.CreateRecordset();
    orvane::XmlDocument document;
    document.loadXml(text);
    dispatch.FillRecordset(document);

    // The getters parse the same text again, each into a fresh record set, as
    // the host would call them.
    clsShowDispatch groups;
    const orvane::Recordset discounts = groups.GetDiscounts(text);
    const orvane::Recordset auths = groups.GetAuths(text);
    const orvane::Recordset damages = groups.GetDamages(text);

    QByteArray out = "{\n  \"dispatch\": " % JsonRows::rows(dispatch.dispatchRecordset()) %
                     ",\n  \"discounts\": " % JsonRows::rows(discounts) % ",\n  \"auths\": " %
                     JsonRows::rows(auths) % ",\n  \"damages\": " % JsonRows::rows(damages) %
                     "\n}\n";
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    return 0;
}

// The shipped default template: beside the executable, or where the install
// puts it (share/qorOrvaneUI/reports beside bin), else in the source tree the
// tool was built from.
QString defaultTemplate()
{
    const QString bin = QCoreApplication::applicationDirPath();
    const QString candidates[] = {bin % u"/reports/g_dispatch.rpt"_s,
                                  bin % u"/../share/qorOrvaneUI/reports/g_dispatch.rpt"_s};
    for (const QString &candidate : candidates)
        if (QFile::exists(candidate))
            return candidate;
    return QStringLiteral(ORVANE_SAMPLES_DIR "/reports/g_dispatch.rpt");
}

int dispatchReport(const QStringList &args)
{
    QString input;
    QString templatePath;
    QString pdf;
    QString html;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        QString *option = a == u"--template"_s ? &templatePath
                          : a == u"--pdf"_s    ? &pdf
                          : a == u"--html"_s   ? &html
                                               : nullptr;
        if (option) {
            if (i + 1 >= args.size() || !option->isEmpty()) {
                std::fputs(kDispatchUsage, stderr);
                return 2;
            }
            *option = args[++i];
        } else if (input.isEmpty() && (a == u"-"_s || !a.startsWith(u"-"_s))) {
            input = a;
        } else {
            std::fputs(kDispatchUsage, stderr);
            return 2;
        }
    }
    if (input.isEmpty() || pdf.isEmpty() == html.isEmpty()) {
        std::fputs(kDispatchUsage, stderr);
        return 2;
    }
    if (templatePath.isEmpty())
        templatePath = defaultTemplate();

    const QString text = decodeDocument(readInput(input));
    clsShowDispatch dispatch;
    const std::unique_ptr<orvane::report::Report> report = dispatch.BoundReport(text, templatePath);
    if (!pdf.isEmpty()) {
        report->exportPdf(pdf);
        return 0;
    }
    QFile out(html);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        out.write(report->toHtml().toUtf8()) < 0)
        throw orvane::VbError(75, u"orvane"_s, u"Path/File access error: "_s % html);
    return 0;
}

int dispatchCommand(const QStringList &args)
{
    if (args.isEmpty() || args[0] == u"--help"_s || args[0] == u"-h"_s) {
        std::fputs(kDispatchUsage, args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? 2 : 0;
    }
    if (args[0] == u"records"_s) {
        if (args.size() == 2 && args[1] == u"--help"_s) {
            std::fputs(kDispatchUsage, stdout);
            return 0;
        }
        if (args.size() != 2) {
            std::fputs(kDispatchUsage, stderr);
            return 2;
        }
        return dispatchRecords(args[1]);
    }
    if (args[0] == u"report"_s) {
        if (args.size() == 2 && args[1] == u"--help"_s) {
            std::fputs(kDispatchUsage, stdout);
            return 0;
        }
        return dispatchReport(args.mid(1));
    }
    std::fprintf(stderr, "orvane dispatch: unknown subcommand '%s'\n\n%s",
                 args[0].toLocal8Bit().constData(), kDispatchUsage);
    return 2;
}

// --- transport commands: db init, db add, net simulate ---------------------------------

constexpr const char *kDbUsage =
    "usage: orvane db init --db FILE\n"
    "       orvane db add TABLE (JSON | --json-file F) --db FILE\n"
    "       orvane db rows TABLE [--filter TEXT] --db FILE\n"
    "\n"
    "init: creates the network staging tables in the shop database FILE, or\n"
    "brings an older one up to date keeping its rows.\n"
    "add: adds one row to TABLE (g_trans, g_ackn, g_enol, g_enolline, g_cover,\n"
    "g_lossack, g_dispatch, g_pidlist, g_oidlist, g_inscoid, g_insid) through\n"
    "its table object and prints the stored row as JSON. JSON is an object of\n"
    "column values: text for text and dates (\"YYYY-MM-DD\"), numbers, true/false,\n"
    "null; each is converted to its column's type. The key id is generated.\n"
    "--json-file F reads the JSON from the file F ('-' reads standard input).\n"
    "rows: loads TABLE through its table object with the filter TEXT (a\n"
    "condition as the host writes it, e.g. \"rectype = 'DISPATCH' AND daskid = 0\";\n"
    "none: every row) and prints the rows as one JSON array, values as stored.\n"
    "g_pidlist and g_oidlist load whole and take no filter.\n"
    "\n"
    "FILE is an SQLite file, or a PostgreSQL connection text\n"
    "\"QPSQL:host=..;port=..;dbname=..;user=..;password=..\".\n";

constexpr const char *kNetUsage =
    "usage: orvane net simulate [--once] --db FILE\n"
    "\n"
    "Stands in for the network: answers the outgoing documents waiting in g_trans\n"
    "(authorization requests, loss notices, coverage answers) in the staging\n"
    "tables, as the insurer's side would, and marks them processed. Runs every\n"
    "5 seconds until interrupted, or once with --once. FILE as for 'orvane db'.\n";

// The environment the table objects need: the database the command names.
// Orvane.ini, should anything write it, goes beside an SQLite file.
class CliEnvironment : public orvane::transport::StagingEnvironment {
public:
    explicit CliEnvironment(const QString &connection)
        : StagingEnvironment(connection, dataFolderOf(connection))
    {
    }

private:
    static QString dataFolderOf(const QString &connection)
    {
        const bool sqliteFile = !connection.startsWith(u"QPSQL:"_s, Qt::CaseInsensitive);
        QString file = connection;
        if (file.startsWith(u"QSQLITE:"_s, Qt::CaseInsensitive))
            file = file.mid(8).section(u';', 0, 0);
        return (sqliteFile ? QFileInfo(file).absolutePath() : QDir::currentPath()) % u'/';
    }
};

// Takes "NAME VALUE" out of args; nothing when absent, `bad` when given twice
// or without its value.
std::optional<QString> takeOption(QStringList &args, const QString &name, bool &bad)
{
    std::optional<QString> value;
    for (qsizetype i = 0; i < args.size();) {
        if (args[i] != name) {
            ++i;
            continue;
        }
        if (i + 1 >= args.size() || value) {
            bad = true;
            return {};
        }
        value = args[i + 1];
        args.remove(i, 2);
    }
    return value;
}

// Takes "--db VALUE" out of args; empty (and `bad`) when absent or given twice.
QString takeDbOption(QStringList &args, bool &bad)
{
    QString db = takeOption(args, u"--db"_s, bad).value_or(QString());
    bad = bad || db.isEmpty();
    return db;
}

// The table object of a staging table, loaded through its own loader with
// `filter` (the host's dialect; an empty one loads every row). The ID lists
// load whole: they refuse a filter.
std::shared_ptr<orvane::ext::ITableObject> loadTable(const QString &table,
                                                     const std::shared_ptr<CliEnvironment> &env,
                                                     const QString &filter, const QString &source)
{
    namespace pid = orvane::ext::progid;
    using orvane::CreateObject;
    const QString name = table.toLower();
    auto make = [&](const char16_t *id) {
        auto object = CreateObject<orvane::ext::ITableObject>(QString::fromUtf16(id));
        object->setEnv(env);
        return object;
    };
    if (name == u"g_trans"_s) {
        auto o = make(pid::g_trans);
        std::dynamic_pointer_cast<orvane::ext::Ig_trans>(o)->get_g_trans(filter);
        return o;
    }
    if (name == u"g_ackn"_s) {
        auto o = make(pid::g_ackn);
        std::dynamic_pointer_cast<orvane::ext::Ig_ackn>(o)->Get_g_ACKN(filter);
        return o;
    }
    const std::pair<const char *, const char16_t *> rsTables[] = {{"g_enol", pid::g_enol},
                                                                  {"g_enolline", pid::g_enolline},
                                                                  {"g_cover", pid::g_cover},
                                                                  {"g_lossack", pid::g_lossack},
                                                                  {"g_dispatch", pid::g_dispatch}};
    for (const auto &[tableName, id] : rsTables) {
        if (name == QLatin1String(tableName)) {
            auto o = make(id);
            std::dynamic_pointer_cast<orvane::ext::IRsTable>(o)->get_rs(filter);
            return o;
        }
    }
    if (name == u"g_inscoid"_s) {
        auto o = make(pid::g_inscoid);
        std::dynamic_pointer_cast<orvane::ext::IInscoIdList>(o)->get_g_inscoid(filter);
        return o;
    }
    if (name == u"g_insid"_s) {
        auto o = make(pid::g_insid);
        std::dynamic_pointer_cast<orvane::ext::IInsIdList>(o)->get_g_insid(filter);
        return o;
    }
    if ((name == u"g_pidlist"_s || name == u"g_oidlist"_s) && !filter.isEmpty())
        throw orvane::VbError(orvane::err::BadArguments, source,
                              u"Table "_s % name % u" loads whole and takes no filter"_s);
    if (name == u"g_pidlist"_s) {
        auto o = make(pid::g_pidList);
        std::dynamic_pointer_cast<orvane::ext::IPidList>(o)->get_g_pidlist();
        return o;
    }
    if (name == u"g_oidlist"_s) {
        auto o = make(pid::g_oidList);
        std::dynamic_pointer_cast<orvane::ext::IOidList>(o)->Get_g_oidList();
        return o;
    }
    throw orvane::VbError(orvane::err::BadArguments, source, u"Unknown table '"_s % table % u"'"_s);
}

// The table object loaded with no rows, ready for AddNew.
std::shared_ptr<orvane::ext::ITableObject> emptyTable(const QString &table,
                                                      const std::shared_ptr<CliEnvironment> &env)
{
    const QString name = table.toLower();
    // The ID lists load whole; adding to them works the same.
    const bool whole = name == u"g_pidlist"_s || name == u"g_oidlist"_s;
    return loadTable(table, env,
                     whole ? QString() : name % u".id = 0 AND "_s % name % u".id <> 0"_s,
                     u"orvane db add"_s);
}

// A JSON value as the runtime value the column converts from.
orvane::Value jsonValue(const QJsonValue &v, const QString &column)
{
    switch (v.type()) {
    case QJsonValue::Null:
        return orvane::Value::null();
    case QJsonValue::Bool:
        return v.toBool();
    case QJsonValue::Double: {
        const double d = v.toDouble();
        if (std::trunc(d) == d && std::abs(d) < 9.0e15)
            return std::int64_t(d);
        return d;
    }
    case QJsonValue::String:
        return v.toString();
    default:
        throw orvane::VbError(orvane::err::TypeMismatch, u"orvane db add"_s,
                              u"Column '"_s % column %
                                  u"' takes text, a number, true/false or null"_s);
    }
}

int dbAdd(const QString &table, const QString &jsonText, const QString &db)
{
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(jsonText.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !json.isObject())
        throw orvane::VbError(orvane::err::BadArguments, u"orvane db add"_s,
                              u"JSON must be one object of column values"_s %
                                  (error.error != QJsonParseError::NoError
                                       ? u": "_s % error.errorString()
                                       : QString()));
    auto env = std::make_shared<CliEnvironment>(db);
    auto object = emptyTable(table, env);
    orvane::Recordset rs = object->itemsrecordset();
    rs.addNew();
    const QJsonObject values = json.object();
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (it.key().compare(u"id"_s, Qt::CaseInsensitive) == 0)
            throw orvane::VbError(orvane::err::BadArguments, u"orvane db add"_s,
                                  u"The key id is generated by the database"_s);
        if (rs.fieldIndex(it.key()) < 0)
            throw orvane::VbError(orvane::err::ItemNotFound, u"orvane db add"_s,
                                  u"Unknown column '"_s % it.key() % u"' in table "_s % table);
        try {
            rs.field(it.key()).setValue(jsonValue(it.value(), it.key()));
        } catch (const orvane::VbError &e) {
            throw orvane::VbError(e.number(), u"orvane db add"_s,
                                  u"Column '"_s % it.key() % u"': "_s % e.description());
        }
    }
    rs.update();
    object->Update();

    // Just the stored row, whatever else the object loaded.
    orvane::Recordset one = rs.emptyCopy();
    one.addNew();
    for (int i = 0; i < rs.fieldCount(); ++i)
        one.field(i).setValue(rs.field(i).value());
    one.update();
    QByteArray out = JsonRows::rows(one).trimmed();
    out = out.mid(1, out.size() - 2).trimmed() + '\n'; // the object, not a list of one
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    return 0;
}

int dbRows(const QString &table, const QString &filter, const QString &db)
{
    std::shared_ptr<orvane::ext::ITableObject> object;
    try {
        object =
            loadTable(table, std::make_shared<CliEnvironment>(db), filter, u"orvane db rows"_s);
    } catch (const orvane::VbError &e) {
        // A refused filter says which table object refused it.
        if (!e.source().isEmpty())
            throw;
        throw orvane::VbError(e.number(), u"qorOrvaneOut."_s % table.toLower(), e.description());
    }
    const QByteArray out = JsonRows::rows(object->itemsrecordset()) + '\n';
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    return 0;
}

int dbCommand(QStringList args)
{
    if (args.isEmpty() || args.contains(u"--help"_s) || args.contains(u"-h"_s)) {
        std::fputs(kDbUsage, args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? 2 : 0;
    }
    bool bad = false;
    const QString db = takeDbOption(args, bad);
    const std::optional<QString> jsonFile = takeOption(args, u"--json-file"_s, bad);
    const std::optional<QString> filter = takeOption(args, u"--filter"_s, bad);
    const QString sub = args.value(0);
    const bool fits = (sub == u"init"_s && args.size() == 1 && !jsonFile && !filter) ||
                      (sub == u"add"_s && args.size() == (jsonFile ? 2 : 3) && !filter) ||
                      (sub == u"rows"_s && args.size() == 2 && !jsonFile);
    if (bad || !fits) {
        std::fputs(kDbUsage, stderr);
        return 2;
    }
    orvane::transport::registerTransportClasses();
    if (sub == u"add"_s)
        return dbAdd(args[1], jsonFile ? QString::fromUtf8(readInput(*jsonFile)) : args[2], db);
    if (sub == u"rows"_s)
        return dbRows(args[1], filter.value_or(QString()), db);
    const auto staging = orvane::transport::StagingDatabase::open(db);
    std::printf("staging tables ready (schema version %d)\n", staging->version());
    return 0;
}

void printSimulation(const orvane::transport::SimulationReport &r)
{
    if (r.bounced > 0)
        std::printf("bounced %d unreadable document(s)\n", r.bounced);
    if (r.documents > 0)
        std::printf("answered %d document(s): %d authorization line(s), %d loss notice(s), "
                    "%d coverage row(s), %d loss acknowledgement(s), %d dispatch(es)\n",
                    r.documents, r.answerLines, r.notices, r.coverageRows, r.lossAcks,
                    r.dispatches);
    for (const QString &problem : r.problems)
        std::fprintf(stderr, "%s\n", problem.toLocal8Bit().constData());
    std::fflush(stdout);
}

int netCommand(QStringList args)
{
    if (args.isEmpty() || args.contains(u"--help"_s) || args.contains(u"-h"_s)) {
        std::fputs(kNetUsage, args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? 2 : 0;
    }
    bool bad = false;
    const QString db = takeDbOption(args, bad);
    const bool once = args.removeAll(u"--once"_s) > 0;
    if (bad || args != QStringList{u"simulate"_s}) {
        std::fputs(kNetUsage, stderr);
        return 2;
    }
    orvane::transport::registerTransportClasses();
    orvane::transport::NetworkSimulator simulator(std::make_shared<CliEnvironment>(db));
    if (once) {
        const auto report = simulator.runOnce();
        printSimulation(report);
        if (report.documents == 0 && report.bounced == 0 && report.problems.isEmpty())
            std::printf("nothing to answer\n");
        return 0;
    }
    // Until interrupted; a failed run (the database away) is reported and tried again.
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&simulator] {
        try {
            printSimulation(simulator.runOnce());
        } catch (...) {
            printError(orvane::currentError());
        }
    });
    timer.start(5000);
    printSimulation(simulator.runOnce());
    return QCoreApplication::exec();
}

constexpr const char *kNetworkUsage =
    "usage: orvane network serve --cert PEM --key PEM --credential TEXT [--listen ADDRESS]\n"
    "         [--port N] [--port-file F] [--delay TYPE=MS]... [--refuse TYPE=TEXT]...\n"
    "         [--fault drop|500|stall|lose|twice] [--fault-count N] [--stall-ms MS]\n"
    "         [--state DIR]\n"
    "\n"
    "Answers the transport service's documents over HTTPS as the network would\n"
    "(docs/network-protocol.md), with the simulator's answers. The shop's requests\n"
    "must carry TEXT as their credential. ADDRESS defaults to 127.0.0.1, N to\n"
    "8443 (0: any free port); --port-file writes the port listened on to F.\n"
    "TYPE is a record type (AUTHREQ, ENOL, LOSSAH): --delay holds its answers MS\n"
    "milliseconds, --refuse refuses it with TEXT. --fault misbehaves on every\n"
    "document request, or on the first N with --fault-count: drop the\n"
    "connection, answer 500, stall for --stall-ms (60000) then close, lose the\n"
    "answer after taking the document, or put every answer in it twice.\n"
    "--state keeps the answers given and the notices confirmed in DIR, so that\n"
    "a restarted server answers a resent document as it did before.\n"
    "Runs until interrupted.\n";

int networkCommand(QStringList args)
{
    if (args.isEmpty() || args.contains(u"--help"_s) || args.contains(u"-h"_s)) {
        std::fputs(kNetworkUsage, args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? 2 : 0;
    }
    using orvane::transport::ServerFault;
    orvane::transport::ServerOptions options;
    // The repeatable options first: TYPE=VALUE pairs.
    for (qsizetype i = 0; i + 1 < args.size();) {
        if (args[i] != u"--delay"_s && args[i] != u"--refuse"_s) {
            ++i;
            continue;
        }
        const QString type = args[i + 1].section(u'=', 0, 0).trimmed().toUpper();
        const QString value = args[i + 1].section(u'=', 1);
        if (args[i] == u"--delay"_s)
            options.delayMs.insert(type, value.toInt());
        else
            options.refuse.insert(type, value);
        args.remove(i, 2);
    }
    bool bad = false;
    const QString cert = takeOption(args, u"--cert"_s, bad).value_or(QString());
    const QString key = takeOption(args, u"--key"_s, bad).value_or(QString());
    options.credential = takeOption(args, u"--credential"_s, bad).value_or(QString());
    const QString listen = takeOption(args, u"--listen"_s, bad).value_or(u"127.0.0.1"_s);
    const QString port = takeOption(args, u"--port"_s, bad).value_or(u"8443"_s);
    const std::optional<QString> portFile = takeOption(args, u"--port-file"_s, bad);
    const QString fault = takeOption(args, u"--fault"_s, bad).value_or(QString());
    options.faultCount = takeOption(args, u"--fault-count"_s, bad).value_or(u"-1"_s).toInt();
    options.stallMs = takeOption(args, u"--stall-ms"_s, bad).value_or(u"60000"_s).toInt();
    options.stateDir = takeOption(args, u"--state"_s, bad).value_or(QString());
    const QHash<QString, ServerFault> faults = {
        {u""_s, ServerFault::None},           {u"drop"_s, ServerFault::Drop},
        {u"500"_s, ServerFault::Error500},    {u"stall"_s, ServerFault::Stall},
        {u"lose"_s, ServerFault::LoseAnswer}, {u"twice"_s, ServerFault::Twice}};
    if (bad || args != QStringList{u"serve"_s} || cert.isEmpty() || key.isEmpty() ||
        options.credential.isEmpty() || !faults.contains(fault)) {
        std::fputs(kNetworkUsage, stderr);
        return 2;
    }
    options.fault = faults.value(fault);
    orvane::transport::NetworkServer server(options);
    QString why;
    if (!server.useTls(cert, key, &why)) {
        std::fprintf(stderr, "orvane network serve: %s\n", why.toLocal8Bit().constData());
        return 1;
    }
    const QHostAddress address(listen);
    const quint16 bound = address.isNull() ? 0 : server.listenOn(address, quint16(port.toUInt()));
    if (bound == 0) {
        std::fprintf(stderr, "orvane network serve: cannot listen on %s port %s\n",
                     listen.toLocal8Bit().constData(), port.toLocal8Bit().constData());
        return 1;
    }
    if (portFile) {
        QFile out(*portFile);
        if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            out.write(QByteArray::number(bound) + '\n');
    }
    QObject::connect(&server, &orvane::transport::NetworkServer::logLine, [](const QString &line) {
        std::printf("%s\n", line.toLocal8Bit().constData());
        std::fflush(stdout);
    });
    std::printf("listening on https://%s:%u\n", listen.toLocal8Bit().constData(), bound);
    std::fflush(stdout);
    return QCoreApplication::exec();
}

constexpr const char *kTransportUsage =
    "usage: orvane transport status --db FILE\n"
    "\n"
    "What the transport service has done with the outgoing documents in the\n"
    "staging database FILE: how many were sent, wait, failed, the last error, and\n"
    "per document its state, resend count and the network's receipt.\n"
    "FILE as for 'orvane db'.\n";

int transportCommand(QStringList args)
{
    if (args.isEmpty() || args.contains(u"--help"_s) || args.contains(u"-h"_s)) {
        std::fputs(kTransportUsage, args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? 2 : 0;
    }
    bool bad = false;
    const QString db = takeDbOption(args, bad);
    if (bad || args != QStringList{u"status"_s}) {
        std::fputs(kTransportUsage, stderr);
        return 2;
    }
    using namespace orvane::transport;
    const auto staging = StagingDatabase::open(db);
    orvane::Recordset docs =
        staging->load(*stagingTable(u"g_trans"_s), u"g_trans.rectype <> 'DISPATCH'"_s);
    orvane::Recordset states = staging->load(*stagingTable(u"g_sendstate"_s), QString());
    QString lastError;
    QString lastStamp;
    int sent = 0, failed = 0, pending = 0;
    struct State {
        QString state, receipt, error;
        int resends = 0;
    };
    QHash<QString, State> known;
    for (; !states.eof(); states.moveNext()) {
        State st{states.value(u"state"_s).toText().trimmed(),
                 states.value(u"receipt"_s).toText().trimmed(),
                 states.value(u"lasterror"_s).toText().trimmed(),
                 states.value(u"resends"_s).toInt32()};
        const QString stamp = states.value(u"stamp"_s).toText();
        if (!st.error.isEmpty() && stamp >= lastStamp) {
            lastStamp = stamp;
            lastError = st.error;
        }
        known.insert(states.value(u"msgid"_s).toText().trimmed().toUpper(), st);
    }
    QStringList lines;
    for (; !docs.eof(); docs.moveNext()) {
        const QString guid = docs.value(u"guid"_s).toText().trimmed().toUpper();
        const bool processed = docs.value(u"processed"_s).toBool();
        State st = known.value(guid);
        if (st.state.isEmpty())
            st.state = processed ? u"processed"_s : u"pending"_s;
        if (!processed)
            ++pending;
        else if (st.state == u"refused"_s)
            ++failed;
        else
            ++sent;
        lines << docs.value(u"rectype"_s).toText().trimmed() % u' ' %
                     docs.value(u"recid"_s).toText().trimmed() % u"  "_s % st.state %
                     u"  resent "_s % QString::number(st.resends) % u"  receipt "_s %
                     (st.receipt.isEmpty() ? u"-"_s : st.receipt) %
                     (st.error.isEmpty() ? QString() : u"  last error: "_s % st.error);
    }
    std::printf("sent %d, pending %d, failed %d\nlast error: %s\n", sent, pending, failed,
                lastError.isEmpty() ? "none" : lastError.toLocal8Bit().constData());
    for (const QString &line : lines)
        std::printf("%s\n", line.toLocal8Bit().constData());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // Rendering a report lays out text, which needs fonts and so a GUI
    // application; with no display it draws off screen.
    const bool rendering = argc > 2 && std::string_view(argv[1]) == "dispatch" &&
                           std::string_view(argv[2]) == "report";
    if (rendering && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app = rendering
                                                ? std::make_unique<QGuiApplication>(argc, argv)
                                                : std::make_unique<QCoreApplication>(argc, argv);
    orvane::Ui::install(std::make_shared<ConsoleUi>());
    QStringList args = app->arguments().mid(1);
    try {
        if (args.isEmpty() || args[0] == u"--help"_s || args[0] == u"-h"_s ||
            args[0] == u"help"_s) {
            std::fputs(kUsage, args.isEmpty() ? stderr : stdout);
            return args.isEmpty() ? 2 : 0;
        }
        const QString command = args.takeFirst();
        if (command == u"dispatch"_s)
            return dispatchCommand(args);
        if (command == u"db"_s)
            return dbCommand(args);
        if (command == u"net"_s)
            return netCommand(args);
        if (command == u"network"_s)
            return networkCommand(args);
        if (command == u"transport"_s)
            return transportCommand(args);
        std::fprintf(stderr, "orvane: unknown command '%s'\n\n%s",
                     command.toLocal8Bit().constData(), kUsage);
        return 2;
    } catch (...) {
        printError(orvane::currentError());
        return 1;
    }
}
