#include "qorOrvaneUI/core/modOrvane.h"
#include "support/TestHelpers.h"
#include "transport/TableObjects.h"
#include "transport/TransportFixture.h"
#include <qorOrvaneUI/external/ProgIds.h>

#include <functional>

namespace modOrvane = orvane::modOrvane;

using namespace Qt::StringLiterals;
using namespace orvane;
using namespace orvane::transport;
using namespace orvane::transport::test;
using orvane::test::errorNumber;

namespace {

// One table object as the library drives it: identifier, table, loader, and a
// text column to write.
struct ObjectCase {
    const char16_t *progId;
    QString table;
    std::function<void(ComObject &, const QString &)> load; // empty filter: list loaders
    QString textColumn;
    bool takesFilter = true;
};

std::vector<ObjectCase> objectCases()
{
    auto rs = [](ComObject &o, const QString &f) { dynamic_cast<ext::IRsTable &>(o).get_rs(f); };
    return {
        {ext::progid::g_trans, u"g_trans"_s,
         [](ComObject &o, const QString &f) { dynamic_cast<ext::Ig_trans &>(o).get_g_trans(f); },
         u"recid"_s},
        {ext::progid::g_ackn, u"g_ackn"_s,
         [](ComObject &o, const QString &f) { dynamic_cast<ext::Ig_ackn &>(o).Get_g_ACKN(f); },
         u"sessionid"_s},
        {ext::progid::g_enol, u"g_enol"_s, rs, u"lossid"_s},
        {ext::progid::g_enolline, u"g_enolline"_s, rs, u"nolguid"_s},
        {ext::progid::g_cover, u"g_cover"_s, rs, u"lossref"_s},
        {ext::progid::g_lossack, u"g_lossack"_s, rs, u"lossref"_s},
        {ext::progid::g_dispatch, u"g_dispatch"_s, rs, u"lossidnum"_s},
        {ext::progid::g_pidList, u"g_pidlist"_s,
         [](ComObject &o, const QString &) { dynamic_cast<ext::IPidList &>(o).get_g_pidlist(); },
         u"PID"_s, false},
        {ext::progid::g_oidList, u"g_oidlist"_s,
         [](ComObject &o, const QString &) { dynamic_cast<ext::IOidList &>(o).Get_g_oidList(); },
         u"Origid"_s, false},
        {ext::progid::g_inscoid, u"g_inscoid"_s,
         [](ComObject &o, const QString &f) {
             dynamic_cast<ext::IInscoIdList &>(o).get_g_inscoid(f);
         },
         u"INScoid"_s},
        {ext::progid::g_insid, u"g_insid"_s,
         [](ComObject &o, const QString &f) { dynamic_cast<ext::IInsIdList &>(o).get_g_insid(f); },
         u"Insurerid"_s},
    };
}

std::shared_ptr<ext::ITableObject> create(const char16_t *progId)
{
    // Some call sites write the identifiers in lower case.
    return CreateObject<ext::ITableObject>(QString::fromUtf16(progId).toLower());
}

} // namespace

class TableObjectTest : public TransportTest {
protected:
    std::shared_ptr<ext::Ig_trans> trans() { return object<ext::Ig_trans>(ext::progid::g_trans); }

    // Rows of g_trans the filter finds, as "rectype|recid" texts, in key order.
    QStringList transRows(const QString &filter = {})
    {
        auto t = trans();
        t->get_g_trans(filter);
        return rowTexts(t->itemsrecordset(), {u"rectype"_s, u"recid"_s});
    }

    void addTrans(const QString &rectype, const QString &recid, const QString &xml = {})
    {
        auto t = trans();
        t->get_g_trans(u"g_trans.guid = '1' and g_trans.guid <> '1'"_s); // an empty row set
        Recordset rs = t->itemsrecordset();
        rs.addNew();
        rs.setValue(u"rectype"_s, rectype);
        rs.setValue(u"recid"_s, recid);
        rs.setValue(u"xml"_s, xml);
        rs.setValue(u"processed"_s, false);
        rs.update();
        t->Update();
    }
};

// Refused before its environment is set; then load by filter, add, change and
// delete, Update, load again: for every table.
TEST_P(TableObjectTest, EveryObjectLoadsAddsChangesAndDeletesRows)
{
    for (const ObjectCase &c : objectCases()) {
        SCOPED_TRACE(c.table.toStdString());
        auto o = create(c.progId);
        EXPECT_EQ(errorNumber([&] { c.load(*o, {}); }), err::ObjectVariableNotSet);
        o->setEnv(env_);
        // An empty row set.
        c.load(*o, c.takesFilter ? u"%1.id = 1 and %1.id <> 1"_s.arg(c.table) : QString());
        Recordset rs = o->itemsrecordset();
        for (const char16_t *v : {u"one", u"two", u"three"}) {
            rs.addNew();
            rs.setValue(c.textColumn, QString::fromUtf16(v));
            rs.update();
        }
        o->Update();
        EXPECT_GT(rs.value(u"id"_s).toInt64(), 0) << "the generated key reaches the row";

        auto second = create(c.progId);
        second->setEnv(env_);
        const QString byValue =
            c.table % u'.' % c.textColumn % u" = 'two' OR "_s % c.textColumn % u" = 'three'"_s;
        c.load(*second, c.takesFilter ? byValue : QString());
        Recordset rows = second->itemsrecordset();
        ASSERT_EQ(rows.recordCount(), c.takesFilter ? 2 : 3);
        rows.find(c.textColumn % u" = 'two'"_s);
        rows.setValue(c.textColumn, u"TWO"_s);
        rows.update();
        rows.moveFirst();
        rows.find(c.textColumn % u" = 'three'"_s);
        rows.deleteRow();
        rows.addNew();
        rows.setValue(c.textColumn, u"four"_s);
        rows.update();
        second->Update();

        auto third = create(c.progId);
        third->setEnv(env_);
        c.load(*third, {});
        EXPECT_EQ(rowTexts(third->itemsrecordset(), {c.textColumn}),
                  (QStringList{u"one"_s, u"TWO"_s, u"four"_s}));
    }
}

TEST_P(TableObjectTest, AFailedUpdateLeavesTheTableAsItWasAndTheChangesForAnotherTry)
{
    addTrans(u"AUTHREQ"_s, u"A"_s);
    addTrans(u"AUTHREQ"_s, u"B"_s);
    auto t = trans();
    t->get_g_trans({});
    Recordset rs = t->itemsrecordset();
    const Value firstKey = rs.value(u"id"_s);
    rs.setValue(u"recid"_s, u"A-changed"_s);
    rs.update();
    rs.moveNext();
    rs.deleteRow();
    rs.addNew();
    rs.setValue(u"recid"_s, u"C"_s);
    rs.update();
    rs.addNew(); // a row whose key is taken: the database refuses it after the others ran
    rs.setValue(u"id"_s, firstKey);
    rs.setValue(u"recid"_s, u"D"_s);
    rs.update();
    EXPECT_NE(errorNumber([&] { t->Update(); }), 0);
    EXPECT_EQ(transRows(), (QStringList{u"AUTHREQ|A"_s, u"AUTHREQ|B"_s}));

    // The record set still holds every change; with the key freed it saves.
    rs.moveLast();
    rs.setValue(u"id"_s, 0);
    rs.update();
    t->Update();
    EXPECT_EQ(transRows(), (QStringList{u"AUTHREQ|A-changed"_s, u"|C"_s, u"|D"_s}));
}

// How filters compare text the dialect's and the hostile suites show; this
// shows the load goes through the dialect and the value is kept whole.
TEST_P(TableObjectTest, FiltersGoThroughTheDialectAndTextIsStoredWhole)
{
    EXPECT_EQ(errorNumber([&] { transRows(u"recid = 'R1'; DELETE FROM g_trans"_s); }),
              sql::SyntaxErrorNumber);

    // 100 KB of text: read back whole, and found again by a filter on the
    // whole value (the value is bound, not pasted).
    const QString big = QString(qsizetype(100) * 1024, u'x') % u"'end"_s;
    addTrans(u"ENOL"_s, u"BIG"_s, big);
    auto t = trans();
    t->get_g_trans(u"recid = 'BIG'"_s);
    EXPECT_EQ(t->itemsrecordset().value(u"xml"_s).toText(), big);
    EXPECT_EQ(transRows(u"xml = '"_s % modOrvane::SQLSafeText(big) % u"'"_s),
              QStringList{u"ENOL|BIG"_s});
}

TEST_P(TableObjectTest, AckFromXmlGivesOneRowPerRequestedLineAndSavesOnlyWhenAllowed)
{
    const QString xml = uR"(<Authorization><ReturnCode>0</ReturnCode><AuthorizationHeader>
<SessionID>SESS1</SessionID></AuthorizationHeader><AuthorizationDetails><AuthorizationType>
<Type>GLASS</Type><LineNumber>1</LineNumber><RequestPart>FW02345GBYN</RequestPart><RelatedPart/>
<RequestQuantity>1</RequestQuantity><RequestPrice>125.5</RequestPrice><ReasonCode>R1</ReasonCode>
<ManualRequest>N</ManualRequest></AuthorizationType><AuthorizationType><Type>OTHER</Type>
<LineNumber>3</LineNumber><RequestPart>O'KIT</RequestPart><RequestQuantity>2</RequestQuantity>
<RequestPrice>10</RequestPrice><ManualRequest>Y</ManualRequest>
<RequestDescription>Kit</RequestDescription><FaxingPOP>Y</FaxingPOP></AuthorizationType>
</AuthorizationDetails>
<Filename>SESS1</Filename></Authorization>)"_s;
    auto ackn = object<ext::Ig_ackn>(ext::progid::g_ackn);
    ackn->setblnnosave(true);
    ackn->get_ackfromxml(xml);
    Recordset rs = ackn->itemsrecordset();
    ackn->Update(); // blnnosave: nothing is written
    auto read = object<ext::Ig_ackn>(ext::progid::g_ackn);
    read->Get_g_ACKN({});
    EXPECT_EQ(read->itemsrecordset().recordCount(), 0);
    // What the library does with the rows, one Update per row.
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        rs.setValue(u"sessionid"_s, u"SESS1"_s);
        rs.setValue(u"daskid"_s, 42);
        rs.setValue(u"daskloc"_s, 1);
        rs.setValue(u"Ack"_s, true);
        ackn->setblnnosave(false);
        ackn->Update();
        ackn->setblnnosave(true);
    }
    read->Get_g_ACKN(u"g_ackn.sessionid = 'SESS1'"_s);
    const QStringList columns{u"authtype"_s, u"part"_s, u"linenumber"_s, u"reqprice"_s,
                              u"manualreq"_s};
    EXPECT_EQ(rowTexts(read->itemsrecordset(), columns),
              (QStringList{u"GLASS|FW02345GBYN|1|125.5|False"_s, u"OTHER|O'KIT|3|10|True"_s}));

    EXPECT_EQ(errorNumber([&] { ackn->get_ackfromxml(u"<Authorization"_s); }), err::BadArguments);
    EXPECT_EQ(errorNumber([&] {
                  ackn->get_ackfromxml(u"<Authorization><AuthorizationType><LineNumber>1e300"
                                       u"</LineNumber></AuthorizationType></Authorization>"_s);
              }),
              6);
}

// Two workstations read the same unread answer and both mark it read: the
// second finds it already handled and saves nothing of its batch.
TEST_P(TableObjectTest, MarkingARowAnotherWorkstationMarkedFirstIsRefused)
{
    sql::exec(StagingDatabase::open(connection_)->db(),
              u"INSERT INTO g_cover (lossref, VehicleID, ack) VALUES ('LR-9', 'V1', ?), "
              u"('LR-9', 'V2', ?)"_s,
              {false, false}, u"test"_s);

    const QString unread = u"g_cover.lossref = 'LR-9' AND g_cover.ack = .F."_s;
    auto first = object<ext::IRsTable>(ext::progid::g_cover);
    auto second = object<ext::IRsTable>(ext::progid::g_cover);
    first->get_rs(unread);
    second->get_rs(unread);

    Recordset mine = first->itemsrecordset();
    mine.setValue(u"ack"_s, true);
    mine.update();
    first->Update();

    Recordset theirs = second->itemsrecordset();
    theirs.moveLast();
    theirs.setValue(u"ack"_s, true); // V2: still unread
    theirs.update();
    theirs.moveFirst();
    theirs.setValue(u"ack"_s, true); // V1: already marked by the first
    theirs.update();
    EXPECT_EQ(errorNumber([&] { second->Update(); }), sql::WriteConflictNumber);

    auto check = object<ext::IRsTable>(ext::progid::g_cover);
    check->get_rs(unread);
    EXPECT_EQ(check->itemsrecordset().value(u"VehicleID"_s).toText(), u"V2"_s)
        << "V2 stays unread: nothing was saved";
}

INSTANTIATE_TEST_SUITE_P(Backends, TableObjectTest, backends, backendName);
