#include "linking/LinkingFixture.h"

#include <QLineEdit>

using namespace linkingtest;
using orvane::MsgButtons;
using orvane::MsgResult;

namespace {

const QString kUnlinkText =
    u"This invoice is currently linked to a dispatch.  Linking it to another dispatch will "
    u"unlink this record\r\n\r\nAre you sure you want to do this?\r\nYES will continue and "
    u"unlink your current invoice\r\nNO will abort this operation"_s;

} // namespace

TEST_F(LinkingTest, FindsByPrefixOfTheRecordIdStartingFromTheOrdersOwnDispatch)
{
    addDispatch(u"D-100-1"_s);
    addDispatch(u"D-100-2"_s);
    addDispatch(u"D-200-1"_s);
    addDispatch(u"D-100-9"_s, 0, 0, u"AUTHREQ"_s); // not a dispatch
    auto order = host_->openOrder(1);
    order->itemsrecordset().setValue(u"dispatch"_s, u"D-100"_s);
    // The flow before any search has nothing to attach.
    orvane::dispatch::DispatchLink unsearched;
    unsearched.setInvoice(order);
    EXPECT_FALSE(unsearched.attach());
    // Released (the view closing), it holds neither the order nor the list.
    unsearched.find(u"D-100"_s, [](const Recordset &) {});
    unsearched.release();
    EXPECT_FALSE(unsearched.dispatchList() || unsearched.invoice());

    QStringList first, all;
    on<ChooseDispatchfrm>([&](ChooseDispatchfrm *view) {
        // Activation searched for the order's own dispatch number.
        EXPECT_EQ(view->txtDispatchNum->text(), u"D-100"_s);
        first = listed(view);
        view->txtDispatchNum->setText(u"  "_s);
        view->cmdFind->click();
        all = listed(view);
        EXPECT_FALSE(view->lblFound->isVisibleTo(view));
        view->txtDispatchNum->setText(u"x' OR recid like '"_s);
        view->cmdFind->click();
        // An empty grid says the search found nothing; Attach and View do nothing.
        EXPECT_EQ(view->dispatchModel()->rowCount(), 0);
        EXPECT_TRUE(view->lblFound->isVisibleTo(view));
        EXPECT_TRUE(view->lblFound->text().contains(u"x' OR recid like '"_s));
        view->cmdAttach->click();
        view->cmdView->click();
        EXPECT_TRUE(view->isVisible());
        // Showing the list again does not search again.
        view->hide();
        view->show();
        EXPECT_EQ(view->txtDispatchNum->text(), u"x' OR recid like '"_s);
        view->hide();
    });
    clsShowDispatch().ChooseDispatch(0, order);
    EXPECT_EQ(first, (QStringList{u"D-100-1"_s, u"D-100-2"_s}));
    EXPECT_EQ(all, (QStringList{u"D-100-1"_s, u"D-100-2"_s, u"D-200-1"_s}));
    EXPECT_TRUE(ui_->boxes().empty()) << "no failure was reported";
}

TEST_F(LinkingTest, AnOrderAlreadyLinkedIsUnlinkedOnlyOnYes)
{
    addDispatch(u"D-OLD-1"_s, 3, 1);
    addDispatch(u"D-OLD-2"_s, 3, 1); // linked twice: both go
    addDispatch(u"D-OTHER"_s, 2, 1);
    addDispatch(u"D-NEW"_s);

    // No: nothing changes and the flow reports nothing linked.
    ui_->answer(MsgResult::No);
    EXPECT_FALSE(attach(host_->openOrder(3), u"D-NEW"_s));
    expectBox(kUnlinkText, u"Unlink Order?"_s, MsgButtons::YesNo);
    EXPECT_EQ(ui_->boxes()[0].defaultButton, MsgResult::No) << "Enter must not unlink";
    EXPECT_EQ(links(u"D-OLD-2|D-NEW"_s), "3/1 0/0");

    // Yes: both old links go, the new one is written.
    ui_->clear();
    ui_->answer(MsgResult::Yes);
    compareScript(true);
    attach(host_->openOrder(3), u"D-NEW"_s);
    EXPECT_EQ(boxTitles(), QStringList{u"Unlink Order?"_s});
    EXPECT_EQ(links(u"D-OLD-1|D-OLD-2|D-OTHER|D-NEW"_s), "0/0 0/0 2/1 3/1");
}

TEST_F(LinkingTest, ADispatchLinkedToAQuoteVoidsItOnlyOnYesAndIsRelinkedEitherWay)
{
    addDispatch(u"D-Q1"_s, 1, 1);
    addDispatch(u"D-Q2"_s, 1, 1);

    ui_->answer(MsgResult::Yes);
    compareScript(true);
    // Order 1 is linked to D-Q1 and D-Q2; order 3 is linked to nothing.
    attach(host_->openOrder(3), u"D-Q1"_s);
    expectBox(u"This dispatch is currently linked to order \r\nQuote-1001\r\n\r\nPress YES to "
              u"automatically void the order it was linked to\r\nPress NO to leave the other "
              u"order intact"_s,
              u"Void Order?"_s, MsgButtons::YesNo);
    EXPECT_EQ(ui_->boxes()[0].defaultButton, MsgResult::No) << "Enter must not void";
    expectStored(1, u"type=void|voidmsg=ORVANE ORDER REMOVED"_s);
    EXPECT_EQ(links(u"D-Q1"_s), "3/1");

    // Order 2 (an invoice) is not involved; restore order 1 as a quote for No.
    ui_->clear();
    host_->database().exec(u"UPDATE invoice SET type = 'quote', voidmsg = '' WHERE idnumber = 1"_s);
    ui_->answer(MsgResult::Yes); // link to the void order 4 anyway
    ui_->answer(MsgResult::No);
    compareScript(true);
    ui_->answer(MsgResult::Yes); // for an "Unlink Order?" that must not come
    attach(host_->openOrder(4), u"D-Q2"_s);
    EXPECT_EQ(boxTitles(), (QStringList{u"Order Is Void"_s, u"Void Order?"_s}));
    expectStored(1, u"type=quote|voidmsg="_s);
    EXPECT_EQ(links(u"D-Q2"_s), "4/1");
}

TEST_F(LinkingTest, ADispatchLinkedToAnInvoiceIsOnlyToldAboutAndToAVoidOrderNotAtAll)
{
    addDispatch(u"D-INV"_s, 2, 1);
    addDispatch(u"D-VOID"_s, 4, 1);

    compareScript(true);
    attach(host_->openOrder(1), u"D-INV"_s);
    expectBox(u"This order is already linked to an order \r\nInvoice-5001\r\n\r\nThis order "
              u"cannot be voided automatically.  Please remember to void this order"_s,
              u"qorOrvaneUI"_s, MsgButtons::OK);
    EXPECT_EQ(stored(2).value(u"type"_s).toText(), u"invoice"_s);
    EXPECT_EQ(links(u"D-INV"_s), "1/1");

    ui_->clear();
    compareScript(true);
    ui_->answer(MsgResult::Yes); // order 1 is now linked to D-INV
    attach(host_->openOrder(1), u"D-VOID"_s);
    EXPECT_EQ(boxTitles(), QStringList{u"Unlink Order?"_s}) << "nothing said about the void order";
    EXPECT_EQ(stored(4).value(u"voidmsg"_s).toText(), u"CUSTOMER CANCELLED"_s);
    EXPECT_EQ(links(u"D-VOID|D-INV"_s), "1/1 0/0");
}

TEST_F(LinkingTest, AttachingTheLinkedDispatchAgainOrCancellingTheComparisonChangesNoLink)
{
    addDispatch(u"D-SAME"_s, 1, 1);
    addDispatch(u"D-NEW"_s, 3, 1);
    auto order = host_->openOrder(1);
    // Attached again, the dispatch is neither unlinked nor voided. The rows come
    // ticked (what the order holds was chosen before), and the view names both sides.
    Offered offered;
    compareScript(true, &offered);
    attach(order, u"D-SAME"_s);
    EXPECT_FALSE(offered.kept.isEmpty());
    EXPECT_EQ(offered.taken, QStringList());
    EXPECT_TRUE(offered.named.contains(u"Quote-1001"_s) && offered.named.contains(u"D-SAME"_s))
        << offered.named.toStdString();
    EXPECT_TRUE(ui_->boxes().empty());
    EXPECT_EQ(stored(1).value(u"type"_s).toText(), u"quote"_s);

    // A cancelled comparison links nothing and unlinks nothing.
    ui_->answer(MsgResult::Yes);
    compareScript(false);
    EXPECT_FALSE(attach(order, u"D-NEW"_s)) << "the view stays open after a cancelled comparison";
    EXPECT_EQ(boxTitles(), QStringList{u"Unlink Order?"_s});
    // The old link goes only with the new one written: the order keeps its dispatch.
    EXPECT_EQ(links(u"D-SAME|D-NEW"_s), "1/1 3/1");
    EXPECT_EQ(stored(3).value(u"type"_s).toText(), u"workorder"_s);
}

TEST_F(LinkingTest, ViewShowsTheReportAndFailuresAreReportedThroughTheHostLeavingTheViewOpen)
{
    // A dispatch row whose document is no dispatch: returnorder refuses it.
    addDispatch(u"D-BROKEN"_s, 0, 0, u"DISPATCH"_s, u"<nothing/>"_s);
    // One without the optional groups: the report shows their empty rows.
    addDispatch(u"D-VIEW"_s, 0, 0, u"DISPATCH"_s, dispatchtest::sample(u"minimal.xml"_s));
    // The report folder first lacks the template: reported under the View
    // button's name.
    const auto options = host_->env()->Options();
    options->writeinistring(u"Defaults"_s, u"ReportPath"_s, dir_.path() + u"/none/"_s,
                            options->dask_ini());
    bool stillOpen = false;
    QString reportTitle;
    on<ChooseDispatchfrm>([&](ChooseDispatchfrm *view) {
        ASSERT_TRUE(select(view, u"D-BROKEN"_s));
        view->cmdAttach->click();
        stillOpen = view->isVisible();
        ASSERT_TRUE(select(view, u"D-VIEW"_s));
        view->cmdView->click();
        options->writeinistring(u"Defaults"_s, u"ReportPath"_s,
                                QStringLiteral(ORVANE_SAMPLES_DIR "/reports/"),
                                options->dask_ini());
        view->cmdView->click();
        view->hide();
    });
    ui_->onDialog([&](QDialog *d) {
        reportTitle = d->objectName();
        d->hide();
    });
    clsShowDispatch().ChooseDispatch(0, host_->openOrder(1));
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(reportTitle, u"Dispatchfrm"_s);
    ASSERT_EQ(ui_->boxes().size(), 2u);
    EXPECT_TRUE(ui_->boxes()[0].text.contains(u"qorOrvaneUI.ChooseDispatchfrm.cmdAttach_Click"_s))
        << ui_->boxes()[0].text.toStdString();
    EXPECT_TRUE(ui_->boxes()[0].text.contains(u"holds no dispatch"_s));
    EXPECT_TRUE(ui_->boxes()[1].text.contains(u"qorOrvaneUI.ChooseDispatchfrm.cmdView_Click"_s))
        << ui_->boxes()[1].text.toStdString();
    EXPECT_EQ(links(u"D-BROKEN"_s), "0/0");
}

// Elements directly under Dispatch are compared; blanks keep the order's
// values. An insurer the host does not know is shown, so staff see the
// dispatch bills another insurer, but kept; every other row transfers.
TEST_F(LinkingTest, SampleDispatchesOfferWhatTheHostCanTake)
{
    addDispatch(u"D-MIN"_s, 0, 0, u"DISPATCH"_s, dispatchtest::sample(u"minimal.xml"_s));
    addDispatch(u"D-PLI"_s, 0, 0, u"DISPATCH"_s, dispatchtest::sample(u"mobile-eschedule.xml"_s));
    Offered offered;
    compareScript(true, &offered);
    auto order = host_->openOrder(1);
    attach(order, u"D-MIN"_s);
    order->save();
    // No insurer and no discount the host knows: neither is offered.
    EXPECT_EQ(offered.taken,
              (QStringList{u"Dispatch #=D-2026-119377"_s, u"Vehicle=2015-Civic-Honda-"_s,
                           u"Sold To Last Name=Kim"_s}));
    EXPECT_EQ(offered.kept,
              (QStringList{u"Date of Loss="_s, u"Sold To First Name="_s, u"Sold To Address="_s,
                           u"Sold To City="_s, u"Sold To State="_s, u"Sold To Zip="_s,
                           u"Sold To Home Area Code="_s, u"Sold To Home Phone #="_s,
                           u"Deductible="_s, u"Agent First Name="_s, u"Agent Last Name="_s,
                           u"Agent Area Code="_s, u"Agent Phone #="_s}));
    expectStored(1, u"s_first=Alex|s_last=Kim|year=2015|deductible=100|billto_id=1"_s);
    EXPECT_EQ(links(u"D-MIN"_s), "1/1");

    offered = {};
    compareScript(true, &offered);
    order = host_->openOrder(3);
    attach(order, u"D-PLI"_s);
    EXPECT_TRUE(offered.kept.join(u'|').contains(u"BILL TO="_s));
    EXPECT_TRUE(offered.notes.join(u'|').contains(u"no bill-to party for this insurer"_s));
    EXPECT_TRUE(ui_->boxes().empty());
    order->save();
    expectStored(3, u"billto_id=1|s_first=Luis|model=F-150|a_last=Raman"_s);
}

TEST_F(LinkingTest, AVoidOrderUnreadableAndOverlongValuesAreNeverTakenSilently)
{
    // Attaching to a void order asks first; Enter (No) links nothing.
    addDispatch(u"D-V"_s);
    attach(host_->openOrder(4), u"D-V"_s);
    EXPECT_EQ(boxTitles(), QStringList{u"Order Is Void"_s});
    EXPECT_EQ(ui_->boxes()[0].defaultButton, MsgResult::No);
    EXPECT_EQ(links(u"D-V"_s), "0/0");

    // A deductible the dispatch does not hold readably is no value: no row.
    // A 64-character name fits the order whole; an address the order cannot
    // hold is shown whole and says it will be cut.
    ui_->clear();
    const QString last = u"O'Brien \"Bud\" Van Der Westhuizen-Montgomery of Lower Saxony"_s;
    const QString address = QString(230, u'a');
    QString xml = dispatchXml(u"D-X"_s);
    xml.replace(u"<Deductible>250.00</Deductible>"_s, u"<Deductible>two hundred</Deductible>"_s);
    xml.replace(u"<InsuredOrClaimantLastName>O'Donnell"_s,
                u"<InsuredOrClaimantLastName>"_s % last.toHtmlEscaped());
    xml.replace(u"1422 Larkspur Avenue, Apt 3B, Building C"_s, address);
    addDispatch(u"D-X"_s, 0, 0, u"DISPATCH"_s, xml);
    auto order = host_->openOrder(1);
    Offered offered;
    compareScript(true, &offered);
    attach(order, u"D-X"_s);
    EXPECT_FALSE((offered.kept + offered.taken).join(u'|').contains(u"Deductible="_s));
    EXPECT_EQ(offered.notes, QStringList{u"Sold To Address=230 The order holds only 200 characters "
                                         u"here; taking it over cuts the rest."_s});
    order->save();
    expectStored(1, u"deductible=100|s_last="_s % last);
}
