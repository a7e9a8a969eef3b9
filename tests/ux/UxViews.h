#pragma once

// The library's eleven views, made bare (no order, no dispatch), what the
// keyboard and translation tests read from them, and what they expect of each.

#include "qorOrvaneUI/authorization/Authoriizewaitfrm.h"
#include "qorOrvaneUI/authorization/AuthorizationShowfrm.h"
#include "qorOrvaneUI/authorization/Authorizationfrm.h"
#include "qorOrvaneUI/dispatch/ChooseDispatchfrm.h"
#include "qorOrvaneUI/dispatch/Comparersfrm.h"
#include "qorOrvaneUI/dispatch/Dispatchfrm.h"
#include "qorOrvaneUI/dispatch/frmEscheduleInfo.h"
#include "qorOrvaneUI/loss/Coveragefrm.h"
#include "qorOrvaneUI/loss/eNOLfrm.h"
#include "qorOrvaneUI/loss/eNOLwaitfrm.h"
#include "qorOrvaneUI/loss/frmPIDList.h"
#include "runtime/RuntimeHelpers.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

// The suites name every view by its short name.
using orvane::authorization::Authoriizewaitfrm;
using orvane::authorization::Authorizationfrm;
using orvane::authorization::AuthorizationShowfrm;
using orvane::dispatch::ChooseDispatchfrm;
using orvane::dispatch::Comparersfrm;
using orvane::dispatch::Dispatchfrm;
using orvane::dispatch::frmEscheduleInfo;
using orvane::loss::Coveragefrm;
using orvane::loss::eNOLfrm;
using orvane::loss::eNOLwaitfrm;
using orvane::loss::frmPIDList;

namespace ux {

using namespace Qt::StringLiterals;

// A control as a test names it: its object name, and its index in a control
// array when the name does not carry one.
inline QString controlName(const QWidget *w)
{
    const QVariant index = w->property("index");
    QString name = w->objectName();
    if (index.isValid() && !name.isEmpty() && !name.back().isDigit())
        return name + u'[' + index.toString() + u']';
    return name;
}

// The controls Tab visits, in order, starting from the first one.
inline QStringList tabChain(QWidget *view)
{
    auto takesTab = [view](QWidget *w) {
        return w != view && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() &&
               w->isVisibleTo(view) && !w->focusProxy();
    };
    QStringList chain;
    QWidget *w = view->nextInFocusChain();
    for (int guard = 0; w != view && guard < 1000; w = w->nextInFocusChain(), ++guard)
        if (takesTab(w) && view->isAncestorOf(w))
            chain << controlName(w);
    return chain;
}

// Captions of buttons, labels with a buddy and group boxes, as the user sees
// them (hidden controls too: they show later).
inline QStringList mnemonicCaptions(QWidget *view)
{
    QStringList captions;
    for (QWidget *w : view->findChildren<QWidget *>()) {
        if (auto *b = qobject_cast<QAbstractButton *>(w))
            captions << b->text();
        else if (auto *l = qobject_cast<QLabel *>(w); l && l->buddy())
            captions << l->text();
        else if (auto *g = qobject_cast<QGroupBox *>(w))
            captions << g->title();
    }
    return captions;
}

// A key pressed in a control of a shown view: the button it presses (none:
// "") and whether the view is still open afterwards.
struct Key {
    const char *control; // "" for the view itself
    Qt::Key key;
    const char *pressed;
    bool staysOpen;
};

// A view and what the suites expect of it.
struct View {
    std::string name; // the class's, without its namespace
    std::function<std::unique_ptr<QDialog>()> make;
    const char *tabChain; // object names, space-separated
    std::vector<Key> keys;
    // Plays the user until the view has shown what it can (grids filled,
    // messages raised); may be empty.
    std::function<void(QDialog *)> play;
};

template <class T>
View view(const char *tabChain, std::vector<Key> keys, std::function<void(T *)> play = {})
{
    View v{QString::fromLatin1(T::staticMetaObject.className()).section(u"::"_s, -1).toStdString(),
           [] { return std::make_unique<T>(); },
           tabChain,
           std::move(keys),
           {}};
    if (play)
        v.play = [play](QDialog *d) { play(static_cast<T *>(d)); };
    return v;
}

inline void PrintTo(const View &v, std::ostream *os)
{
    *os << v.name;
}

// Names a parameterised case after its view.
inline std::string caseName(const ::testing::TestParamInfo<View> &p)
{
    return p.param.name;
}

inline orvane::Recordset pidRows()
{
    orvane::Recordset rs = orvane::test::openRecordset(
        {{u"PID"_s, orvane::ftype::Text, 20}, {u"PIDname"_s, orvane::ftype::Text, 40}});
    rs.loadRow({u"P1"_s, u"Main street"_s});
    return rs;
}

inline const std::vector<View> &views()
{
    constexpr auto Enter = Qt::Key_Return;
    constexpr auto Esc = Qt::Key_Escape;
    static const std::vector<View> all{
        view<Dispatchfrm>("crvDispatch cmdPrint cmdSavePdf", {{"crvDispatch", Esc, "", false}}),
        view<frmEscheduleInfo>("cmdAction_0",
                               {{"", Enter, "cmdAction_0", false}, {"", Esc, "", false}}),
        view<Comparersfrm>(
            "grdCompare cmdAction_0 cmdAction_1",
            {{"grdCompare", Enter, "cmdAction_0", false}, {"grdCompare", Esc, "", false}}),
        // Enter never attaches: it searches from the box and views from the list.
        view<ChooseDispatchfrm>("txtDispatchNum cmdFind grdDispatches cmdView cmdAttach",
                                {{"txtDispatchNum", Enter, "cmdFind", true},
                                 {"grdDispatches", Enter, "cmdView", true},
                                 {"txtDispatchNum", Esc, "", false}}),
        view<Authorizationfrm>(
            "grdAuthorize chkShow cmdBuild cmdCancel",
            {{"chkShow", Enter, "cmdBuild", true}, {"grdAuthorize", Esc, "", false}},
            [](Authorizationfrm *v) { v->cmdBuild->click(); }),
        // Bare, the view has no answers to write, so OK leaves it open.
        view<AuthorizationShowfrm>(
            "grdAuthorize cmdAction",
            {{"grdAuthorize", Enter, "cmdAction", true}, {"grdAuthorize", Esc, "", false}}),
        // Until Cancel is offered the wait cannot be abandoned.
        view<Authoriizewaitfrm>("", {{"", Esc, "", true}}),
        view<eNOLfrm>(
            // ids; customer; insurance; vehicle; cause; damage; buttons
            "txtPID cmdPIDList txtOID cmdNetID txtInsCOID cmdCompanyID txtInsuranceID "
            "cmdInsuranceID txtSoldTo[15] txtSoldTo[14] txtSoldTo[13] txtSoldTo[11] "
            "txtSoldTo[10] txtSold_To[3] txtSold_To[0] txtSold_To[4] txtSold_To[1] "
            "txtSold_To[5] chkSet txtLossIDNumber txtAgent[10] txtPolicyState txtAgent[17] "
            "txtAgent[0] txtAgents[3] txtAgents[1] cboOwnership txtVehicleNumber "
            "cboVehicleType cboVehicleSource txtCar[0] txtCar[1] txtCar[2] txtCar[3] "
            "txtCar[4] cmdVehicle txtCar[5] cboCauseofLoss chkBodilyInjury chkGlassDamage "
            "txtContactName cboOpeningType txtQuantity cboPos cboLocation cboSide "
            "chkRepairable cmdAdd cmdDelete grdDamage cmdAction[0] cmdAction[1]",
            {{"txtContactName", Enter, "cmdAction[0]", true},
             {"edit", Enter, "", true}, // the date picker's
             {"txtContactName", Esc, "", false}},
            [](eNOLfrm *v) { v->cmdAction[0]->click(); }),
        view<eNOLwaitfrm>("cmdCancel", {{"", Esc, "", false}}),
        // Escape neither declines the work nor drops what was typed.
        view<Coveragefrm>("grdAuthorize cmdVehicle chkSet chkInstallTime txtInstallTime "
                          "chkMobile txtZip cmdBuild cmdCancel",
                          {{"txtZip", Enter, "cmdBuild", true}, {"txtZip", Esc, "", true}},
                          [](Coveragefrm *v) { v->cmdBuild->click(); }),
        view<frmPIDList>("grdEdits cmdEdits[1] cmdEdits[2] cmdAction[0] cmdAction[1]",
                         {{"grdEdits", Enter, "cmdAction[0]", false}, {"grdEdits", Esc, "", false}},
                         [](frmPIDList *v) {
                             v->bindGrid(pidRows());
                             v->cmdEdits[2]->click();
                         }),
    };
    return all;
}

} // namespace ux
