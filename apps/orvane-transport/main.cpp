// orvane-transport: the shop's transport service. Runs in the foreground (a
// systemd unit keeps it running: orvane-transport.service beside this file).
#include "host/IniFile.h"
#include "transport/NetworkClient.h"
#include "transport/StagingEnvironment.h"
#include "transport/TableObjects.h"
#include "transport/TransportService.h"
#include <qorOrvaneUI/external/IEnvironment.h>
#include <qorOrvaneUI/runtime/VbError.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <csignal>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr const char *kUsage =
    "usage: orvane-transport --config FILE [--once]\n"
    "\n"
    "Carries the shop's outgoing documents to the network over HTTPS and files\n"
    "the answers in the staging tables, until stopped (SIGINT or SIGTERM).\n"
    "--once sends what is waiting now and ends when nothing more is due within\n"
    "the retry wait. FILE is an INI file with a [transport] section: endpoint,\n"
    "credential, cafile, database, orvaneini, scan, timeout, retrybase,\n"
    "retrymax, maxanswer (see orvane-transport.ini.example).\n";

void say(FILE *to, const QString &line)
{
    std::fprintf(to, "%s\n", line.toLocal8Bit().constData());
    std::fflush(to);
}

void quitOnSignal(int)
{
    QCoreApplication::quit();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool once = args.removeAll(u"--once"_s) > 0;
    if (args.size() != 2 || args[0] != u"--config"_s) {
        std::fputs(kUsage, args.contains(u"--help"_s) ? stdout : stderr);
        return args.contains(u"--help"_s) ? 0 : 2;
    }
    const orvane::host::IniFile config(args[1]);
    if (!QFileInfo::exists(args[1])) {
        say(stderr, u"orvane-transport: no settings file "_s % args[1]);
        return 2;
    }
    auto setting = [&](const char *key) { return config.read(u"transport"_s, QLatin1String(key)); };
    auto number = [&](const char *key, qint64 fallback) {
        bool ok = false;
        const qint64 v = setting(key).toLongLong(&ok);
        return ok && v > 0 ? v : fallback;
    };

    const QString database = setting("database");
    if (database.isEmpty() || setting("endpoint").isEmpty()) {
        say(stderr, u"orvane-transport: the settings need endpoint= and database="_s);
        return 2;
    }
    const bool sqliteFile = !database.startsWith(u"QPSQL:"_s, Qt::CaseInsensitive);
    QString dataPath = QDir::currentPath() % u'/';
    if (sqliteFile) {
        QString file = database;
        if (file.startsWith(u"QSQLITE:"_s, Qt::CaseInsensitive))
            file = file.mid(8).section(u';', 0, 0);
        dataPath = QFileInfo(file).absolutePath() % u'/';
    }
    QString orvaneIni = setting("orvaneini");
    if (orvaneIni.isEmpty())
        orvaneIni = dataPath % u"Orvane.ini"_s;

    orvane::transport::HttpsClientSettings clientSettings;
    clientSettings.endpoint = QUrl(setting("endpoint"));
    clientSettings.credential = setting("credential");
    clientSettings.caFile = setting("cafile");
    clientSettings.timeoutMs = int(number("timeout", 15) * 1000);
    clientSettings.maxAnswerBytes =
        number("maxanswer", orvane::transport::protocol::DefaultSizeLimit);
    if (clientSettings.endpoint.scheme() != u"https"_s) {
        say(stderr, u"orvane-transport: the endpoint must be an https:// address"_s);
        return 2;
    }
    orvane::transport::HttpsNetworkClient client(clientSettings);
    QString why;
    if (!client.ready(&why)) {
        say(stderr, u"orvane-transport: "_s % why);
        return 2;
    }

    orvane::transport::ServiceSettings settings;
    settings.scanMs = int(number("scan", 30) * 1000);
    settings.retryBaseMs = int(number("retrybase", 2) * 1000);
    settings.retryMaxMs = int(number("retrymax", 300) * 1000);
    settings.maxAnswerBytes = clientSettings.maxAnswerBytes;

    orvane::transport::registerTransportClasses();
    auto env = std::make_shared<orvane::transport::StagingEnvironment>(database, dataPath);
    orvane::transport::TransportService service(env, client, settings);
    const orvane::host::IniFile flagFile(orvaneIni);
    service.takeSendFlag = [flagFile] {
        if (flagFile.read(u"Orvane"_s, u"SendTrans"_s) != u"1"_s)
            return false;
        try {
            // Lowered before the scan: a document queued after the scan
            // started raises it again.
            orvane::host::IniFile(flagFile).write(u"Orvane"_s, u"SendTrans"_s, u"0"_s);
        } catch (const orvane::VbError &) {
        }
        return true;
    };
    QObject::connect(&service, &orvane::transport::TransportService::logLine,
                     [](const QString &line) { say(stdout, line); });

    std::signal(SIGINT, quitOnSignal);
    std::signal(SIGTERM, quitOnSignal);
    say(stdout, u"orvane-transport: sending to "_s % clientSettings.endpoint.toString() %
                    u", staging database "_s % (sqliteFile ? database : u"(PostgreSQL)"_s));
    service.start();
    QTimer idleCheck;
    if (once) {
        QObject::connect(&idleCheck, &QTimer::timeout, [&service, &settings] {
            if (service.idle(settings.retryBaseMs * 4))
                QCoreApplication::quit();
        });
        idleCheck.start(20);
    }
    const int rc = app.exec();
    service.stop();
    const auto &s = service.state();
    say(stdout, u"orvane-transport: stopped; "_s % QString::number(s.sent) % u" sent, "_s %
                    QString::number(s.failed) % u" refused, "_s % QString::number(s.pending) %
                    u" waiting"_s);
    return rc == 0 && (!once || s.pending == 0) ? 0 : (rc == 0 ? 3 : rc);
}
