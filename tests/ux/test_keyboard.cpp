// Tab order, Enter, Escape and mnemonics of every view.

#include "ux/UxViews.h"
#include <qorOrvaneUI/widgets/ScriptedUi.h>

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QKeySequence>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

using namespace Qt::StringLiterals;

namespace {

struct TabCase {
    const char *name;
    ux::Make make;
    const char *chain; // object names, space-separated
};

void PrintTo(const TabCase &c, std::ostream *os)
{
    *os << c.name;
}

class TabOrder : public ::testing::TestWithParam<TabCase> {};

TEST_P(TabOrder, FollowsTheLayout)
{
    orvane::test::ScopedScriptedUi ui;
    const auto view = GetParam().make();
    EXPECT_EQ(ux::tabChain(view.get()).join(u' ').toStdString(), GetParam().chain);
    // A grid that walks its cells with Tab never lets Tab reach the buttons.
    for (const QTableView *grid : view->findChildren<QTableView *>())
        EXPECT_FALSE(grid->tabKeyNavigation()) << grid->objectName().toStdString();
}

TEST_P(TabOrder, MnemonicsAreUniquePerView)
{
    orvane::test::ScopedScriptedUi ui;
    const auto view = GetParam().make();
    std::map<QString, QString> taken;
    for (const QString &caption : ux::mnemonicCaptions(view.get())) {
        const QString key = QKeySequence::mnemonic(caption).toString();
        if (key.isEmpty())
            continue;
        const auto [at, fresh] = taken.emplace(key, caption);
        EXPECT_TRUE(fresh) << key.toStdString() << ": \"" << caption.toStdString() << "\" and \""
                           << at->second.toStdString() << "\"";
    }
}

// A key pressed in a control of a shown view: the button it presses (none:
// "") and whether the view is still open afterwards.
struct KeyCase {
    const char *name;
    ux::Make make;
    const char *control; // "" for the view itself
    Qt::Key key;
    const char *pressed;
    bool staysOpen;
};

void PrintTo(const KeyCase &c, std::ostream *os)
{
    *os << c.name;
}

class Keys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(Keys, DoWhatTheButtonsSay)
{
    const KeyCase &c = GetParam();
    orvane::test::ScopedScriptedUi ui;
    const auto view = c.make();
    view->show();
    QString pressed;
    for (QAbstractButton *b : view->findChildren<QAbstractButton *>())
        QObject::connect(b, &QAbstractButton::clicked, view.get(),
                         [&pressed, b] { pressed += ux::controlName(b); });
    QWidget *target = view.get();
    if (*c.control) {
        target = nullptr;
        for (QWidget *w : view->findChildren<QWidget *>())
            if (ux::controlName(w) == QLatin1StringView(c.control))
                target = w;
        ASSERT_NE(target, nullptr) << c.control;
    }
    QTest::keyClick(target, c.key);
    EXPECT_EQ(pressed.toStdString(), c.pressed);
    EXPECT_EQ(view->isVisible(), c.staysOpen);
    view->hide();
}

constexpr auto Enter = Qt::Key_Return;
constexpr auto Esc = Qt::Key_Escape;

INSTANTIATE_TEST_SUITE_P(
    Views, Keys,
    ::testing::Values(
        KeyCase{"Dispatchfrm_Escape", ux::make<Dispatchfrm>(), "crvDispatch", Esc, "", false},
        KeyCase{"Eschedule_Enter", ux::make<frmEscheduleInfo>(), "", Enter, "cmdAction_0", false},
        KeyCase{"Eschedule_Escape", ux::make<frmEscheduleInfo>(), "", Esc, "", false},
        KeyCase{"Comparers_Enter", ux::make<Comparersfrm>(), "grdCompare", Enter, "cmdAction_0",
                false},
        KeyCase{"Comparers_Escape", ux::make<Comparersfrm>(), "grdCompare", Esc, "", false},
        // Enter never attaches: it searches from the box and views from the list.
        KeyCase{"ChooseDispatch_EnterInBox", ux::make<ChooseDispatchfrm>(), "txtDispatchNum", Enter,
                "cmdFind", true},
        KeyCase{"ChooseDispatch_EnterInList", ux::make<ChooseDispatchfrm>(), "grdDispatches", Enter,
                "cmdView", true},
        KeyCase{"ChooseDispatch_Escape", ux::make<ChooseDispatchfrm>(), "txtDispatchNum", Esc, "",
                false},
        KeyCase{"Authorization_Enter", ux::make<Authorizationfrm>(), "chkShow", Enter, "cmdBuild",
                true},
        KeyCase{"Authorization_Escape", ux::make<Authorizationfrm>(), "grdAuthorize", Esc, "",
                false},
        // Bare, the view has no answers to write, so OK leaves it open.
        KeyCase{"AuthorizationShow_Enter", ux::make<AuthorizationShowfrm>(), "grdAuthorize", Enter,
                "cmdAction", true},
        KeyCase{"AuthorizationShow_Escape", ux::make<AuthorizationShowfrm>(), "grdAuthorize", Esc,
                "", false},
        // Until Cancel is offered the wait cannot be abandoned.
        KeyCase{"AuthorizeWait_Escape", ux::make<Authoriizewaitfrm>(), "", Esc, "", true},
        KeyCase{"eNOL_Enter", ux::make<eNOLfrm>(), "txtContactName", Enter, "cmdAction[0]", true},
        KeyCase{"eNOL_EnterInDatePicker", ux::make<eNOLfrm>(), "edit", Enter, "", true},
        KeyCase{"eNOL_Escape", ux::make<eNOLfrm>(), "txtContactName", Esc, "", false},
        KeyCase{"eNOLwait_Escape", ux::make<eNOLwaitfrm>(), "", Esc, "", false},
        KeyCase{"Coverage_Enter", ux::make<Coveragefrm>(), "txtZip", Enter, "cmdBuild", true},
        // Escape neither declines the work nor drops what was typed.
        KeyCase{"Coverage_Escape", ux::make<Coveragefrm>(), "txtZip", Esc, "", true},
        KeyCase{"PIDList_Enter", ux::make<frmPIDList>(), "grdEdits", Enter, "cmdAction[0]", false},
        KeyCase{"PIDList_Escape", ux::make<frmPIDList>(), "grdEdits", Esc, "", false}),
    ux::CaseName());

INSTANTIATE_TEST_SUITE_P(
    Views, TabOrder,
    ::testing::Values(
        TabCase{"Dispatchfrm", ux::make<Dispatchfrm>(), "crvDispatch cmdPrint cmdSavePdf"},
        TabCase{"frmEscheduleInfo", ux::make<frmEscheduleInfo>(), "cmdAction_0"},
        TabCase{"Comparersfrm", ux::make<Comparersfrm>(), "grdCompare cmdAction_0 cmdAction_1"},
        TabCase{"ChooseDispatchfrm", ux::make<ChooseDispatchfrm>(),
                "txtDispatchNum cmdFind grdDispatches cmdView cmdAttach"},
        TabCase{"Authorizationfrm", ux::make<Authorizationfrm>(),
                "grdAuthorize chkShow cmdBuild cmdCancel"},
        TabCase{"AuthorizationShowfrm", ux::make<AuthorizationShowfrm>(), "grdAuthorize cmdAction"},
        TabCase{"Authoriizewaitfrm", ux::make<Authoriizewaitfrm>(), ""},
        TabCase{"eNOLfrm", ux::make<eNOLfrm>(),
                // ids; customer; insurance; vehicle; cause; damage; buttons
                "txtPID cmdPIDList txtOID cmdNetID txtInsCOID cmdCompanyID txtInsuranceID "
                "cmdInsuranceID txtSoldTo[15] txtSoldTo[14] txtSoldTo[13] txtSoldTo[11] "
                "txtSoldTo[10] txtSold_To[3] txtSold_To[0] txtSold_To[4] txtSold_To[1] "
                "txtSold_To[5] chkSet txtLossIDNumber txtAgent[10] txtPolicyState txtAgent[17] "
                "txtAgent[0] txtAgents[3] txtAgents[1] cboOwnership txtVehicleNumber "
                "cboVehicleType cboVehicleSource txtCar[0] txtCar[1] txtCar[2] txtCar[3] "
                "txtCar[4] cmdVehicle txtCar[5] cboCauseofLoss chkBodilyInjury chkGlassDamage "
                "txtContactName cboOpeningType txtQuantity cboPos cboLocation cboSide "
                "chkRepairable cmdAdd cmdDelete grdDamage cmdAction[0] cmdAction[1]"},
        TabCase{"eNOLwaitfrm", ux::make<eNOLwaitfrm>(), "cmdCancel"},
        TabCase{"Coveragefrm", ux::make<Coveragefrm>(),
                "grdAuthorize cmdVehicle chkSet chkInstallTime txtInstallTime chkMobile txtZip "
                "cmdBuild cmdCancel"},
        TabCase{"frmPIDList", ux::make<frmPIDList>(),
                "grdEdits cmdEdits[1] cmdEdits[2] cmdAction[0] cmdAction[1]"}),
    ux::CaseName());

} // namespace

// Every icon the views name is the library's own, sharp at 1x and 2x.
TEST(Icons, EveryIconTheViewsNameIsDrawnAtBothSizes)
{
    for (int id : {101, 102, 103, 105, 111, 143, 153, 154}) {
        EXPECT_FALSE(orvane::ui::libraryIcon(id).isNull()) << id;
        const QString name = u":/qorOrvaneUI/icon"_s % QString::number(id);
        EXPECT_EQ(QImage(name % u".png"_s).size(), QSize(16, 16)) << id;
        EXPECT_EQ(QImage(name % u"@2x.png"_s).size(), QSize(32, 32)) << id;
    }
    EXPECT_FALSE(orvane::ui::libraryIcon(164).isNull());
}
