// orvane-demo: a small glass-shop host application over the reference host,
// so the library's flows can be run and looked at on one machine.
#include "host/HostEnvironment.h"
#include "host/ReferenceHost.h"
#include "orvane-demo/DemoMainWindow.h"
#include "orvane-demo/ServiceStatusLabel.h"
#include "transport/TableObjects.h"
#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/transport/NetworkSimulator.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QTranslator>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

struct Options {
    QCommandLineOption data{
        u"data"_s, u"The shop's data folder (created and seeded on first use)."_s, u"folder"_s};
    QCommandLineOption screenshot{
        u"screenshot"_s, u"Show the window, save a picture of it to FILE and quit."_s, u"file"_s};
    QCommandLineOption order{u"order"_s, u"Open this order at start."_s, u"id"_s};
    QCommandLineOption simulate{
        u"simulate-network"_s,
        u"Answer the shop's outgoing documents every 5 seconds as the network would."_s};
    QCommandLineOption endpoint{
        u"network-endpoint"_s,
        u"Show the state of the transport service sending to this network address."_s, u"url"_s};
    QCommandLineOption ca{u"network-ca"_s, u"The network's certificate to trust (PEM)."_s,
                          u"file"_s};
    QCommandLineOption lang{
        u"lang"_s,
        u"Show the library's texts in this language: a locale name (de_DE) or \"pseudo\", "
        u"which brackets every translated text so untranslated ones stand out. Default: the "
        u"system's language."_s,
        u"name"_s};
};

QCommandLineOption describe(QCommandLineParser &parser, Options &options)
{
    parser.setApplicationDescription(u"The Orvane demo shop: a host application over the "
                                     u"reference host and the qorOrvaneUI library."_s);
    const QCommandLineOption help = parser.addHelpOption();
    options.data.setDefaultValue(
        QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
    parser.addOptions({options.data, options.screenshot, options.order, options.simulate,
                       options.endpoint, options.ca, options.lang});
    return help;
}

// The library's compiled translations: where an install puts them beside bin,
// else where this build made them. An empty name asks for the system's language.
bool loadTranslation(QTranslator &translator, const QString &name)
{
    const QString dirs[] = {QCoreApplication::applicationDirPath() %
                                u"/../share/qorOrvaneUI/translations"_s,
                            QStringLiteral(ORVANE_TRANSLATIONS_DIR)};
    for (const QString &dir : dirs) {
        if (name.isEmpty() ? translator.load(QLocale(), u"qorOrvaneUI"_s, u"_"_s, dir)
                           : translator.load(u"qorOrvaneUI_"_s % name, dir))
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    // Help needs no display: it is answered before the window system is asked
    // for one. Everything else (Qt's own options too) waits for the QApplication.
    {
        QCoreApplication console(argc, argv);
        QCoreApplication::setApplicationName(u"orvane-demo"_s);
        QCommandLineParser parser;
        Options options;
        const QCommandLineOption help = describe(parser, options);
        parser.parse(QCoreApplication::arguments());
        if (parser.isSet(help))
            parser.showHelp(0);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"orvane-demo"_s);

    QCommandLineParser parser;
    Options options;
    describe(parser, options);
    parser.process(app);
    const QCommandLineOption &dataOption = options.data;
    const QCommandLineOption &screenshotOption = options.screenshot;
    const QCommandLineOption &orderOption = options.order;
    const QCommandLineOption &simulateOption = options.simulate;
    const QCommandLineOption &endpointOption = options.endpoint;
    const QCommandLineOption &caOption = options.ca;

    QTranslator translator;
    const QString lang = parser.value(options.lang);
    if (loadTranslation(translator, lang))
        QCoreApplication::installTranslator(&translator);
    else if (!lang.isEmpty())
        std::fprintf(stderr, "orvane-demo: no translation \"%s\"; the texts stay in English\n",
                     qPrintable(lang));

    const QString data = QDir(parser.value(dataOption)).absolutePath();
    std::shared_ptr<orvane::host::ReferenceHost> host;
    try {
        QDir().mkpath(data + u"/shop"_s);
        QDir().mkpath(data + u"/nags"_s);
        host = orvane::host::ReferenceHost::open(data + u"/shop/"_s, data + u"/nags/"_s);
        host->seedDemo();
    } catch (const orvane::VbError &e) {
        std::fprintf(stderr, "orvane-demo: cannot open the shop in %s\nerror %ld: %s\n",
                     qPrintable(data), e.number(), qPrintable(e.description()));
        return 1;
    }

    DemoMainWindow window(host);
    window.show();

    // Stands in for the network so sent requests get answers on this machine.
    QTimer networkTimer;
    std::unique_ptr<orvane::transport::NetworkSimulator> network;
    if (parser.isSet(simulateOption)) {
        orvane::transport::registerTransportClasses();
        network = std::make_unique<orvane::transport::NetworkSimulator>(host->env());
        QObject::connect(&networkTimer, &QTimer::timeout, &window, [&network, &window] {
            try {
                for (const QString &problem : network->runOnce().problems)
                    std::fprintf(stderr, "network simulator: %s\n", qPrintable(problem));
            } catch (const orvane::VbError &e) {
                std::fprintf(stderr, "network simulator: error %ld: %s\n", e.number(),
                             qPrintable(e.description()));
            }
            // Answers that just arrived show in the counters at once.
            window.refreshCounters();
        });
        networkTimer.start(5000);
    }
    if (parser.isSet(endpointOption)) {
        orvane::transport::registerTransportClasses();
        window.statusBar()->insertPermanentWidget(
            0, new ServiceStatusLabel(host->env(), parser.value(endpointOption),
                                      parser.value(caOption), &window));
    }
    if (parser.isSet(orderOption))
        window.openOrder(parser.value(orderOption).toInt());

    if (parser.isSet(screenshotOption)) {
        const QString file = parser.value(screenshotOption);
        QTimer::singleShot(800, &window, [&window, file] {
            const bool saved = window.grab().save(file);
            std::printf("%s %s\n", saved ? "screenshot written to" : "could not write",
                        qPrintable(file));
            QApplication::exit(saved ? 0 : 1);
        });
    }
    return QApplication::exec();
}
