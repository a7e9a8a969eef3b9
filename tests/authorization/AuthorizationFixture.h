#pragma once

#include "host/HostEnvironment.h"
#include "host/HostInvoice.h"
#include "qorOrvaneUI/authorization/AuthorizationRequest.h"
#include "qorOrvaneUI/authorization/AuthorizationText.h"
#include "qorOrvaneUI/authorization/Authorizationfrm.h"
#include "support/DemoShopTest.h"
#include "support/TestHelpers.h"
#include "transport/TableObjects.h"
#include <qorOrvaneUI/external/ILineItems.h>

#include <gtest/gtest.h>

#include <memory>

using orvane::authorization::Authorizationfrm;

namespace authtest {

namespace authorization = orvane::authorization;
using namespace Qt::StringLiterals;
using orvane::Recordset;
using orvane::Value;
using orvane::authorization::AuthorizationRequest;
using Values = std::vector<std::pair<QString, Value>>;

// One order line as the shop entered it.
struct Line {
    QString mfrPart, part, kind, mfr;
    double net = 0, kit = 0, labor = 0;
    bool discounted = false;
    int qty = 1;
    QString conf = {};
};

// The named fields of the current row as "a|b|c", a NULL as nothing.
inline QString fieldsOf(const Recordset &rs, const QString &names)
{
    QStringList out;
    for (const QString &name : names.split(u'|')) {
        const Value v = rs.value(name);
        out << (v.isNull() ? QString() : v.toText());
    }
    return out.join(u'|');
}

// Sets fields of the current row and saves it.
inline void setFields(Recordset &rs, const Values &values)
{
    for (const auto &[field, value] : values)
        rs.setValue(field, value);
    rs.update();
}

// A dispatch accepting the given kinds: {name, online enabled}.
inline QString dispatchXml(const std::vector<std::pair<QString, bool>> &kinds = {})
{
    QString auths;
    for (const auto &[name, online] : kinds)
        auths += u"<AuthorizationType><Type>0</Type><Name>"_s % name % u"</Name><OnlineEnabled>"_s %
                 (online ? u"Y"_s : u"N"_s) % u"</OnlineEnabled></AuthorizationType>"_s;
    return u"<DispatchAssignment><Header><OriginationPID>INS-PID</OriginationPID>"
           u"<DestinationPID>SHOP-PID</DestinationPID><ReceivingCompanyID>RC-9"
           u"</ReceivingCompanyID></Header><Dispatch><DispatchNumber>D-4410</DispatchNumber>"
           u"</Dispatch><AuthorizationDetails>"_s %
           auths % u"</AuthorizationDetails></DispatchAssignment>"_s;
}

// The demo shop (orders 1 to 4, each with a windshield, a moulding, a kit and
// labour) with its staging tables.
class AuthorizationTest : public orvane::test::FlowTest {
protected:
    // A new order holding these lines (in memory only).
    std::shared_ptr<orvane::ext::IInvoice> orderWith(const std::vector<Line> &lines)
    {
        auto order = host_->newOrder();
        Recordset rs = order->getlineitems()->itemsrecordset();
        for (const Line &l : lines) {
            rs.addNew();
            setFields(rs, {{u"mfr_part"_s, l.mfrPart},
                           {u"part"_s, l.part},
                           {u"typeofpart"_s, l.kind},
                           {u"mfr"_s, l.mfr},
                           {u"net"_s, l.net},
                           {u"kit"_s, l.kit},
                           {u"labor"_s, l.labor},
                           {u"discounted"_s, l.discounted},
                           {u"quantity"_s, l.qty},
                           {u"conf"_s, l.conf}});
        }
        return order;
    }

    // The authorization view for the order, filled as on its first activation.
    std::unique_ptr<Authorizationfrm> viewFor(std::shared_ptr<orvane::ext::IInvoice> invoice,
                                              const QString &dispatch = dispatchXml())
    {
        auto view = std::make_unique<Authorizationfrm>();
        view->setInvoice(std::move(invoice));
        view->setDispatch(orvane::test::parsedXml(dispatch));
        view->Form_Activate();
        return view;
    }

    // The request for the order, filled as the view fills it.
    std::unique_ptr<AuthorizationRequest> requestFor(std::shared_ptr<orvane::ext::IInvoice> invoice,
                                                     const QString &dispatch = dispatchXml())
    {
        auto request = std::make_unique<AuthorizationRequest>();
        request->setInvoice(std::move(invoice));
        request->setDispatch(orvane::test::parsedXml(dispatch));
        request->load();
        return request;
    }

    // The request's lines, hidden ones included, positioned on line `index` (0-based).
    static Recordset allLines(AuthorizationRequest &request, int index = 0)
    {
        Recordset all = request.lines().clone();
        all.setFilter(QString());
        all.moveFirst();
        all.move(index);
        return all;
    }

    // Sets fields of line `index` of the request.
    static void edit(AuthorizationRequest &request, int index, const Values &values)
    {
        Recordset line = allLines(request, index);
        setFields(line, values);
    }

    // The same with the fields written "field=value|field=value", the values as text.
    static void edit(AuthorizationRequest &request, int index, const QString &fields)
    {
        Values values;
        for (const QString &f : fields.split(u'|'))
            values.emplace_back(f.section(u'=', 0, 0), Value(f.section(u'=', 1)));
        edit(request, index, values);
    }
};

} // namespace authtest
