#include "loss/LossFixture.h"
#include "support/OrderOnlyInvoice.h"

#include "qorOrvaneUI/loss/frmPIDList.h"
#include "runtime/widgets/RecordsetModel.h"
#include "support/TestHelpers.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableView>

using orvane::loss::eNOLcls;
using orvane::loss::frmPIDList;

using namespace losstest;
using orvane::MsgResult;

TEST_F(LossTest, VerifyFieldsListsWhatTheOrderLacksInOrder)
{
    const QString head = u"The following fields are required to save this order\r\n\r\n"_s;
    struct Case {
        std::map<QString, Value> set;
        QString listed; // empty: nothing raised
    };
    const std::vector<Case> cases = {
        {{}, {}},
        {{{u"s_last"_s, u"  "_s}, {u"model"_s, QString()}},
         u"Sold to Last\t\t\t|s_last\r\nVehicle Model\t\t\t|model\r\n"_s},
        {{{u"lossdate"_s, QDate(1900, 1, 1)}}, u"lossdate\t\t\t|Date of Loss\r\n"_s},
        {{{u"lossdate"_s, QDate(1900, 1, 2)}}, {}},
        {{{u"s_area2"_s, QString()}, {u"carid"_s, QString()}},
         u"Sold to Home Area Code\t\t\t|s_area1\r\nVehicle\t\t\t|carid\r\n"_s},
    };
    for (const Case &c : cases) {
        auto order = host_->openOrder(2);
        Recordset rs = order->itemsrecordset();
        for (const auto &[field, value] : c.set)
            rs.setValue(field, value);
        eNOLcls cls;
        bool result = true;
        const orvane::VbError e = orvane::test::raised([&] { result = cls.VerifyFields(order); });
        if (c.listed.isEmpty()) {
            EXPECT_EQ(e.number(), 0) << e.description().toStdString();
            EXPECT_FALSE(result);
        } else {
            EXPECT_EQ(e.number(), -10000);
            EXPECT_EQ(e.source(), u"qorOrvaneUI.VerifyFields"_s);
            EXPECT_EQ(e.description(), head + c.listed);
        }
    }
    // An order row without a field the check reads names it and the check.
    auto bare = std::make_shared<orvane::test::OrderInvoiceWithEnv>();
    bare->order.appendField(u"s_first"_s, orvane::ftype::Text, 20);
    bare->order.open();
    bare->order.addNew();
    bare->order.update();
    const orvane::VbError e = orvane::test::raised([&] { eNOLcls().VerifyFields(bare); });
    EXPECT_EQ(e.number(), orvane::err::ItemNotFound);
    EXPECT_EQ(e.source(), u"qorOrvaneUI.VerifyFields"_s);
    EXPECT_TRUE(e.description().endsWith(u"(\"s_last\")"_s));
}

TEST_F(LossTest, ListsHandBackTheChosenRowOrNothing)
{
    addRows(ext::progid::g_pidList, u"g_pidlist"_s,
            {{{u"PID"_s, u"P1"_s}, {u"PIDname"_s, u"Main"_s}},
             {{u"PID"_s, u"P2"_s}, {u"PIDname"_s, u"East"_s}}});
    eNOLcls cls;
    on<frmPIDList>([](frmPIDList *view) {
        view->grdEdits->setCurrentIndex(view->gridModel()->index(1, 0));
        view->cmdAction[0]->click();
    });
    auto chosen = cls.PIDList(host_->env());
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->itemsrecordset().value(u"PID"_s).toText(), u"P2"_s);

    // Cancel picks nothing but still saves what was edited; No keeps the row.
    on<frmPIDList>([this](frmPIDList *view) {
        view->cmdEdits[1]->click();
        Recordset rows = view->rows();
        rows.setValue(u"PID"_s, u"P3"_s);
        rows.update();
        ui_->answer(MsgResult::No);
        view->cmdEdits[2]->click();
        view->cmdAction[1]->click();
    });
    EXPECT_FALSE(cls.PIDList(host_->env()));
    EXPECT_EQ(ui_->boxes().size(), 1u);
    auto all = orvane::CreateObject<ext::IPidList>(QString::fromUtf16(ext::progid::g_pidList));
    all->setEnv(host_->env());
    all->get_g_pidlist();
    EXPECT_EQ(all->itemsrecordset().recordCount(), 3);

    // The network list: its own columns, no Add or Delete.
    on<frmPIDList>([](frmPIDList *view) {
        EXPECT_TRUE(view->gridKey().startsWith(u"NETIDLIST."_s));
        EXPECT_TRUE(view->cmdEdits[1]->isHidden());
        view->cmdAction[1]->click();
    });
    EXPECT_FALSE(cls.NetIDList(host_->env()));

    // Insurers come from the host's own table and are never written back.
    on<frmPIDList>([](frmPIDList *view) {
        view->grdEdits->setCurrentIndex(view->gridModel()->index(1, 0));
        view->cmdAction[0]->click();
    });
    const auto insurer = cls.InsurerIDList(host_->env());
    ASSERT_TRUE(insurer);
    EXPECT_EQ(insurer->value(u"orvaneid"_s).toText(), u"NSC07"_s);
}

TEST_F(LossTest, TheInsuranceCompanyListIsLoadedForTheTypedIdsSafely)
{
    addRows(ext::progid::g_inscoid, u"g_inscoid"_s,
            {{{u"destpid"_s, u"O'Hara"_s}, {u"origpid"_s, u"NET1"_s}, {u"INScoid"_s, u"C1"_s}},
             {{u"destpid"_s, u"OHara"_s}, {u"origpid"_s, u"NET1"_s}, {u"INScoid"_s, u"C2"_s}}});
    EXPECT_EQ(eNOLcls::inscoidFilter(u" O'Hara "_s, u"NET1"_s),
              u"g_inscoid.destpid = 'O' + CHR(39) + 'Hara' AND g_inscoid.origpid = 'NET1'"_s);
    on<frmPIDList>([](frmPIDList *view) {
        EXPECT_EQ(view->gridModel()->rowCount(), 1);
        // "Origination INS ID" shown whole.
        EXPECT_GE(view->grdEdits->columnWidth(0),
                  view->grdEdits->horizontalHeader()->sectionSizeHint(0));
        view->cmdAction[0]->click();
    });
    eNOLcls cls;
    auto list = cls.INSCOIDList(host_->env(), u" O'Hara "_s, u"NET1 "_s);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->PID(), u"O'Hara"_s);
    EXPECT_EQ(list->oid(), u"NET1"_s);
    EXPECT_EQ(list->itemsrecordset().value(u"INScoid"_s).toText(), u"C1"_s);
}
