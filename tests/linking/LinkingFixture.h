#pragma once

#include "dispatch/DispatchFixtures.h"
#include "host/HostEnvironment.h"
#include "host/HostInvoice.h"
#include "host/ShopDatabase.h"
#include "qorOrvaneUI/dispatch/ChooseDispatchfrm.h"
#include "qorOrvaneUI/dispatch/Comparersfrm.h"
#include "qorOrvaneUI/dispatch/DispatchLink.h"
#include "runtime/widgets/RecordsetModel.h"
#include "support/DemoShopTest.h"
#include "support/TestHelpers.h"
#include "transport/TableObjects.h"
#include <qorOrvaneUI/dispatch/clsShowDispatch.h>
#include <qorOrvaneUI/external/IInvoice.h>
#include <qorOrvaneUI/external/IOptions.h>

#include <QLabel>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>

#include <gtest/gtest.h>

#include <memory>

using orvane::dispatch::ChooseDispatchfrm;
using orvane::dispatch::clsShowDispatch;
using orvane::dispatch::Comparersfrm;

namespace linkingtest {

using namespace Qt::StringLiterals;
using orvane::Recordset;
using orvane::Value;

// The glass sample as the network sends it for `number`, billed to the
// insurer NSC07 with a 10% glass discount: another bill-to party and discount
// than the demo orders have, and an address that fills its field.
inline QString dispatchXml(const QString &number)
{
    return dispatchtest::sample(u"glass-replacement.xml"_s)
        .replace(u"D-2026-118734"_s, number)
        .replace(u"<InsurerID>NWI<"_s, u"<InsurerID>NSC07<"_s)
        .replace(u"0.35"_s, u"0.10"_s)
        .replace(u"Apt 3B<"_s, u"Apt 3B, Building C<"_s);
}

// The demo shop with its staging tables, the dispatch linking flow and its views.
class LinkingTest : public orvane::test::FlowTest {
protected:
    void SetUp() override
    {
        FlowTest::SetUp();
        orvane::transport::Clsg_trans staging; // creates the staging tables
        staging.setEnv(host_->env());
    }

    // Stores a received dispatch, linked as given.
    void addDispatch(const QString &recid, int daskid = 0, int daskloc = 0,
                     const QString &rectype = u"DISPATCH"_s, const QString &xml = QString())
    {
        host_->database().exec(u"INSERT INTO g_trans (guid, rectype, recid, xml, processed, "
                               u"daskid, daskloc) VALUES (?, ?, ?, ?, ?, ?, ?)"_s,
                               {recid.left(32), rectype, recid,
                                xml.isNull() ? dispatchXml(recid) : xml, false, daskid, daskloc});
    }

    // The links stored for the dispatches "recid|recid|...": "daskid/daskloc" each, in turn.
    std::string links(const QString &recids)
    {
        QStringList out;
        for (const QString &recid : recids.split(u'|')) {
            QSqlQuery q = host_->database().exec(
                u"SELECT daskid, daskloc FROM g_trans WHERE recid = ?"_s, {recid});
            out << (q.next() ? u"%1/%2"_s.arg(q.value(0).toInt()).arg(q.value(1).toInt())
                             : u"none"_s);
        }
        return out.join(u' ').toStdString();
    }

    // An order as stored now.
    Recordset stored(int idnumber) { return host_->openOrder(idnumber)->itemsrecordset(); }

    // Expects fields of the stored order to read as given: "field=text|...".
    void expectStored(int idnumber, const QString &fields)
    {
        const Recordset row = stored(idnumber);
        for (const QString &f : fields.split(u'|'))
            EXPECT_EQ(row.value(f.section(u'=', 0, 0)).toText(), f.section(u'=', 1))
                << f.toStdString();
    }

    // Expects the one box shown so far.
    void expectBox(const QString &text, const QString &title, orvane::MsgButtons buttons)
    {
        ASSERT_EQ(ui_->boxes().size(), 1u);
        EXPECT_EQ(ui_->boxes()[0].text, text);
        EXPECT_EQ(ui_->boxes()[0].title, title);
        EXPECT_EQ(ui_->boxes()[0].buttons, buttons);
    }

    // Attaches the dispatch through the linking flow alone, as Attach on its
    // selected row does; true when it was linked.
    static bool attach(std::shared_ptr<orvane::ext::IInvoice> order, const QString &recid)
    {
        orvane::dispatch::DispatchLink flow;
        flow.setInvoice(std::move(order));
        int found = 0;
        flow.find(recid, [&found](const Recordset &rows) { found = rows.recordCount(); });
        EXPECT_EQ(found, 1) << recid.toStdString();
        return flow.attach();
    }

    static QStringList listed(ChooseDispatchfrm *view)
    {
        QStringList out;
        orvane::RecordsetModel *model = view->dispatchModel();
        for (int r = 0; r < model->rowCount(); ++r)
            out << model->index(r, 0).data().toString();
        return out;
    }

    // Selects the dispatch in the view's grid; false when it is not listed.
    static bool select(ChooseDispatchfrm *view, const QString &recid)
    {
        const int row = int(listed(view).indexOf(recid));
        if (row >= 0)
            view->grdDispatches->setCurrentIndex(view->dispatchModel()->index(row, 0));
        return row >= 0;
    }

    // What the comparison offered: rows as "caption=new value", taken or kept
    // as they came ticked; "caption=<length of the new value> <note>" for each
    // row with a note; the label naming both sides.
    struct Offered {
        QStringList taken, kept, notes;
        QString named;
    };

    // Plays the user in the comparison: OK or Cancel on the rows as they came ticked.
    void compareScript(bool ok, Offered *offered = nullptr)
    {
        on<Comparersfrm>([ok, offered](Comparersfrm *view) {
            for (Recordset r = view->rsCompare.clone(); offered && !r.eof(); r.moveNext()) {
                const QString caption = r.value(u"FieldName"_s).toText();
                const QString value = r.value(u"NewValue"_s).toText();
                (r.value(u"KeepValue"_s).toBool() ? offered->kept : offered->taken)
                    << caption % u"="_s % value;
                if (const QString note = r.value(u"Note"_s).toText(); !note.isEmpty())
                    offered->notes
                        << caption % u"="_s % QString::number(value.size()) % u" "_s % note;
            }
            if (offered)
                offered->named = view->lblOrders->text();
            view->cmdAction[ok ? 0 : 1]->click();
        });
    }
};

} // namespace linkingtest
