// Every hostile value through the documents the library builds and the text
// the transaction queue stores. Each document must be well-formed to Qt's own
// parser and give back every value as far as a document can carry it (cut at a
// NUL, without the characters XML 1.0 cannot write), and as far as its field
// holds it (a prefix, never half a surrogate pair).
#include "hostile/HostileCorpus.h"

#include "../authorization/AuthorizationFixture.h"
#include "qorOrvaneUI/core/TransactionQueue.h"
#include "qorOrvaneUI/core/XMLUtilmod.h"
#include "qorOrvaneUI/core/modOrvane.h"
#include "qorOrvaneUI/loss/Coveragefrm.h"
#include "qorOrvaneUI/loss/eNOLfrm.h"
#include "runtime/RuntimeHelpers.h"
#include <qorOrvaneUI/external/IOrvaneOut.h>
#include <qorOrvaneUI/external/IRsTable.h>
#include <qorOrvaneUI/external/Ig_trans.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>

#include <QLineEdit>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

using orvane::loss::Coveragefrm;
using orvane::loss::eNOLfrm;
namespace XMLUtilmod = orvane::XMLUtilmod;
namespace modOrvane = orvane::modOrvane;
namespace TransactionQueue = orvane::TransactionQueue;

using namespace Qt::StringLiterals;
using orvane::Recordset;
using orvane::XmlDocument;

namespace {

// The text of every element named `name` in `xml`, read with Qt's own parser;
// the document must be well-formed.
QStringList readBack(const QString &xml, const QString &name)
{
    QXmlStreamReader r(xml);
    QStringList texts;
    while (!r.atEnd()) {
        if (r.readNext() == QXmlStreamReader::StartElement && r.name() == name)
            texts << r.readElementText(QXmlStreamReader::IncludeChildElements);
    }
    EXPECT_FALSE(r.hasError()) << r.errorString().toStdString() << " at " << r.characterOffset();
    return texts;
}

// What a text field of `width` keeps of a value stored with setRSValue, and a
// document then carries of it after CreateNode trims it.
QString throughField(const QString &value, int width)
{
    return hostile::xmlKept(vb::Trim(hostile::firstChars(vb::Trim(value), width)));
}

// A document whose root holds one element per value, as a dispatch would.
XmlDocument documentOf(const QString &root, const std::vector<std::pair<QString, QString>> &values)
{
    XmlDocument doc;
    doc.appendChild(doc.createElement(root));
    for (const auto &[name, value] : values)
        XMLUtilmod::CreateNode(doc, name, value);
    return doc;
}

using orvane::transport::test::Db;

class HostileQueue : public hostile::StagingTest {};

} // namespace

// The queue stores a document's text as it is; read back from the table it
// is still well-formed and carries every value. The megabyte value goes
// through here only: filters refuse texts that long, and no field holds it.
TEST_P(HostileQueue, StoredDocumentCarriesEveryValue)
{
    const QStringList values = hostile::corpus();
    std::vector<std::pair<QString, QString>> elements;
    for (const QString &v : values)
        elements.emplace_back(u"V"_s, v);
    const XmlDocument all = documentOf(u"Probe"_s, elements);
    const QString big = hostile::megabyte();
    const XmlDocument large = documentOf(u"Probe"_s, {{u"V"_s, big}});

    auto invoice = this->invoice();
    invoice->order = orvane::test::openRecordset({{u"idnumber"_s, orvane::ftype::Int32}});
    invoice->order.loadRow({7});
    TransactionQueue::QueueTransaction(invoice, all, u"ENOL"_s, u"A'1"_s);
    TransactionQueue::QueueTransaction(invoice, large, u"ENOL"_s, u"A'2"_s);

    auto trans = object<orvane::ext::Ig_trans>(orvane::ext::progid::g_trans);
    trans->get_g_trans(u"rectype = 'ENOL' AND recid LIKE 'A' + CHR(39) + '%'"_s);
    Recordset rs = trans->itemsrecordset();
    ASSERT_EQ(rs.recordCount(), 2);
    for (; !rs.eof(); rs.moveNext()) {
        const QString xml = rs.value(u"xml"_s).toText();
        if (rs.value(u"recid"_s).toText() == u"A'2"_s) {
            EXPECT_EQ(xml, large.xml());
            EXPECT_EQ(readBack(xml, u"V"_s), QStringList{big});
            continue;
        }
        EXPECT_EQ(xml, all.xml());
        const QStringList got = readBack(xml, u"V"_s);
        ASSERT_EQ(got.size(), values.size());
        for (qsizetype i = 0; i < values.size(); ++i)
            EXPECT_EQ(got[i], hostile::xmlKept(values[i])) << values[i].toStdString();
        // The library's own parser agrees with Qt's, except that it may keep
        // no text made only of white space.
        XmlDocument again;
        ASSERT_TRUE(again.loadXml(xml));
        for (qsizetype i = 0; i < values.size(); ++i) {
            const orvane::XmlNode text = again.documentElement().child(int(i)).firstChild();
            const QString mine = text.isNull() ? QString() : text.nodeValue().toText();
            const bool blank = QString(got[i]).remove(QRegularExpression(u"[ \t\r\n]"_s)).isEmpty();
            if (!(blank && mine.isEmpty())) {
                EXPECT_EQ(mine, got[i]);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, HostileQueue, ::testing::Values(Db::SQLite, Db::PostgreSQL),
                         orvane::transport::test::backendName);

namespace {

class HostileDocuments : public authtest::AuthorizationTest {
protected:
    // A table object of the host's shop holding one new, blank row.
    std::shared_ptr<orvane::ext::IRsTable> blankRow(const char16_t *progId, const QString &column)
    {
        auto t = orvane::CreateObject<orvane::ext::IRsTable>(QString::fromUtf16(progId));
        t->setEnv(host_->env());
        t->get_rs(column % u" = 'A' AND "_s % column % u" <> 'A'"_s);
        Recordset rs = t->itemsrecordset();
        rs.addNew();
        rs.update();
        return t;
    }
};

// A column of a stored row and the element of the document that carries it.
struct Column {
    Recordset *rs;
    QString name, element;
    int width;
};

// Each corpus value, with its neighbours in the other columns, stored in the
// rows `build` then makes a document of: every element carries its column's
// value as far as the field holds it.
void expectColumnsCarried(const std::vector<Column> &columns,
                          const std::function<QString(const QString &value)> &build)
{
    const QStringList values = hostile::corpus();
    for (qsizetype i = 0; i < values.size(); ++i) {
        SCOPED_TRACE(values[i].toStdString());
        const auto value = [&](size_t c) { return values[(i + qsizetype(c)) % values.size()]; };
        for (size_t c = 0; c < columns.size(); ++c) {
            columns[c].rs->moveFirst();
            modOrvane::setRSValue(columns[c].rs->field(columns[c].name), value(c));
            columns[c].rs->update();
        }
        const QString xml = build(values[i]);
        for (size_t c = 0; c < columns.size(); ++c)
            EXPECT_EQ(readBack(xml, columns[c].element),
                      QStringList{throughField(value(c), columns[c].width)})
                << columns[c].name.toStdString();
    }
}

} // namespace

// The request carries the dispatch's header values and the user's manual line.
TEST_F(HostileDocuments, AuthorizationRequestCarriesEveryValue)
{
    auto view = viewFor(orderWith({{u"CLIP"_s, u"CLIP"_s, u"H XX"_s, u""_s, 1, 0, 0, false, 1}}));
    edit(view->request(), 0, {{u"Authorize"_s, true}});
    Recordset line = allLines(view->request());
    expectColumnsCarried(
        {
            {&line, u"RelatedPart"_s, u"RelatedPart"_s, 30},
            {&line, u"RequestDescription"_s, u"RequestDescription"_s, 40},
            {&line, u"RequestExplanation"_s, u"RequestExplanation"_s, 50},
        },
        [&](const QString &v) {
            // The network's two sides trade places in the request.
            const QString w = u"W"_s % v;
            view->setDispatch(documentOf(u"DispatchAssignment"_s, {{u"DispatchNumber"_s, v},
                                                                   {u"OriginationPID"_s, w},
                                                                   {u"DestinationPID"_s, v},
                                                                   {u"ReceivingCompanyID"_s, w}}));
            XmlDocument doc;
            view->CreateXML(doc, u"S"_s);
            for (const auto &[element, value] : {std::pair{u"DispatchNumber"_s, v},
                                                 {u"OriginationPID"_s, v},
                                                 {u"DestinationPID"_s, w},
                                                 {u"OriginationCompanyID"_s, w}})
                EXPECT_EQ(readBack(doc.xml(), element),
                          QStringList{vb::Trim(hostile::xmlKept(value))});
            return doc.xml();
        });
}

// The loss notice from its stored row and damage line.
TEST_F(HostileDocuments, LossNoticeCarriesEveryValue)
{
    auto notice = blankRow(orvane::ext::progid::g_enol, u"guid"_s);
    auto lines = blankRow(orvane::ext::progid::g_enolline, u"guid"_s);
    Recordset row = notice->itemsrecordset(), line = lines->itemsrecordset();
    eNOLfrm view;
    expectColumnsCarried(
        {
            {&row, u"origpid"_s, u"OriginationPID"_s, 20},
            {&row, u"destpid"_s, u"DestinationPID"_s, 20},
            {&row, u"s_first"_s, u"InsuredOrClaimantFirstName"_s, 60},
            {&row, u"s_last"_s, u"InsuredOrClaimantLastName"_s, 100},
            {&row, u"s_address"_s, u"InsuredOrClaimantAddress"_s, 200},
            {&row, u"a_company"_s, u"AgencyName"_s, 50},
            {&row, u"make"_s, u"VehicleMake"_s, 30},
            {&row, u"model"_s, u"VehicleModel"_s, 40},
            {&row, u"subname"_s, u"SubrogationContactName"_s, 50},
            {&row, u"subdata"_s, u"SubrogationData"_s, 255},
            {&row, u"contact"_s, u"OriginationContactName"_s, 60},
            {&line, u"opentype"_s, u"OpeningTypeCode"_s, 10},
        },
        [&](const QString &) {
            XmlDocument doc;
            view.CreateXML(notice, lines, doc);
            return doc.xml();
        });
}

// The shop's answer to a coverage request, from the request, the notice and
// the typed postal code.
TEST_F(HostileDocuments, CoverageAnswerCarriesEveryValue)
{
    auto coverage = blankRow(orvane::ext::progid::g_cover, u"lossref"_s);
    auto notice = blankRow(orvane::ext::progid::g_enol, u"guid"_s);
    Coveragefrm view;
    view.setCoverage(coverage);
    view.setNotice(notice);
    view.Form_Activate();
    Recordset request = coverage->itemsrecordset(), row = notice->itemsrecordset();
    expectColumnsCarried(
        {
            {&request, u"lossref"_s, u"LossReferenceNumber"_s, 30},
            {&request, u"VehicleID"_s, u"VehicleID"_s, 20},
            {&request, u"Vehiclesrc"_s, u"VehicleIDSource"_s, 20},
            {&row, u"origpid"_s, u"OriginationPID"_s, 20},
            {&row, u"orgcoid"_s, u"OriginationCompanyID"_s, 20},
            {&row, u"destpid"_s, u"DestinationPID"_s, 20},
            {&row, u"contact"_s, u"AcceptanceContact"_s, 60},
        },
        [&](const QString &value) {
            view.txtZip->setText(value);
            XmlDocument doc;
            view.BuildXML(true, doc);
            EXPECT_EQ(readBack(doc.xml(), u"WorkLocationPostalCode"_s),
                      QStringList{hostile::xmlKept(vb::Trim(view.txtZip->text()))});
            return doc.xml();
        });
}

// A received dispatch becomes an order for the comparison; its texts arrive
// as the dispatch carries them, trimmed of white space and cut to the order's
// fields.
TEST_F(HostileDocuments, DispatchOrderTakesEveryValue)
{
    const std::vector<std::pair<QString, QString>> fields = {
        {u"InsuredOrClaimantFirstName"_s, u"s_first"_s},
        {u"InsuredOrClaimantLastName"_s, u"s_last"_s},
        {u"InsuredOrClaimantAddress"_s, u"s_address"_s},
        {u"InsuredOrClaimantCity"_s, u"s_city"_s},
        {u"VehicleMake"_s, u"make"_s},
        {u"VehicleModel"_s, u"model"_s},
    };
    auto out = orvane::CreateObject<orvane::ext::IOrvaneOut>(
        QString::fromUtf16(orvane::ext::progid::clsorvaneout));
    const QStringList values = hostile::corpus();
    for (qsizetype i = 0; i < values.size(); ++i) {
        SCOPED_TRACE(values[i].toStdString());
        std::vector<std::pair<QString, QString>> elements{{u"InsurerID"_s, values[i]}};
        for (size_t f = 0; f < fields.size(); ++f)
            elements.emplace_back(fields[f].first, values[(i + qsizetype(f)) % values.size()]);
        XmlDocument dispatch;
        dispatch.appendChild(dispatch.createElement(u"DispatchAssignment"_s));
        orvane::XmlNode d = XMLUtilmod::CreateNodeRoot(dispatch, u"Dispatch"_s);
        for (auto [name, value] : elements) {
            orvane::XmlNode e = d.appendChild(dispatch.createElement(name));
            if (!value.isEmpty())
                e.appendChild(dispatch.createTextNode(value));
        }
        std::shared_ptr<orvane::ext::IInvoice> order;
        out->returnorder(u"DISPATCHX"_s, dispatch.xml(), order);
        const Recordset rs = order->itemsrecordset();
        for (size_t f = 0; f < fields.size(); ++f) {
            // The element as sent: after the insurer's, in the order of `fields`.
            const QString sent = hostile::xmlKept(elements[f + 1].second).trimmed();
            EXPECT_EQ(rs.value(fields[f].second).toText(),
                      hostile::firstChars(sent, rs.field(fields[f].second).definedSize()))
                << fields[f].second.toStdString();
        }
    }
}
