// Built with pkg-config's flags only: parses a dispatch and has the transport's
// classes registered. Usage: pkgconfig_host DISPATCH.xml
#include <qorOrvaneUI/authorization/Authorizationcls.h>
#include <qorOrvaneUI/dispatch/clsShowDispatch.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/loss/eNOLcls.h>
#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>
#include <qorOrvaneUI/transport/TransportClasses.h>

#include <qorOrvaneUI/Version.h>

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

using orvane::dispatch::clsShowDispatch;

static_assert(QORORVANEUI_VERSION >= 0x000100, "the installed version header is older than 0.1");

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    orvane::transport::registerTransportClasses();
    orvane::XmlDocument dom;
    if (!dom.load(app.arguments().value(1)))
        return 1;
    QString xml = dom.xml();
    clsShowDispatch dispatch;
    const int damages = dispatch.GetDamages(xml).recordCount();
    std::printf("qorOrvaneUI %s: %d damaged openings\n", QORORVANEUI_VERSION_STRING, damages);
    const bool registered = orvane::ObjectRegistry::instance().isRegistered(
        QString::fromUtf16(orvane::ext::progid::g_trans));
    return damages > 0 && registered ? 0 : 1;
}
