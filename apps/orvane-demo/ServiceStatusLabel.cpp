#include "orvane-demo/ServiceStatusLabel.h"

#include "transport/NetworkClient.h"
#include "transport/StagingDatabase.h"
#include "transport/StagingSchema.h"
#include "transport/TableObjects.h"
#include <qorOrvaneUI/runtime/VbError.h>

using namespace Qt::StringLiterals;

ServiceStatusLabel::ServiceStatusLabel(std::shared_ptr<orvane::ext::IEnvironment> env,
                                       const QString &endpoint, const QString &caFile,
                                       QWidget *parent)
    : QLabel(parent), env_(std::move(env))
{
    setContentsMargins(0, 0, 12, 0); // apart from the counters beside it
    orvane::transport::HttpsClientSettings settings;
    settings.endpoint = QUrl(endpoint);
    settings.caFile = caFile;
    settings.timeoutMs = 3000;
    client_ = std::make_unique<orvane::transport::HttpsNetworkClient>(settings);
    timer_.setInterval(2000);
    connect(&timer_, &QTimer::timeout, this, &ServiceStatusLabel::refresh);
    timer_.start();
    refresh();
}

ServiceStatusLabel::~ServiceStatusLabel() = default;

void ServiceStatusLabel::refresh()
{
    client_->checkHealth([this](bool up, const QString &) { show(up); });
}

void ServiceStatusLabel::show(bool connected)
{
    int pending = 0;
    QString lastError;
    try {
        orvane::transport::TableCore trans(u"g_trans"_s);
        trans.setEnv(env_);
        orvane::transport::StagingDatabase &db = trans.database();
        pending =
            db.load(trans.table(), u"g_trans.processed = .F. AND g_trans.rectype <> 'DISPATCH'"_s)
                .recordCount();
        QString latest;
        for (orvane::Recordset states = db.load(*orvane::transport::stagingTable(u"g_sendstate"_s),
                                                u"g_sendstate.lasterror <> ''"_s);
             !states.eof(); states.moveNext()) {
            const QString stamp = states.value(u"stamp"_s).toText();
            if (stamp >= latest) {
                latest = stamp;
                lastError = states.value(u"lasterror"_s).toText().trimmed();
            }
        }
    } catch (const orvane::VbError &e) {
        lastError = e.description();
    }
    QString text = connected ? u"Network: connected"_s : u"Network: not reachable"_s;
    text += u" \u00b7 "_s % QString::number(pending) % u" waiting to send"_s;
    if (!lastError.isEmpty())
        text += u" \u00b7 last error: "_s % lastError.left(60);
    setText(text);
    setToolTip(lastError);
}
