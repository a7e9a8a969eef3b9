#include "host/ReferenceHost.h"
#include "support/TestHelpers.h"
#include "transport/OrvaneOut.h"
#include "transport/TransportFixture.h"
#include <qorOrvaneUI/external/IInvoice.h>
#include <qorOrvaneUI/external/ProgIds.h>

#include <QDate>

using namespace Qt::StringLiterals;
using namespace orvane;
using namespace orvane::transport;
using namespace orvane::transport::test;

namespace {

QString dispatchXml(const QString &insurer, const QString &agentFirst, const QString &pct)
{
    return uR"(<DispatchAssignment><DispatchAssignmentHeader><OriginationPID>NWI00417</OriginationPID>
</DispatchAssignmentHeader><DispatchAssignmentDetails><Dispatch>
<DispatchNumber>D-2026-118734</DispatchNumber><DispatchCreateDate>20261201</DispatchCreateDate>
<DateofLoss>20261128</DateofLoss><LossIdentificationNumbers>PA-7734</LossIdentificationNumbers>
<InsurerID>%1</InsurerID>
<Vehicle><VehicleID>V-448201</VehicleID><VehicleYear>2021</VehicleYear><VehicleMake>Toyota</VehicleMake>
<VehicleModel>RAV4</VehicleModel><VehicleStyle>4 Door Utility</VehicleStyle>
<VehicleIDNumber>2T3P1RFV8MW123456</VehicleIDNumber></Vehicle>
<Insured><InsuredOrClaimantFirstName>Margaret</InsuredOrClaimantFirstName>
<InsuredOrClaimantLastName>O'Donnell</InsuredOrClaimantLastName>
<InsuredOrClaimantAddress>1422 Larkspur Avenue, Apt 3B, Building C, Far Side</InsuredOrClaimantAddress>
<InsuredOrClaimantCity>Springfield</InsuredOrClaimantCity>
<InsuredOrClaimantStateProvince>IL</InsuredOrClaimantStateProvince>
<InsuredOrClaimantPostalCode>62704</InsuredOrClaimantPostalCode>
<InsuredOrClaimantTelephone>(217) 555-0143</InsuredOrClaimantTelephone>
<InsuredOrClaimantAlternateTelephone>2175550198</InsuredOrClaimantAlternateTelephone></Insured>
<Deductible>250.00</Deductible>
<Agent><AgentFirstName>%2</AgentFirstName><AgentLastName>Okafor</AgentLastName>
<AgentTelephone>5035550123</AgentTelephone></Agent></Dispatch>
<DiscountDetails>
<DiscountType><DiscountTypeCode>KIT</DiscountTypeCode><KitIndicator>Y</KitIndicator>
<DiscountPercentage>0.10</DiscountPercentage><HourlyIndicator>N</HourlyIndicator></DiscountType>
<DiscountType><DiscountTypeCode>GLS</DiscountTypeCode><KitIndicator>N</KitIndicator>
<DiscountPercentage>%3</DiscountPercentage><HourlyIndicator>N</HourlyIndicator></DiscountType>
</DiscountDetails></DispatchAssignmentDetails></DispatchAssignment>)"_s.arg(insurer, agentFirst,
                                                                            pct);
}

} // namespace

class ReturnOrderTest : public TransportTest {};

TEST_P(ReturnOrderTest, BuildsAnOrderFromTheDispatchMatchedInTheHostTablesOrRefusesIt)
{
    host::ReferenceHost::Settings settings;
    if (postgres())
        settings.shopConnection = connection_;
    const auto host =
        host::ReferenceHost::open(dataPath_ + u"data/"_s, dataPath_ + u"nags/"_s, settings);
    host->seedDemo();
    // Created by its identifier in upper case, as some call sites write it.
    auto out =
        CreateObject<ext::IOrvaneOut>(QString::fromUtf16(ext::progid::clsorvaneout).toUpper());
    std::shared_ptr<ext::IInvoice> order;
    out->returnorder(u"DISPATCHD-2026-118734"_s, dispatchXml(u"CMI01"_s, u"Dana"_s, u"0.25"_s),
                     order);
    Recordset rs = order->itemsrecordset();
    // Matched in the host's tables: the insurer's bill-to party, the agent, the
    // discount. The host's fields hold what dispatches carry: nothing was cut.
    // (The linking suite stores the rest of the values taken over.)
    const QString expected =
        u"s_address=1422 Larkspur Avenue, Apt 3B, Building C, Far Side|s_area2=217|"
        u"s_phone2=5550143|s_area1=217|s_phone1=5550198|year=2021|make=Toyota|model=RAV4|"
        u"body=4 Door Utility|billto_id=1|b_company=Cascade Mutual Insurance|agentid=1|"
        u"a_company=Bridgeway Insurance|a_area=503|discountid=1|"
        u"discounttext=Insurance network 25%"_s;
    for (const QString &f : expected.split(u'|'))
        EXPECT_EQ(rs.value(f.section(u'=', 0, 0)).toText(), f.section(u'=', 1)) << f.toStdString();
    EXPECT_EQ(rs.value(u"dispdate"_s).toDate().date(), QDate(2026, 12, 1));
    EXPECT_TRUE(out->cutTexts().isEmpty());
    // The comparison asks the dispatch order for its parties.
    EXPECT_TRUE(order->getbillto(rs.value(u"billto_id"_s)));

    // Unknown parties stay empty.
    out->returnorder(u"DISPATCHD-1"_s, dispatchXml(u"' OR 1=1 --"_s, u"Nobody"_s, u"0.99"_s),
                     order);
    // Named, so the comparison can show whom the dispatch bills and what it grants.
    EXPECT_EQ(rowTexts(order->itemsrecordset(), {u"billto_id"_s, u"agentid"_s, u"discountid"_s,
                                                 u"b_company"_s, u"discounttext"_s}),
              QStringList{u"0|0|0|' OR 1=1 --|GLS 99%"_s});

    std::shared_ptr<ext::IInvoice> untouched;
    EXPECT_EQ(orvane::test::errorNumber(
                  [&] { out->returnorder(u"DISPATCHX"_s, u"<Authorization/>"_s, untouched); }),
              err::BadArguments);
    EXPECT_FALSE(untouched);
    EXPECT_NE(orvane::test::errorNumber(
                  [&] { out->returnorder(u"DISPATCHX"_s, u"not xml"_s, untouched); }),
              0);
}

INSTANTIATE_TEST_SUITE_P(Backends, ReturnOrderTest, backends, backendName);
