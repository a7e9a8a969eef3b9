#include "qorOrvaneUI/loss/IdLists.h"

#include "qorOrvaneUI/core/DataCommandScope.h"
#include "qorOrvaneUI/core/WindowAPImod.h"
#include "qorOrvaneUI/core/modOrvane.h"
#include "qorOrvaneUI/loss/frmPIDList.h"
#include "runtime/vb.h"
#include <qorOrvaneUI/external/IDataCommand.h>
#include <qorOrvaneUI/external/IEnvironment.h>
#include <qorOrvaneUI/external/IInscoIdList.h>
#include <qorOrvaneUI/external/IOidList.h>
#include <qorOrvaneUI/external/IOptions.h>
#include <qorOrvaneUI/external/IPidList.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/widgets/Ui.h>

#include <QPushButton>

using namespace Qt::StringLiterals;
using orvane::Proc;
using orvane::Recordset;
using orvane::WindowHandle;
namespace ext = orvane::ext;

namespace {

using orvane::loss::frmPIDList;
namespace WindowAPImod = orvane::WindowAPImod;

const QString kNetIdList = u"qorOrvaneUI.eNOLcls.netidlist()"_s;

struct ListColumn {
    const char *caption; // translated in the list view's context
    const char16_t *field;
    int width;
};

// Shows the list view modally at the owner's corner; true when the user chose a row.
bool showList(frmPIDList &view, orvane::WindowHandle lngHwnd)
{
    if (lngHwnd != 0)
        WindowAPImod::PlaceAtOwnerCorner(lngHwnd, &view);
    orvane::Ui::instance().showModal(&view);
    const bool chosen = view.Selected();
    view.Form_Unload();
    return chosen;
}

void setColumns(frmPIDList &view, const QString &tag, std::initializer_list<ListColumn> columns)
{
    view.setGridTag(tag);
    view.clearColumns();
    for (const ListColumn &c : columns)
        view.addColumn(frmPIDList::tr(c.caption), QString::fromUtf16(c.field), c.width);
}

template <class T> std::shared_ptr<T> createTable(const char16_t *progId)
{
    return orvane::CreateObject<T>(QString::fromUtf16(progId));
}

} // namespace

namespace orvane::loss {

QString inscoidFilter(const QString &DestPID, const QString &OrigPID)
{
    return u"g_inscoid.destpid = '"_s % modOrvane::SQLSafeText(DestPID) % u"' AND "_s %
           u"g_inscoid.origpid = '"_s % modOrvane::SQLSafeText(OrigPID) % u"'"_s;
}

std::shared_ptr<ext::IPidList> pidList(const std::shared_ptr<ext::IEnvironment> &objEnv,
                                       WindowHandle lngHwnd)
{
    Proc p(u"qorOrvaneUI.eNOLcls.PIDList()"_s);
    try {
        p.at(10);
        frmPIDList view;
        auto list = createTable<ext::IPidList>(ext::progid::g_pidList);
        view.setList(list);
        list->setEnv(objEnv);
        p.at(20);
        list->get_g_pidlist();
        p.at(30);
        view.bindGrid(list->itemsrecordset());
        return showList(view, lngHwnd) ? list : nullptr;
    } catch (...) {
        p.rethrow();
    }
}

std::shared_ptr<ext::IOidList> netIdList(const std::shared_ptr<ext::IEnvironment> &objEnv,
                                         WindowHandle lngHwnd)
{
    Proc p(kNetIdList);
    try {
        p.at(10);
        frmPIDList view;
        auto list = createTable<ext::IOidList>(ext::progid::g_oidList);
        view.setList(list);
        list->setEnv(objEnv);
        p.at(20);
        list->Get_g_oidList();
        p.at(30);
        setColumns(view, u"NETIDLIST.1.1"_s,
                   // Wide enough for its caption.
                   {{QT_TRANSLATE_NOOP("orvane::loss::frmPIDList", "Network ID"), u"Origid", 100},
                    {QT_TRANSLATE_NOOP("orvane::loss::frmPIDList", "Company"), u"Company", -1},
                    {QT_TRANSLATE_NOOP("orvane::loss::frmPIDList", "Address"), u"Address", -1},
                    {QT_TRANSLATE_NOOP("orvane::loss::frmPIDList", "City"), u"City", -1},
                    {QT_TRANSLATE_NOOP("orvane::loss::frmPIDList", "State"), u"State", -1},
                    {QT_TRANSLATE_NOOP("orvane::loss::frmPIDList", "Zip"), u"Zip", -1}});
        view.bindGrid(list->itemsrecordset());
        view.cmdEdits[1]->hide();
        view.cmdEdits[2]->hide();
        view.resize(720, 340);
        return showList(view, lngHwnd) ? list : nullptr;
    } catch (...) {
        p.rethrow();
    }
}

std::shared_ptr<ext::IInscoIdList> inscoIdList(const std::shared_ptr<ext::IEnvironment> &objEnv,
                                               const QString &DestPID, const QString &OrigPID,
                                               WindowHandle lngHwnd)
{
    Proc p(kNetIdList);
    try {
        p.at(10);
        frmPIDList view;
        auto list = createTable<ext::IInscoIdList>(ext::progid::g_inscoid);
        view.setList(list);
        list->setEnv(objEnv);
        p.at(20);
        list->get_g_inscoid(inscoidFilter(DestPID, OrigPID));
        list->setPID(vb::Trim(DestPID));
        list->setoid(vb::Trim(OrigPID));
        p.at(30);
        setColumns(
            view, u"INSCOID.1.1"_s,
            {{QT_TRANSLATE_NOOP("orvane::loss::frmPIDList", "Origination INS ID"), u"INScoid", 120},
             {QT_TRANSLATE_NOOP("orvane::loss::frmPIDList", "Company"), u"Company", -1},
             {QT_TRANSLATE_NOOP("orvane::loss::frmPIDList", "Address"), u"Address", -1},
             {QT_TRANSLATE_NOOP("orvane::loss::frmPIDList", "City"), u"City", -1},
             {QT_TRANSLATE_NOOP("orvane::loss::frmPIDList", "State"), u"State", -1},
             {QT_TRANSLATE_NOOP("orvane::loss::frmPIDList", "Zip"), u"Zip", -1}});
        view.bindGrid(list->itemsrecordset());
        view.resize(720, 340);
        return showList(view, lngHwnd) ? list : nullptr;
    } catch (...) {
        p.rethrow();
    }
}

std::optional<Recordset> insurerIdList(const std::shared_ptr<ext::IEnvironment> &objEnv,
                                       WindowHandle lngHwnd)
{
    Proc p(kNetIdList);
    try {
        p.at(10);
        const auto env = orvane::required(objEnv);
        const auto dc = orvane::required(orvane::required(env->Options())->dcobject());
        const orvane::DataCommandScope onInsurers(dc, env->GetConnectString(env->data_path(), 0));
        p.at(20);
        Recordset insurers;
        if (!dc->Execute(env->SecurityToken(), u"Select * from g_insurer"_s, insurers,
                         {2, 1, 2, 0, false}))
            return std::nullopt;
        p.at(30);
        frmPIDList view;
        view.setEnv(env);
        setColumns(
            view, u"INSURERID.1.1"_s,
            {{QT_TRANSLATE_NOOP("orvane::loss::frmPIDList", "Insurer ID"), u"orvaneid", 120},
             {QT_TRANSLATE_NOOP("orvane::loss::frmPIDList", "Insurance Company"), u"Insurer", -1}});
        view.bindGrid(insurers);
        view.cmdEdits[1]->hide();
        view.cmdEdits[2]->hide();
        view.setKeepUnsaved(true);
        if (showList(view, lngHwnd))
            return insurers;
        return std::nullopt;
    } catch (...) {
        p.rethrow();
    }
}

std::optional<Recordset> chooseId(IdKind kind, const std::shared_ptr<ext::IEnvironment> &env,
                                  const QString &pid, const QString &oid, WindowHandle owner)
{
    switch (kind) {
    case IdKind::Retail:
        if (auto list = pidList(env, owner))
            return list->itemsrecordset();
        break;
    case IdKind::Network:
        if (auto list = netIdList(env, owner))
            return list->itemsrecordset();
        break;
    case IdKind::Company:
        if (auto list = inscoIdList(env, pid, oid, owner))
            return list->itemsrecordset();
        break;
    case IdKind::Insurer:
        return insurerIdList(env, owner);
    }
    return std::nullopt;
}

} // namespace orvane::loss
