#include <qorOrvaneUI/authorization/Authorizationcls.h>

#include "qorOrvaneUI/authorization/Authoriizewaitfrm.h"
#include "qorOrvaneUI/authorization/AuthorizationShowfrm.h"
#include "qorOrvaneUI/authorization/Authorizationfrm.h"
#include "qorOrvaneUI/core/WindowAPImod.h"
#include <qorOrvaneUI/external/IDataCommand.h>
#include <qorOrvaneUI/external/IEnvironment.h>
#include <qorOrvaneUI/external/IOptions.h>
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>

namespace orvane::authorization {

using namespace Qt::StringLiterals;

bool Authorizationcls::PartAuthorization(const std::shared_ptr<orvane::ext::IInvoice> &objInvoice,
                                         const orvane::XmlDocument &objDom,
                                         orvane::WindowHandle lngHwnd)
{
    orvane::Proc p(u"qorOrvaneUI.Authorizationcls.PartAuthorization()"_s);
    try {
        p.at(10);
        Authorizationfrm request;
        request.setInvoice(objInvoice);
        request.setDispatch(objDom);
        p.at(20);
        WindowAPImod::CentreOverOwner(lngHwnd, &request);
        orvane::Ui::instance().showModal(&request);
        p.at(30);
        if (request.sent()) {
            Authoriizewaitfrm wait;
            wait.setInvoice(objInvoice);
            wait.setSessionID(request.session());
            p.at(40);
            WindowAPImod::CentreOverOwner(lngHwnd, &wait);
            wait.ActivateMe();
            orvane::Ui::instance().showModal(&wait);
            p.at(50);
            wait.Form_Unload();
        }
        p.at(60);
        request.Form_Unload();
        return request.sent();
    } catch (...) {
        p.rethrow();
    }
}

bool Authorizationcls::ShowAuth(const std::shared_ptr<orvane::ext::IInvoice> &objInvoice,
                                const std::shared_ptr<orvane::ext::Ig_ackn> &objAck,
                                orvane::WindowHandle lngHwnd)
{
    orvane::Proc p(u"qorOrvaneUI.Authorizationcls.ShowAuth()"_s);
    try {
        p.at(10);
        AuthorizationShowfrm results;
        results.setInvoice(objInvoice);
        results.setAckObject(objAck);
        p.at(20);
        WindowAPImod::CentreOverOwner(lngHwnd, &results);
        orvane::Ui::instance().showModal(&results);
        p.at(30);
        const bool applied = results.applied();
        results.Form_Unload();
        return applied;
    } catch (...) {
        p.rethrow();
    }
}

void Authorizationcls::RecalcAuths(const std::shared_ptr<orvane::ext::IEnvironment> &objEnv)
{
    orvane::Proc p(u"qorOrvaneUI.Authorizationcls.RecalcAuths()"_s);
    try {
        p.at(10);
        const auto options = orvane::required(orvane::required(objEnv)->Options());
        const auto command = orvane::required(options->dcobject());
        p.at(20);
        QString query = u"Select count(*) as cnt from g_ackn where g_ackn.Ack = .F."_s;
        orvane::Recordset result;
        if (command->Execute(u"wqkd"_s, query, result, {orvane::Value(2)})) {
            p.at(30);
            options->writeinistring(u"Orvane"_s, u"Acknowledgements"_s,
                                    result.value(u"cnt"_s).toText(),
                                    objEnv->data_path() % u"Orvane.ini"_s);
        }
    } catch (...) {
        p.rethrow();
    }
}

} // namespace orvane::authorization
