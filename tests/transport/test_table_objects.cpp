#include "support/TestHelpers.h"
#include "transport/TableObjects.h"
#include "transport/TransportFixture.h"
#include <qorOrvaneUI/external/ProgIds.h>

using namespace Qt::StringLiterals;
using namespace orvane;
using namespace orvane::transport;
using namespace orvane::transport::test;
using orvane::test::errorNumber;

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
};

TEST_P(TableObjectTest, AFailedUpdateLeavesTheTableAsItWasAndTheChangesForAnotherTry)
{
    auto t = trans();
    t->get_g_trans({});
    Recordset rs = t->itemsrecordset();
    for (const QString &recid : {u"A"_s, u"B"_s}) {
        rs.addNew();
        rs.setValue(u"rectype"_s, u"AUTHREQ"_s);
        rs.setValue(u"recid"_s, recid);
        rs.update();
    }
    t->Update();
    t->get_g_trans({});
    rs = t->itemsrecordset();
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

INSTANTIATE_TEST_SUITE_P(Backends, TableObjectTest, backends, backendName);
