// The authorization kinds, the lines built from an order, their checks and
// the request document.
#include "authorization/AuthorizationFixture.h"

#include "qorOrvaneUI/core/Orvanemod.h"
#include <qorOrvaneUI/runtime/XmlDocument.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTableView>
#include <QValidator>

namespace Orvanemod = orvane::Orvanemod;

using namespace authtest;

const QString CRLF = u"\r\n"_s;

TEST(AuthorizationKinds, TableHoldsTheKindsInOrder)
{
    Recordset a = Orvanemod::AuthorizationTypes();
    Recordset b = Orvanemod::AuthorizationTypes();
    EXPECT_TRUE(a.eof());
    ASSERT_EQ(a.recordCount(), 24);
    EXPECT_FALSE(a.sharesRowsWith(b));
    const std::pair<int, QString> rows[] = {
        {10, u"15|OEM/Dealer Moulding|Dealer Moulding|True|True"_s},
        // Look-ups by code take the first row of a code.
        {13, u"1|AUTH-MISC-LABOR|Extraordinary Labor|False|True"_s},
        {24, u"1|MISCELLANEOUS|Miscellaneous|False|True"_s},
    };
    for (const auto &[at, expected] : rows) {
        a.moveFirst();
        a.move(at - 1);
        EXPECT_EQ(fieldsOf(a, u"Code|Name|Description|RTAuth|eAuth"_s), expected);
    }

    Orvanemod::AddRecords(u"99"_s, QString(60, u'N'), u"d"_s, false, true, b);
    EXPECT_EQ(b.value(u"Name"_s).toText(), QString(50, u'N'));
}

// Every classification rule over one order; the hardware walk-back depends on
// the order of the lines.
TEST_F(AuthorizationTest, ClassifiesEveryLineOfTheOrder)
{
    const std::vector<Line> lines = {
        {u"HW0"_s, u"HW0"_s, u"H WS"_s, u""_s},                         // 14, no glass above
        {u"FW00001GTNN"_s, u"FW00001GTNN"_s, u"G WS"_s, u"NAG"_s},      // 11
        {u"FW00002GTNY"_s, u"FW00002GTNY"_s, u"G WS"_s, u"NAG"_s, 100}, // 9 whatever the price
        {u"MLD3"_s, u"MLD3"_s, u"H ML"_s, u"2"_s, 20},                  // 15
        {u"MLD4"_s, u"MLD4"_s, u"H MO"_s, u"2"_s, 20},                  // 17
        {u"CLIP5"_s, u"CLIP5"_s, u"H XX"_s, u"ABC"_s, 0, 0, 3},         // 8
        {u"FW00006GTNN"_s, u"FW00006GTNN"_s, u"G WS"_s, u"PPG"_s, 90},  // 6
        {u"FW00007GTNN"_s, u"FW00007GTNN"_s, u"G WS"_s, u"NAG"_s, 50},  // 25
        {u"FW00008GTNN"_s, u"FW00008GTNN"_s, u"G WS"_s, u"NAG"_s, 50, 0, 0, true}, // hidden
        {u"FY0009"_s, u"FY0009"_s, u"H MO"_s, u"2"_s, 5},                 // 2, not hardware
        {u"DR0010"_s, u"DR0010"_s, u"G SR"_s, u"NAG"_s, 5},               // 10
        {u"KIT URETHANE LONG"_s, u"KIT"_s, u"K LU"_s, u"NAG"_s, 0, 12.5}, // 8, cut to 9
        {u"KIT X"_s, u"KIT"_s, u"K XX"_s, u"NAG"_s, 0, 4},                // hidden kit
        {u"BACKTINT"_s, u"backtint"_s, u"L"_s, u""_s, 0, 0, 80},          // by name: 1
        {u"BACKTINT"_s, u"BACKTINT "_s, u"L"_s, u""_s, 0, 0, 80},         // blank: no type
        {u"FW00015GTNN"_s, u"FW00015GTNN"_s, u"G WS"_s, u"NAG"_s, 10, 0, 0, false, 1, u"AC1"_s},
    };
    auto view = viewFor(orderWith(lines));
    // Type|Part|RelatedPart|Hardware|Filter (hidden)|Price of each line.
    const QStringList expected = {
        u"14|HW0||True|False|0"_s,
        u"11|FW00001GTNN||False|False|0"_s,
        u"9|FW00002GTNY||False|False|100"_s,
        u"15|MLD3|FW00002GTNY|True|False|20"_s,
        u"17|MLD4|FW00002GTNY|True|False|20"_s,
        u"8|CLIP5|FW00002GTNY|True|False|3"_s,
        u"6|FW00006GTNN||False|False|90"_s,
        u"25|FW00007GTNN||False|False|50"_s,
        u"|FW00008GTNN||False|True|50"_s,
        u"2|FY0009|FW00008GTNN|False|False|5"_s,
        u"10|DR0010||False|False|5"_s,
        u"8|KIT URETH||False|False|12.5"_s,
        u"|KIT X||False|True|4"_s,
        u"1|BACKTINT||False|False|80"_s,
        u"|BACKTINT||False|False|80"_s,
        u"25|FW00015GTNN||False|True|10"_s,
    };
    QStringList got;
    for (Recordset all = allLines(view->request()); !all.eof(); all.moveNext())
        got << fieldsOf(all, u"Type|Part|RelatedPart|Hardware|Filter|Price"_s);
    EXPECT_EQ(got, expected);
    EXPECT_EQ(allLines(view->request(), 13).value(u"TypeDesc"_s).toText(), u"BACKTINT"_s);
    EXPECT_EQ(view->authModel()->rowCount(), 13);
    EXPECT_EQ(view->authModel()->column(Authorizationfrm::colRelatedPart).valueList.size(), 17);

    view->Form_Activate(); // a second activation adds nothing
    view->chkShow->click();
    EXPECT_EQ(view->authModel()->rowCount(), 16);
}

// The manual flag follows the dispatch where it lists the kind, the table's
// RTAuth where it does not; the reasons follow the kind.
TEST_F(AuthorizationTest, ReasonsAndManualRequestsFollowKindAndDispatch)
{
    auto view = viewFor(orderWith({{u"CLIP"_s, u"CLIP"_s, u"H XX"_s, u""_s, 3},  // Other
                                   {u"MLD"_s, u"MLD"_s, u"H MO"_s, u"2"_s, 3},   // 17
                                   {u"DY1"_s, u"DY1"_s, u"G WS"_s, u"NAG"_s, 3}, // 2
                                   {u"TINT"_s, u"VENTTINT"_s, u"L"_s, u""_s, 0, 0, 9}}),
                        dispatchXml({{u"Other"_s, true}, {u"Backlite Slider"_s, false}}));
    // Listed and online; RTAuth; listed but not online; RTAuth.
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(allLines(view->request(), i).value(u"ManualRequest"_s).toBool(), i == 2) << i;

    orvane::RecordsetModel *model = view->authModel();
    auto reasons = [model] {
        QStringList out;
        for (const auto &e : model->column(Authorizationfrm::colReason).valueList)
            out << e.first.toString();
        return out;
    };
    view->grdAuthorize_RowColChange(3);
    EXPECT_EQ(reasons(), (QStringList{u"Yes"_s, u"No"_s}));
    const QModelIndex reason = model->index(3, Authorizationfrm::colReason);
    ASSERT_TRUE(model->setData(reason, u"no"_s));
    EXPECT_EQ(allLines(view->request(), 3).value(u"ReasonCode"_s).toText(), u"5"_s);
    ASSERT_TRUE(model->setData(reason, u"perhaps"_s));
    EXPECT_EQ(fieldsOf(allLines(view->request(), 3), u"ReasonCodeName|ReasonCode"_s), u"|5"_s);

    // Retyping the kind: a known name takes its code, anything else is cleared.
    const QModelIndex kind = model->index(0, Authorizationfrm::colTypeDesc);
    ASSERT_TRUE(model->setData(kind, u"Premium Part"_s));
    EXPECT_EQ(allLines(view->request(), 0).value(u"Type"_s).toText(), u"9"_s);
    EXPECT_EQ(reasons().size(), 3);
    ASSERT_TRUE(
        model->setData(model->index(0, Authorizationfrm::colReason), u"customer request"_s));
    EXPECT_EQ(allLines(view->request(), 0).value(u"ReasonCode"_s).toText(), u"2"_s);

    // The grid's editors: a cell's reasons are its own line's whichever line was
    // current before; a text editor holds what its field holds, a count what a
    // count can be.
    view->grdAuthorize_RowColChange(3); // the column's list is now "Yes", "No"
    QTableView *grid = view->grdAuthorize;
    auto editorFor = [&](int row, int column) {
        QStyleOptionViewItem option;
        return std::unique_ptr<QWidget>(grid->itemDelegate()->createEditor(
            grid->viewport(), option, model->index(row, column)));
    };
    auto combo = editorFor(0, Authorizationfrm::colReason);
    auto *reasonBox = qobject_cast<QComboBox *>(combo.get());
    EXPECT_EQ(reasonBox->count(), 3);
    EXPECT_EQ(reasonBox->itemData(1).toString(), u"Customer request"_s);
    auto partEditor = editorFor(1, Authorizationfrm::colPart);
    EXPECT_EQ(qobject_cast<QLineEdit *>(partEditor.get())->maxLength(), 30);
    auto qtyEditor = editorFor(1, Authorizationfrm::colQty);
    auto *qty = qobject_cast<QLineEdit *>(qtyEditor.get());
    EXPECT_EQ(qty->maxLength(), 32767);
    QString digits = u"12345678901234567890"_s;
    int at = 0;
    EXPECT_EQ(qty->validator()->validate(digits, at), QValidator::Invalid);
    ui_->clear();
    ASSERT_TRUE(model->setData(kind, u"O'Neil"_s));
    EXPECT_EQ(fieldsOf(allLines(view->request(), 0), u"TypeDesc|Type"_s), u"|9"_s);
    EXPECT_EQ(boxTexts(), QStringList{u"Cleared"_s});
}

TEST_F(AuthorizationTest, ValidationListsEveryProblemInOrder)
{
    const QString head =
        u"Authorization cannot be sent due to the following problems "_s % CRLF % CRLF;
    // An order without parts: only the empty related part is offered.
    auto empty = requestFor(orderWith({}));
    EXPECT_EQ(empty->relatedParts().size(), 1);
    EXPECT_FALSE(empty->ValidData());
    EXPECT_EQ(boxTexts(), QStringList{u"You cannot Authorize parts that do not exist."_s % CRLF %
                                      u"Please add parts to your order and try authorizing them "
                                      u"later"_s});
    ui_->clear();
    auto request =
        requestFor(orderWith({{u"HW0"_s, u"HW0"_s, u"H XX"_s, u""_s, 0, 0, 0, false, 0},
                              {u"FW00002GTNY"_s, u"FW00002GTNY"_s, u"G WS"_s, u"NAG"_s, 100},
                              {u"TINT"_s, u"BACKTINT"_s, u"L"_s, u""_s, 0, 0, 9},
                              {u"ODD"_s, u"ODD"_s, u"X"_s, u""_s, 7}}));
    EXPECT_FALSE(request->ValidData());
    EXPECT_EQ(boxTexts().value(0),
              head % u"You have not selected any parts to authorize.  Please click the "
                     u"authorize check box for the parts you want authorization for."_s);

    for (int i = 0; i < 4; ++i)
        edit(*request, i, u"Authorize=True"_s);
    edit(*request, 1, u"ReasonCode=4"_s);
    ui_->clear();
    EXPECT_FALSE(request->ValidData());
    EXPECT_EQ(
        boxTexts().value(0),
        head % u"You must enter a related Part for part HW0"_s % CRLF %
            u"You must enter a non-zero Quantity for part HW0"_s % CRLF %
            u"You must enter a non-zero Price for part HW0"_s % CRLF %
            u"You must select an Request Description for manual requests for part HW0"_s % CRLF %
            u"You must select an Request Explanation for manual requests for part HW0"_s % CRLF %
            u"You must enter a valid reason code for this Authorization FW00002GTNY"_s % CRLF %
            u"You must enter a valid reason code for part TINT"_s % CRLF %
            u"You must select an auth description from the list for part ODD"_s % CRLF);

    edit(*request, 0,
         u"RelatedPart=FW1|Qty=1|Price=4|RequestDescription=clip|RequestExplanation=broken"_s);
    edit(*request, 1, u"ReasonCode=2"_s);
    edit(*request, 2, u"ReasonCode=4"_s);
    edit(*request, 3, u"Authorize=False"_s);
    ui_->clear();
    EXPECT_TRUE(request->ValidData());
    EXPECT_TRUE(boxTexts().isEmpty());
}

TEST_F(AuthorizationTest, RequestDocumentCarriesTheTickedLinesElementByElement)
{
    auto request = requestFor(
        orderWith({{u"CLIP"_s, u"CLIP"_s, u"H XX"_s, u""_s, 125.5, 0, 0, false, 2},
                   {u"MLD"_s, u"MLD"_s, u"H MO"_s, u"2"_s, 3},
                   {u"FW7"_s, u"FW7"_s, u"G WS"_s, u"PPG"_s, 80, 0, 0, false, 1, u"AC9"_s}}));
    edit(*request, 0,
         u"Authorize=True|RelatedPart= FW7 |RequestDescription=Clip set|"
         u"RequestExplanation=Not in catalogue|Fax=True"_s);
    edit(*request, 2, u"Authorize=True|ReasonCode=1|RequestDescription=ignored"_s);
    orvane::XmlDocument doc;
    ASSERT_TRUE(request->CreateXML(doc, u"ABC123"_s));

    // The document whole, in order; only the time of day is the clock's.
    QString xml = doc.xml();
    xml.replace(QRegularExpression(u"<TransactionTime>\\d\\d:\\d\\d:\\d\\d<"_s),
                u"<TransactionTime>*<"_s);
    const QString expected =
        u"<Authorization><ReturnCode>0</ReturnCode><ReturnText/><AuthorizationHeader>"
        u"<EnvironmentID>PROD</EnvironmentID><SessionID>ABC123</SessionID>"
        u"<OriginationPID>SHOP-PID</OriginationPID><DestinationPID>INS-PID</DestinationPID>"
        u"<DispatchNumber>D-4410</DispatchNumber><OriginationCompanyID>RC-9</OriginationCompanyID>"
        u"<TransactionDate>"_s %
        QDate::currentDate().toString(u"yyyyMMdd"_s) %
        u"</TransactionDate><TransactionTime>*</TransactionTime><VersionNumber>1.10"
        u"</VersionNumber></AuthorizationHeader><AuthorizationDetails><AuthorizationType>"
        u"<Type>8</Type><LineNumber>1</LineNumber><RequestPart>CLIP</RequestPart>"
        u"<RelatedPart>FW7</RelatedPart><RequestQuantity>2</RequestQuantity>"
        u"<RequestPrice>125.5</RequestPrice><ReasonCode/><AuthorizedPart/><AcceptPrice/>"
        u"<AcceptQuantity/><ConfirmationCode/><ManualRequest>Y</ManualRequest>"
        u"<RequestDescription>Clip set</RequestDescription>"
        u"<RequestExplanation>Not in catalogue</RequestExplanation><FaxingPOP>Y</FaxingPOP>"
        u"<ErrorCode/><ErrorText/></AuthorizationType><AuthorizationType><Type>6</Type>"
        u"<LineNumber>3</LineNumber><RequestPart>FW7</RequestPart><RelatedPart/>"
        u"<RequestQuantity>1</RequestQuantity><RequestPrice>80</RequestPrice>"
        u"<ReasonCode>1</ReasonCode><AuthorizedPart/><AcceptPrice/><AcceptQuantity/>"
        u"<ConfirmationCode/><ManualRequest>N</ManualRequest><ErrorCode/><ErrorText/>"
        u"</AuthorizationType></AuthorizationDetails><Filename>ABC123</Filename>"
        u"</Authorization>"_s;
    EXPECT_EQ(xml.split(u'<'), expected.split(u'<'));
}
