#include "loss/LossFixture.h"

#include "host/HostErrorClass.h"
#include "host/IniFile.h"
#include "qorOrvaneUI/core/XMLUtilmod.h"
#include "qorOrvaneUI/dispatch/Comparersfrm.h"
#include "qorOrvaneUI/loss/CoverageAnswer.h"
#include "qorOrvaneUI/loss/Coveragefrm.h"
#include "qorOrvaneUI/loss/eNOLwaitfrm.h"
#include "support/KillAt.h"
#include "support/NetworkLink.h"
#include <qorOrvaneUI/runtime/XmlDocument.h>

#include <QFile>
#include <QLabel>
#include <QTest>
#include <QTimeEdit>

using orvane::dispatch::Comparersfrm;
using orvane::loss::Coveragefrm;
using orvane::loss::eNOLwaitfrm;
namespace XMLUtilmod = orvane::XMLUtilmod;

using namespace losstest;

namespace {

// The first element so named in document order.
QString elementText(const orvane::XmlNode &root, const QString &name)
{
    const orvane::XmlNode n = XMLUtilmod::FindNode(root, name);
    return n ? n.text() : u"<missing>"_s;
}

} // namespace

class FollowThrough : public LossTest {
protected:
    // A sent notice of order 2, confirmed by the network with `code`.
    std::shared_ptr<ext::IRsTable> confirmedNotice(const QString &code)
    {
        addTableRows(ext::progid::g_enol, {row(u"daskid=2|daskloc=1|origpid=RPID00417|ACK=False|"
                                               u"Lossrefnum=LR-7|ErrCode="_s %
                                               code)});
        return table(ext::progid::g_enol, u"g_enol.ErrCode = '"_s % code % u"'"_s);
    }

    void addCover(const QString &lossRef, const QString &errorcode, int count = 1)
    {
        Rows rows;
        for (int i = 0; i < count; ++i)
            rows.push_back(row(u"VehicleID=123|Vehiclesrc=NAGS|ErrorText=Coverage text|ack=False|"
                               u"lossref="_s %
                               lossRef % u"|errorcode="_s % errorcode % u"|vehline="_s %
                               QString::number(i + 1)));
        addTableRows(ext::progid::g_cover, rows);
    }

    std::unique_ptr<eNOLwaitfrm> waitOn(const std::shared_ptr<ext::IRsTable> &notice)
    {
        order_ = host_->openOrder(2);
        auto wait = std::make_unique<eNOLwaitfrm>();
        wait->setNoticeTable(notice);
        wait->setInvoice(order_);
        wait->setNoticeID(notice->itemsrecordset().value(u"guid"_s).toText());
        return wait;
    }

    QString enolCount()
    {
        return orvane::host::IniFile(host_->env()->data_path() % u"Orvane.ini"_s)
            .read(u"Orvane"_s, u"ENOL"_s);
    }
};

TEST_F(FollowThrough, SubmitSavesTheNoticeAndQueuesItsDocument)
{
    auto order = host_->openOrder(2);
    for (const auto &[field, value] :
         row(u"s_area2=503|s_phone2=5550172|s_area1=|s_phone1=|policy=POL 88 2|carid=AB00123|"
             u"s_first=Imani|vin=2T3P1RFV8MW123456"_s))
        order->itemsrecordset().setValue(field, value);
    openForm(order, [&](eNOLfrm *view) {
        fillValid(view);
        ui_->setWindowRect(orvane::handleOf(view), QRect(100, 50, 1600, 1000));
        QPoint centre;
        on<eNOLwaitfrm>([&centre](eNOLwaitfrm *wait) {
            centre = wait->frameGeometry().center();
            wait->cmdCancel->click();
        });
        view->cmdAction[0]->click();
        EXPECT_LE((centre - QPoint(900, 550)).manhattanLength(), 4) << "over the notice";
        EXPECT_EQ(view->lastWaitResult(), 0);
        EXPECT_TRUE(view->isHidden()) << "a wait without a refusal closes the notice";
    });
    EXPECT_TRUE(sent_);
    EXPECT_TRUE(reportedErrors().isEmpty()) << reportedErrors().join(u'\n').toStdString();

    Recordset sent = trans(u"ENOL"_s);
    Recordset saved = table(ext::progid::g_enol)->itemsrecordset();
    const QString guid = saved.value(u"guid"_s).toText();
    EXPECT_EQ(sent.value(u"recid"_s).toText(), guid);
    EXPECT_TRUE(saved.value(u"ack"_s).toBool()) << "no unread answer before the network's";
    EXPECT_EQ(saved.value(u"daskid"_s).toInt64(), 2) << "the notice names its order";
    EXPECT_EQ(saved.value(u"s_phone"_s).toText(), u"5035550172"_s);
    EXPECT_EQ(count(ext::progid::g_enolline, u"nolguid = '"_s % guid % u"'"_s), 2);

    orvane::XmlDocument doc;
    doc.loadXml(sent.value(u"xml"_s).toText());
    const orvane::XmlNode root = doc.documentElement();
    const auto expected = row(
        u"SessionID=%1|Filename=%1|OriginationPID=RPID00417|DestinationPID=NET1|"
        u"InsuredOrClaimantTelephone=503-555-0172|InsuredOrClaimantAlternateTelephone=|"
        u"InsuredOrClaimantPolicyNumber=POL882|LossIdentificationNumbers=CLM402|VehicleID=123|"
        u"GlassOnlyDamage=Y|BodilyInjury=N|OriginationContactName=Pat Rivera|VehicleIDSource=NAGS|"
        u"InsuredOrClaimantFirstName=Imani|VehicleIDNumber=2T3P1RFV8MW123456|VehicleOwnership=Owner"_s
            .arg(guid));
    for (const auto &[name, value] : expected)
        EXPECT_EQ(elementText(root, name), value.toText()) << name.toStdString();

    // The damage lines stand in order between the subrogation and the injury.
    const orvane::XmlNode details = XMLUtilmod::FindNode(root, u"LossNoticeDetails"_s);
    QStringList names, quantities;
    for (int i = 0; i < details.childCount(); ++i) {
        names << details.child(i).nodeName();
        if (names.last() == u"DamageInformation"_s)
            quantities << elementText(details.child(i), u"GlassDamageQuantity"_s);
    }
    const auto at = names.indexOf(u"SubrogationInformation"_s);
    EXPECT_EQ(names.mid(at, 4), (QStringList{u"SubrogationInformation"_s, u"DamageInformation"_s,
                                             u"DamageInformation"_s, u"BodilyInjury"_s}));
    EXPECT_EQ(quantities, (QStringList{u"1"_s, u"2"_s}));
}

TEST_F(FollowThrough, NoticeConfirmationAndItsErrors)
{
    const std::tuple<QString, int, bool> cases[] = {
        {u"110"_s, -1, false}, {u"120"_s, 1, true}, {u"e9"_s, 1, true}};
    for (const auto &[code, result, resolveSentence] : cases) {
        SCOPED_TRACE(code.toStdString());
        ui_->clear();
        auto wait = waitOn(confirmedNotice(code));
        wait->tmrAuthResponse_Timer();
        EXPECT_EQ(wait->waitResult(), result);
        EXPECT_FALSE(wait->tmrAuthResponse->isActive());
        ASSERT_EQ(ui_->boxes().size(), 1u) << "the host logs the error without a second box";
        EXPECT_EQ(ui_->boxes()[0].title, u"eNOL Authorization Error"_s);
        EXPECT_TRUE(ui_->boxes()[0].text.startsWith(u"The Orvane eNOL Received an error"_s % CRLF %
                                                    CRLF % u"Error Code : "_s % code));
        EXPECT_EQ(ui_->boxes()[0].text.endsWith(u" Please resolve the issue to try again"_s),
                  resolveSentence);
        EXPECT_EQ(enolCount(), u"0"_s);
    }
}

TEST_F(FollowThrough, CoverageAnswerThenLossAcknowledgement)
{
    // A confirmed notice waits for the coverage request of its loss.
    auto wait = waitOn(confirmedNotice(u"0"_s));
    wait->tmrAuthResponse_Timer();
    EXPECT_EQ(wait->mode(), 1);
    EXPECT_TRUE(wait->lblAuthConfirm->text().endsWith(u"LR-7"_s));
    wait->tmrAuthResponse_Timer(); // no coverage yet: nothing happens
    EXPECT_TRUE(ui_->boxes().empty());
    addCover(u"LR-7"_s, u"0"_s, 2);
    on<Coveragefrm>(answerCoverage<Coveragefrm>);
    wait->tmrAuthResponse_Timer();
    EXPECT_EQ(wait->mode(), 2);
    EXPECT_EQ(count(ext::progid::g_cover, u"g_cover.ack = .F."_s), 0)
        << "both coverage rows are read";

    Recordset answer = table(ext::progid::g_lossack)->itemsrecordset();
    Recordset queued = trans(u"LOSSAH"_s);
    EXPECT_EQ(queued.value(u"recid"_s).toText(), answer.value(u"guid"_s).toText());
    EXPECT_TRUE(answer.value(u"Accept"_s).toBool());
    orvane::XmlDocument doc;
    doc.loadXml(queued.value(u"xml"_s).toText());
    const orvane::XmlNode root = doc.documentElement();
    EXPECT_EQ(elementText(root, u"RequestedAppointmentTime"_s), u"09:30:00"_s);

    // The network refuses the answer: shown once, logged, and the wait ends.
    addTableRows(ext::progid::g_lossack,
                 {row(u"lossref=LR-7|ack=False|errcode=e3|errtext=Bad vehicle"_s)});
    addTableRows(ext::progid::g_dispatch, {row(u"lossidnum=LR-7|Dispatch=D1|ack=False"_s)});
    ui_->clear();
    wait->tmrAuthResponse_Timer();
    ASSERT_EQ(ui_->boxes().size(), 1u);
    EXPECT_EQ(ui_->boxes()[0].title, u"Loss Response Error"_s);
    EXPECT_EQ(wait->waitResult(), -1);
    EXPECT_EQ(count(ext::progid::g_dispatch, u"ack = .F."_s), 1)
        << "the dispatch waits for a later tick";
    EXPECT_EQ(enolCount(), u"1"_s);
    QFile log(host_->env()->hostErrorClass()->logFile());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(
        QString::fromUtf8(log.readAll()).contains(u"qorOrvaneUI.Authorizationfrm.CheckLossAck"_s));
}

// The checks of the coverage answer, told in one box, in order.
TEST_F(FollowThrough, CoverageValidation)
{
    addCover(u"LR-9"_s, u"5"_s, 2);
    orvane::loss::CoverageAnswer answer;
    answer.setCoverage(table(ext::progid::g_cover, u"g_cover.lossref = 'LR-9'"_s));
    answer.setInvoice(host_->openOrder(2));
    answer.load();
    EXPECT_EQ(answer.warning(), u"WARNING : Error 5        Coverage text"_s);

    const QString head =
        u"You have not completed all the information to accept this Loss"_s % CRLF % CRLF;
    orvane::loss::CoverageAnswer::Entries entries;
    auto messages = [&](bool accept) {
        ui_->clear();
        EXPECT_FALSE(answer.validData(accept, entries));
        EXPECT_EQ(ui_->boxes().at(0).title, u"Invalid Entries"_s);
        return ui_->boxes().at(0).text.mid(head.size()).split(CRLF, Qt::SkipEmptyParts);
    };
    const QString vehicle = u"You must select a Vehicle on the customers policy to continue"_s;
    const QString zip5 = u"The Work Location Zip code must be 5 digits."_s;
    EXPECT_EQ(messages(true),
              (QStringList{vehicle, u"You must select a time for the scheduled install"_s,
                           u"You must choose whether the Job is mobile or In-Shop"_s,
                           u"You must enter a Work Location Zip code where the work will be "
                           u"performed "_s,
                           zip5}));
    answer.toggleRow(0);
    answer.toggleRow(1);
    EXPECT_FALSE(answer.isSelected(0));
    answer.toggleRow(1);
    entries = {QDate(1899, 12, 31), true, QTime(9, 0), Qt::Unchecked, u"9720"_s};
    EXPECT_EQ(messages(true),
              (QStringList{vehicle, u"You must select a valid installation Date"_s, zip5}));
    answer.toggleRow(0);
    entries.installDate.reset(); // left for the insurer
    ui_->clear();
    EXPECT_TRUE(answer.validData(false, entries)) << "a decline needs no zip";
}

// The view's entries: the zip takes digits as typed, ticking the date gives today.
TEST_F(FollowThrough, CoverageEntries)
{
    Coveragefrm view;
    view.show();
    QTest::mouseClick(view.txtZip, Qt::LeftButton, {},
                      QPoint(view.txtZip->width() / 2, view.txtZip->height() / 2));
    QTest::keyClicks(view.txtZip, u"97205"_s);
    EXPECT_EQ(view.txtZip->text(), u"97205"_s);
    view.dteInstallDate->chkSet->click();
    EXPECT_EQ(view.dteInstallDate->value().date(), QDate::currentDate());
}

TEST_F(FollowThrough, ShowResponsesOpensTheWaitInTheMode)
{
    auto notice = confirmedNotice(u"0"_s);
    addCover(u"LR-7"_s, u"0"_s);
    // ENOL on a notice confirmed before goes on from the step the claim is at.
    const std::pair<QString, int> cases[] = {
        {u"ENOL"_s, 1}, {u" cover "_s, 1}, {u"LOSSACK"_s, 2}, {u"ENOL"_s, 2}};
    for (const auto &[type, mode] : cases) {
        SCOPED_TRACE(type.toStdString());
        int shown = -1;
        on<eNOLwaitfrm>([&shown](eNOLwaitfrm *wait) {
            shown = wait->mode();
            wait->cmdCancel->click();
        });
        EXPECT_FALSE(eNOLcls().ShowResponses(host_->openOrder(2), u"LR-7"_s, type, 0));
        EXPECT_EQ(shown, mode);
    }
    EXPECT_EQ(count(ext::progid::g_cover, u"g_cover.ack = .F."_s), 0);
    // Shown from the acknowledgement, the notice's own answer counts as read.
    confirmedNotice(u"0"_s);
    on<eNOLwaitfrm>([](eNOLwaitfrm *wait) { wait->cmdCancel->click(); });
    EXPECT_FALSE(eNOLcls().ShowResponses(host_->openOrder(2), u"LR-7"_s, u"LOSSACK"_s, 0));
    EXPECT_EQ(count(ext::progid::g_enol, u"g_enol.ack = .F."_s), 0);

    eNOLcls cls;
    EXPECT_THROW(cls.ShowResponses(host_->openOrder(1), QString(), u"ENOL"_s, 0), orvane::VbError);
    // A dispatch handled already: nothing is left to wait for, and no wait opens.
    addTableRows(ext::progid::g_dispatch, {row(u"lossidnum=LR-7|Dispatch=D1|ack=True"_s)});
    ui_->clear();
    EXPECT_FALSE(cls.ShowResponses(host_->openOrder(2), QString(), u"ENOL"_s, 0));
    EXPECT_TRUE(ui_->boxes().at(0).text.contains(u"nothing more to wait for"_s));
}

// The notice across the transport service, HTTPS and the network server to
// the linked dispatch, which names the order and its location.
TEST_F(FollowThrough, EndToEndThroughTheTransportServiceOverHttps)
{
    auto network = orvane::test::startNetwork({});
    orvane::transport::HttpsNetworkClient client(
        orvane::test::clientFor(network->serverPorts().value(0)));
    openForm(host_->openOrder(2), [&](eNOLfrm *view) {
        fillValid(view);
        on<eNOLwaitfrm>([&](eNOLwaitfrm *wait) {
            EXPECT_TRUE(orvane::test::serve(host_->env(), client));
            wait->tmrAuthResponse_Timer();
            on<Coveragefrm>(answerCoverage<Coveragefrm>);
            wait->tmrAuthResponse_Timer();
            EXPECT_TRUE(orvane::test::serve(host_->env(), client));
            wait->tmrAuthResponse_Timer(); // the loss acknowledgement
            on<Comparersfrm>([](Comparersfrm *compare) { compare->cmdAction[0]->click(); });
            wait->tmrAuthResponse_Timer(); // the dispatch
            EXPECT_TRUE(wait->ended());
        });
        view->cmdAction[0]->click();
    });
    EXPECT_TRUE(reportedErrors().isEmpty()) << reportedErrors().join(u'\n').toStdString();
    EXPECT_EQ(trans(u"DISPATCH"_s).value(u"daskloc"_s).toInt64(), 1);
}

namespace {

// A transaction table that cannot take the document.
class RefusingTrans : public orvane::transport::Clsg_trans {
public:
    void Update() override { throw orvane::VbError(3704, u"g_trans"_s, u"Database locked"_s); }
};

} // namespace

TEST_F(FollowThrough, ANoticeThatCannotBeQueuedIsNotKept)
{
    orvane::ObjectRegistry::instance().registerClass(
        QString::fromUtf16(ext::progid::g_trans), [] { return std::make_shared<RefusingTrans>(); });
    openForm(host_->openOrder(2), [](eNOLfrm *view) {
        fillValid(view);
        view->cmdAction[0]->click();
        EXPECT_FALSE(view->isHidden()) << "the user can try again";
        view->cmdAction[1]->click();
    });
    EXPECT_FALSE(sent_);
    orvane::transport::registerTransportClasses();
    EXPECT_EQ(reportedErrors().size(), 1);
    EXPECT_EQ(count(ext::progid::g_enol), 0);
    EXPECT_EQ(count(ext::progid::g_enolline), 0);

    // Queued, but the send flag cannot be raised: the notice is on its way and stays whole.
    ASSERT_TRUE(QDir().mkpath(host_->env()->data_path() % u"Orvane.ini"_s));
    openForm(host_->openOrder(2), [](eNOLfrm *view) {
        fillValid(view);
        view->cmdAction[0]->click();
        view->cmdAction[1]->click();
    });
    EXPECT_EQ(trans(u"ENOL"_s).recordCount(), 1);
    EXPECT_EQ(count(ext::progid::g_enol), 1);
    EXPECT_EQ(count(ext::progid::g_enolline), 2);

    // A document that cannot be built at all (no notice) is reported too.
    ui_->clear();
    openForm(host_->openOrder(2), [](eNOLfrm *view) {
        orvane::XmlDocument doc;
        EXPECT_FALSE(view->CreateXML(nullptr, nullptr, doc));
        view->cmdAction[1]->click();
    });
    EXPECT_EQ(reportedErrors().size(), 1);
}

// A document that cannot be built (no notice row), or one that cannot be
// queued: no answer is kept, and the wait is not told one went.
TEST_F(FollowThrough, ACoverageAnswerThatCannotBeBuiltOrQueuedIsNotKept)
{
    addCover(u"LR-9"_s, u"0"_s);
    for (const bool queueRefused : {false, true}) {
        ui_->clear();
        orvane::loss::CoverageAnswer answer;
        answer.setCoverage(table(ext::progid::g_cover));
        answer.setInvoice(host_->openOrder(2));
        if (queueRefused) {
            answer.setNotice(confirmedNotice(u"0"_s));
            orvane::ObjectRegistry::instance().registerClass(
                QString::fromUtf16(ext::progid::g_trans),
                [] { return std::make_shared<RefusingTrans>(); });
        }
        answer.load();
        answer.toggleRow(0);
        EXPECT_FALSE(answer.SendXML(
            true, {QDate(2026, 12, 9), true, QTime(9, 30), Qt::Checked, u"97205"_s}));
        orvane::transport::registerTransportClasses();
        EXPECT_FALSE(answer.sent());
        EXPECT_EQ(reportedErrors().size(), 1);
        EXPECT_EQ(count(ext::progid::g_lossack), 0);
    }
}

TEST_F(FollowThrough, AFailingPollIsToldOnceUntilAPollSucceeds)
{
    auto notice = confirmedNotice(u"0"_s);
    auto wait = waitOn(notice);
    EXPECT_TRUE(wait->cmdCancel->isVisibleTo(wait.get()));
    for (int round = 1; round <= 2; ++round) {
        notice->setEnv(nullptr); // every poll fails
        for (int tick = 0; tick < 3; ++tick)
            wait->tmrAuthResponse_Timer();
        EXPECT_EQ(reportedErrors().size(), round);
        notice->setEnv(host_->env());
        wait->tmrAuthResponse_Timer();
    }
}

// A workstation killed at each step of saving a loss notice: the notice, its
// lines and its transaction row are stored together or not at all, and the
// notice sent before stays.
namespace {

struct Step {
    orvane::test::KillAt at;
    bool stored;
};

} // namespace

class NoticeCrash : public LossTest, public ::testing::WithParamInterface<Step> {
protected:
    void submit()
    {
        openForm(host_->openOrder(2), [this](eNOLfrm *view) {
            fillValid(view);
            on<eNOLwaitfrm>([](eNOLwaitfrm *wait) { wait->cmdCancel->click(); });
            view->cmdAction[0]->click();
        });
    }
};

// Writes: the notice, its two lines, the transaction row; then the commit.
TEST_P(NoticeCrash, TheNoticeIsStoredWholeOrNotAtAll)
{
    submit();
    EXPECT_TRUE(orvane::test::diesAt(GetParam().at, [this] { submit(); }));
    const int notices = GetParam().stored ? 2 : 1;
    EXPECT_EQ(count(ext::progid::g_enol), notices);
    EXPECT_EQ(count(ext::progid::g_enolline), 2 * notices);
    EXPECT_EQ(trans(u"ENOL"_s).recordCount(), notices);
}

INSTANTIATE_TEST_SUITE_P(KillPoints, NoticeCrash,
                         ::testing::Values(Step{{"write", 1}, false}, Step{{"write", 3}, false},
                                           Step{{"write", 4}, false}, Step{{"commit", 1}, false},
                                           Step{{"committed", 1}, true}));
