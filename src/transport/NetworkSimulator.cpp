#include <qorOrvaneUI/transport/NetworkSimulator.h>

#include "transport/StagingDatabase.h"
#include "transport/TableObjects.h"

#include "transport/RowText.h"
#include <qorOrvaneUI/external/IEnvironment.h>
#include <qorOrvaneUI/external/IRsTable.h>
#include <qorOrvaneUI/external/Ig_trans.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/Value.h>
#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>

#include <QDate>

using namespace Qt::StringLiterals;

namespace orvane::transport {

namespace {

using rowtext::cell;
using rowtext::progId;
using rowtext::put;
using rowtext::quoted;

// The loss as the shop stored it: on one machine the simulator reads what a
// network would have kept from the notice.
std::optional<LossFacts> storedLoss(const std::shared_ptr<ext::IEnvironment> &env,
                                    const QString &lossRef)
{
    auto enol = CreateObject<ext::IRsTable>(progId(ext::progid::g_enol));
    enol->setEnv(env);
    enol->get_rs(u"g_enol.Lossrefnum = "_s % quoted(lossRef));
    const Recordset notice = enol->itemsrecordset();
    if (notice.eof())
        return std::nullopt;
    LossFacts facts;
    for (int i = 0; i < notice.fieldCount(); ++i) {
        const QString name = notice.field(i).name();
        facts.notice.insert(name.toLower(), cell(notice, name));
    }
    auto enolline = CreateObject<ext::IRsTable>(progId(ext::progid::g_enolline));
    enolline->setEnv(env);
    enolline->get_rs(u"g_enolline.nolguid = "_s % quoted(cell(notice, u"guid"_s)));
    for (Recordset lines = enolline->itemsrecordset(); !lines.eof(); lines.moveNext()) {
        QHash<QString, QString> line;
        for (const QString &name : {u"opentype"_s, u"poscode"_s, u"sidecode"_s, u"qty"_s})
            line.insert(name, cell(lines, name));
        facts.lines.push_back(line);
    }
    return facts;
}

} // namespace

NetworkSimulator::NetworkSimulator(std::shared_ptr<ext::IEnvironment> env,
                                   const NetworkRules &rules)
    : env_(std::move(env)), answerer_(rules)
{
    answerer_.lossFacts = [env = env_](const QString &lossRef) { return storedLoss(env, lossRef); };
}

SimulationReport NetworkSimulator::runOnce(int maxDocuments)
{
    SimulationReport report;
    Clsg_trans claimer;
    claimer.setEnv(env_);
    StagingDatabase &db = claimer.core().database();
    const sql::TableDef &table = claimer.core().table();
    Recordset waiting =
        db.load(table, u"g_trans.processed = .F. AND g_trans.rectype <> 'DISPATCH'"_s);

    int taken = 0;
    for (; !waiting.eof() && (maxDocuments <= 0 || taken < maxDocuments); waiting.moveNext()) {
        const QString byId = u"g_trans.id = "_s % QString::number(waiting.value(u"id"_s).toInt64());
        QString rectype = waiting.value(u"rectype"_s).toText().trimmed().toUpper();
        QString recid = waiting.value(u"recid"_s).toText().trimmed();
        QString bounced;
        bool claimed = false;
        WrittenAnswer written;
        try {
            // The claim, the answer and the processed mark are one transaction:
            // of two simulators the second finds the row taken, and one killed
            // half-way leaves the row waiting with no part of its answer stored.
            db.writeTransaction([&] {
                Recordset rows = db.claim(table, byId, u"processed"_s);
                if (rows.eof())
                    return; // another simulator took it
                claimed = true;
                try {
                    XmlDocument doc;
                    if (!doc.loadXml(rows.value(u"xml"_s).toText()))
                        throw Refused{u"The document is not well-formed XML"_s};
                    XmlDocument answer;
                    XmlNode answers = answer.appendChild(answer.createElement(u"NetworkAnswer"_s));
                    answerer_.answer(rectype, recid, doc, answer, answers);
                    written =
                        AnswerWriter(env_).write(rectype, recid, doc, answers,
                                                 rows.value(u"daskid"_s), rows.value(u"daskloc"_s));
                } catch (const Refused &refused) {
                    // Refused before anything of an answer was written.
                    bounced = refused.reason;
                }
                auto trans = CreateObject<ext::Ig_trans>(progId(ext::progid::g_trans));
                trans->setEnv(env_);
                trans->get_g_trans(byId);
                Recordset row = trans->itemsrecordset();
                put(row, u"procdate"_s, Value(QDate::currentDate()));
                put(row, u"errortext"_s, bounced);
                trans->Update();
            });
        } catch (const VbError &e) {
            // Nothing of it was stored; the row waits for the next run.
            claimed = false;
            bounced.clear();
            report.problems << rectype % u' ' % recid % u": error "_s %
                                   QString::number(e.number()) % u' ' % e.description();
        }
        if (!claimed)
            continue;
        ++taken;
        if (!bounced.isEmpty()) {
            ++report.bounced;
            report.problems << rectype % u' ' % recid % u": "_s % bounced;
            continue;
        }
        ++report.documents;
        report.answerLines += written.answerLines;
        report.notices += written.notices;
        report.coverageRows += written.coverageRows;
        report.lossAcks += written.lossAcks;
        report.dispatches += written.dispatches;
    }
    return report;
}

} // namespace orvane::transport
