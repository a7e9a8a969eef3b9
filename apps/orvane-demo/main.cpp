// orvane-demo: a small glass-shop host application over the reference host,
// so the library's flows can be run and looked at on one machine.
#include "DemoMainWindow.h"
#include "HostEnvironment.h"
#include "NetworkSimulator.h"
#include "ReferenceHost.h"
#include "ServiceStatusLabel.h"
#include "TableObjects.h"
#include "VbError.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"orvane-demo"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(u"The Orvane demo shop: a host application over the "
                                     u"reference host and the qorOrvaneUI library."_s);
    parser.addHelpOption();
    const QCommandLineOption dataOption(
        u"data"_s, u"The shop's data folder (created and seeded on first use)."_s, u"folder"_s,
        QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
    const QCommandLineOption screenshotOption(
        u"screenshot"_s, u"Show the window, save a picture of it to FILE and quit."_s, u"file"_s);
    const QCommandLineOption orderOption(u"order"_s, u"Open this order at start."_s, u"id"_s);
    parser.addOption(dataOption);
    parser.addOption(screenshotOption);
    parser.addOption(orderOption);
    const QCommandLineOption simulateOption(
        u"simulate-network"_s,
        u"Answer the shop's outgoing documents every 5 seconds as the network would."_s);
    parser.addOption(simulateOption);
    const QCommandLineOption endpointOption(
        u"network-endpoint"_s,
        u"Show the state of the transport service sending to this network address."_s, u"url"_s);
    const QCommandLineOption caOption(u"network-ca"_s,
                                      u"The network's certificate to trust (PEM)."_s, u"file"_s);
    parser.addOption(endpointOption);
    parser.addOption(caOption);
    parser.process(app);

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
        QObject::connect(&networkTimer, &QTimer::timeout, &window, [&network] {
            try {
                for (const QString &problem : network->runOnce().problems)
                    std::fprintf(stderr, "network simulator: %s\n", qPrintable(problem));
            } catch (const orvane::VbError &e) {
                std::fprintf(stderr, "network simulator: error %ld: %s\n", e.number(),
                             qPrintable(e.description()));
            }
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
