#include "transport/TableObjects.h"

#include "runtime/vb.h"
#include "transport/OrvaneOut.h"
#include "transport/StagingDatabase.h"
#include "transport/StagingSchema.h"
#include <qorOrvaneUI/external/IEnvironment.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>

#include <QUuid>

#include <cmath>

using namespace Qt::StringLiterals;

namespace orvane::transport {

namespace {

void setFitted(Recordset &rs, const QString &field, const QString &text)
{
    rs.setValue(field, rs.field(field).fitted(text));
}

QString childText(const XmlNode &parent, const QString &name)
{
    const XmlNode n = parent.findFirst(XmlNameSet(name));
    return n.isNull() ? QString() : n.text().trimmed();
}

} // namespace

std::vector<XmlNode> elementsNamed(const XmlNode &node, const QString &name)
{
    // Without recursion: documents may nest deeply.
    std::vector<XmlNode> out;
    std::vector<XmlNode> pending{node};
    while (!pending.empty()) {
        const XmlNode n = pending.back();
        pending.pop_back();
        if (n.nodeType() == xmlkind::Element && n.nodeName() == name)
            out.push_back(n);
        std::vector<XmlNode> children;
        for (XmlNode c = n.firstChild(); !c.isNull(); c = c.nextSibling())
            children.push_back(c);
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    return out;
}

QString newGuid()
{
    return QUuid::createUuid().toString(QUuid::Id128).toUpper();
}

// --- TableCore -----------------------------------------------------------------------

TableCore::TableCore(const QString &table) : table_(stagingTable(table))
{
    if (!table_)
        throw itemNotFound(table, u"qorOrvaneOut"_s);
    source_ = u"qorOrvaneOut."_s % table_->name;
    // Until the first load: an empty set of the table's fields.
    rows_ = sql::emptyRecordset(*table_);
}

void TableCore::setEnv(std::shared_ptr<ext::IEnvironment> env)
{
    std::shared_ptr<StagingDatabase> db;
    if (env)
        db = StagingDatabase::open(env->GetConnectString(env->data_path(), 0));
    env_ = std::move(env);
    db_ = std::move(db);
}

StagingDatabase &TableCore::database() const
{
    if (!db_)
        throw VbError(err::ObjectVariableNotSet, source_,
                      u"Object variable or With block variable not set (Env)"_s);
    return *db_;
}

void TableCore::load(const QString &filter)
{
    Recordset rs = database().load(*table_, filter);
    QHash<qint64, std::vector<Value>> loaded;
    rs.forEachRow([&](RowStatus, const std::vector<Value> &values) {
        loaded.insert(values[0].toInt64(), values);
    });
    rows_ = rs;
    loaded_ = std::move(loaded);
}

void TableCore::adopt(Recordset rows)
{
    rows_ = std::move(rows);
    loaded_.clear();
}

void TableCore::save()
{
    StagingDatabase &db = database();
    if (fillsGuid) {
        // A clone with no filter starts on the first row (or at EOF when empty).
        Recordset cursor = rows_.clone();
        for (; !cursor.eof(); cursor.moveNext()) {
            const Value key = cursor.value(table_->key);
            const bool stored = !key.isEmpty() && !key.isNull() && key.toInt64() != 0;
            const Value guid = cursor.value(u"guid"_s);
            if (!stored && (guid.isEmpty() || guid.isNull() || guid.toText().trimmed().isEmpty())) {
                cursor.setValue(u"guid"_s, newGuid());
                cursor.update();
            }
        }
    }
    db.save(*table_, rows_, [this](const Value &key) -> const std::vector<Value> * {
        const auto it = loaded_.constFind(key.toInt64());
        return it == loaded_.cend() ? nullptr : &*it;
    });
    // What was written is the new starting point for the next Update.
    loaded_.clear();
    rows_.forEachRow([&](RowStatus, const std::vector<Value> &values) {
        loaded_.insert(values[0].toInt64(), values);
    });
}

// --- The objects -----------------------------------------------------------------------

Clsg_trans::Clsg_trans() : TableObject(u"g_trans"_s)
{
    // The library looks rows up by guid; a row added without one gets its own.
    core_.fillsGuid = true;
}

G_ackncls::G_ackncls() : TableObject(u"g_ackn"_s) {}

void G_ackncls::Update()
{
    if (noSave_)
        return;
    core_.save();
}

void G_ackncls::get_ackfromxml(const QString &xml)
{
    core_.database(); // the environment comes first, as for every loader
    Recordset rs = sql::emptyRecordset(core_.table());
    XmlDocument doc;
    if (!doc.loadXml(xml) || doc.documentElement().isNull())
        throw VbError(err::BadArguments, u"qorOrvaneOut.g_ackn.get_ackfromxml"_s,
                      u"The authorization document is not well-formed XML."_s);
    const XmlNode root = doc.documentElement();
    const QString session = childText(root, u"SessionID"_s);
    for (const XmlNode &line : elementsNamed(root, u"AuthorizationType"_s)) {
        rs.addNew();
        setFitted(rs, u"sessionid"_s, session);
        setFitted(rs, u"authtype"_s, childText(line, u"Type"_s));
        // Through Value: a number past the column's range is an overflow (6),
        // never a wrapped line number.
        rs.setValue(u"linenumber"_s,
                    Value(Value(std::trunc(vb::Val(childText(line, u"LineNumber"_s)))).toInt32()));
        setFitted(rs, u"part"_s, childText(line, u"RequestPart"_s));
        setFitted(rs, u"relatedpart"_s, childText(line, u"RelatedPart"_s));
        rs.setValue(u"reqqty"_s, vb::Val(childText(line, u"RequestQuantity"_s)));
        rs.setValue(
            u"reqprice"_s,
            Value(vb::Val(childText(line, u"RequestPrice"_s))).convertedTo(ValueKind::Currency));
        setFitted(rs, u"reasoncode"_s, childText(line, u"ReasonCode"_s));
        rs.setValue(u"manualreq"_s, childText(line, u"ManualRequest"_s) == u"Y"_s);
        setFitted(rs, u"reqdesc"_s, childText(line, u"RequestDescription"_s));
        setFitted(rs, u"reqexplain"_s, childText(line, u"RequestExplanation"_s));
        rs.setValue(u"faxingpop"_s, childText(line, u"FaxingPOP"_s) == u"Y"_s);
        // The shop's own record of what it asked; only the network's answer
        // makes a row unread, so a send that stops half-way leaves no false answers.
        rs.setValue(u"Ack"_s, true);
        rs.update();
    }
    if (rs.recordCount() > 0)
        rs.moveFirst();
    core_.adopt(rs);
}

RsTable::RsTable(const QString &table, bool fillsGuid) : TableObject(table)
{
    core_.fillsGuid = fillsGuid;
}

G_pidListcls::G_pidListcls() : TableObject(u"g_pidlist"_s) {}
G_oidListcls::G_oidListcls() : TableObject(u"g_oidlist"_s) {}
G_inscoidcls::G_inscoidcls() : TableObject(u"g_inscoid"_s) {}
G_insidcls::G_insidcls() : TableObject(u"g_insid"_s) {}

void G_inscoidcls::Update()
{
    core_.database(); // the environment comes first

    // The list's own filter chose destpid and origpid; a row the user adds
    // there would otherwise never be found by it again.
    Recordset cursor = core_.rows().clone();
    cursor.setFilter(QString());
    for (cursor.moveFirst(); !cursor.eof(); cursor.moveNext()) {
        const Value key = cursor.value(u"id"_s);
        if (!key.isEmpty() && !key.isNull() && key.toInt64() != 0)
            continue;
        bool changed = false;
        if (!pid_.trimmed().isEmpty() && cursor.value(u"destpid"_s).toText().trimmed().isEmpty()) {
            setFitted(cursor, u"destpid"_s, pid_.trimmed());
            changed = true;
        }
        if (!oid_.trimmed().isEmpty() && cursor.value(u"origpid"_s).toText().trimmed().isEmpty()) {
            setFitted(cursor, u"origpid"_s, oid_.trimmed());
            changed = true;
        }
        if (changed)
            cursor.update();
    }
    core_.save();
}

// --- ClsTransaction ---------------------------------------------------------------------

ClsTransaction::~ClsTransaction()
{
    if (open_)
        db_->rollbackOuter();
}

void ClsTransaction::setEnv(std::shared_ptr<ext::IEnvironment> env)
{
    if (open_)
        throw VbError(err::OperationNotAllowed, u"qorOrvaneOut.clsTransaction"_s,
                      u"The transaction is open."_s);
    // Held open, the connection is the one every table object of this
    // environment made meanwhile shares (StagingDatabase::open).
    db_ = env ? StagingDatabase::open(env->GetConnectString(env->data_path(), 0)) : nullptr;
}

StagingDatabase &ClsTransaction::database() const
{
    if (!db_)
        throw VbError(err::ObjectVariableNotSet, u"qorOrvaneOut.clsTransaction"_s,
                      u"Object variable or With block variable not set (Env)"_s);
    return *db_;
}

void ClsTransaction::BeginTrans()
{
    database().beginOuter();
    open_ = true;
}

void ClsTransaction::CommitTrans()
{
    StagingDatabase &db = database();
    open_ = false;
    db.commitOuter();
}

void ClsTransaction::RollbackTrans()
{
    if (open_)
        database().rollbackOuter();
    open_ = false;
}

// --- Registration ----------------------------------------------------------------------

void registerTransportClasses()
{
    ObjectRegistry &r = ObjectRegistry::instance();
    namespace id = ext::progid;
    auto reg = [&r](const char16_t *progId, ObjectRegistry::Factory f) {
        r.registerClass(QString::fromUtf16(progId), std::move(f));
    };
    reg(id::g_trans, [] { return std::make_shared<Clsg_trans>(); });
    reg(id::g_ackn, [] { return std::make_shared<G_ackncls>(); });
    reg(id::g_enol, [] { return std::make_shared<RsTable>(u"g_enol"_s, true); });
    reg(id::g_enolline, [] { return std::make_shared<RsTable>(u"g_enolline"_s, true); });
    reg(id::g_cover, [] { return std::make_shared<RsTable>(u"g_cover"_s); });
    reg(id::g_lossack, [] { return std::make_shared<RsTable>(u"g_lossack"_s); });
    reg(id::g_dispatch, [] { return std::make_shared<RsTable>(u"g_dispatch"_s); });
    reg(id::g_pidList, [] { return std::make_shared<G_pidListcls>(); });
    reg(id::g_oidList, [] { return std::make_shared<G_oidListcls>(); });
    reg(id::g_inscoid, [] { return std::make_shared<G_inscoidcls>(); });
    reg(id::g_insid, [] { return std::make_shared<G_insidcls>(); });
    reg(id::transaction, [] { return std::make_shared<ClsTransaction>(); });
    reg(id::clsorvaneout, [] { return std::make_shared<Clsorvaneout>(); });
}

} // namespace orvane::transport
