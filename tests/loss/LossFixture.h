#pragma once

#include "host/HostEnvironment.h"
#include "host/HostInvoice.h"
#include "qorOrvaneUI/loss/eNOLfrm.h"
#include "support/DemoShopTest.h"
#include "transport/TableObjects.h"
#include <qorOrvaneUI/external/IPidList.h>
#include <qorOrvaneUI/external/IRsTable.h>
#include <qorOrvaneUI/external/ITableObject.h>
#include <qorOrvaneUI/external/Ig_trans.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/loss/eNOLcls.h>
#include <qorOrvaneUI/runtime/ObjectRegistry.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

#include <functional>
#include <map>
#include <memory>

using orvane::loss::eNOLcls;
using orvane::loss::eNOLfrm;

namespace losstest {

using namespace Qt::StringLiterals;
using orvane::Recordset;
using orvane::Value;
namespace ext = orvane::ext;
using Rows = std::vector<std::map<QString, Value>>;

inline const QString CRLF = u"\r\n"_s;

// One row written "field=value|field=value"; the values go in as text.
inline std::map<QString, Value> row(const QString &fields)
{
    std::map<QString, Value> out;
    for (const QString &f : fields.split(u'|'))
        out.insert_or_assign(f.section(u'=', 0, 0), Value(f.section(u'=', 1)));
    return out;
}

inline void choose(QComboBox *c, const QString &text)
{
    c->setCurrentIndex(c->findText(text));
    ASSERT_EQ(c->currentText(), text);
}

inline void addLine(eNOLfrm *view, const QString &opening, const QString &qty)
{
    choose(view->cboOpeningType, opening);
    view->txtQuantity->setText(qty);
    view->chkRepairable->setCheckState(Qt::Unchecked);
    view->cmdAdd->click();
}

// Everything a notice needs beyond what order 2 holds, with two damage lines.
inline void fillValid(eNOLfrm *view)
{
    view->txtPID->setText(u"RPID00417"_s);
    view->txtOID->setText(u"NET1"_s);
    view->txtInsCOID->setText(u"IC1"_s);
    view->txtInsuranceID->setText(u"CMI01"_s);
    view->txtPolicyState->setText(u"OR"_s);
    view->txtContactName->setText(u"Pat Rivera"_s);
    view->txtLossIDNumber->setText(u"CLM 402"_s);
    choose(view->cboVehicleSource, u"NAGS"_s);
    choose(view->cboVehicleType, u"RV"_s);
    choose(view->cboOwnership, u"Owner"_s);
    choose(view->cboCauseofLoss, u"Tree Branch"_s);
    view->chkGlassDamage->setCheckState(Qt::Checked);
    view->chkBodilyInjury->setCheckState(Qt::Unchecked);
    addLine(view, u"Roof"_s, u"1"_s);
    addLine(view, u"Windshield"_s, u"2"_s);
}

// Plays the coverage answer view: picks the first row and accepts.
template <class Coverage> void answerCoverage(Coverage *c)
{
    if (!c->isSelected(0))
        c->toggleRow(0);
    c->dteInstallDate->setValue(QDateTime(QDate(2026, 12, 9), QTime()));
    c->chkInstallTime->setChecked(true);
    c->txtInstallTime->setTime(QTime(9, 30));
    c->chkMobile->setCheckState(Qt::Checked);
    c->txtZip->setText(u"97205"_s);
    c->cmdBuild->click();
}

// The message's lines after its head, the trailing line break dropped.
inline QStringList lines(const QString &text, const QString &head)
{
    EXPECT_TRUE(text.startsWith(head)) << text.toStdString();
    QStringList out = text.mid(head.size()).split(CRLF);
    EXPECT_EQ(out.takeLast(), QString());
    return out;
}

// The demo shop; order 2 is an invoice billed to party 1, shop 1 with the
// participant ID RPID00417.
class LossTest : public orvane::test::FlowTest {
protected:
    // Adds rows to one of the ID lists.
    void addRows(const QString &table, const Rows &rows)
    {
        orvane::transport::RsTable list(table);
        list.setEnv(host_->env());
        list.get_rs(u"id = 0 and id <> 0"_s);
        append(list, rows);
    }

    // Adds rows to one of the notice tables.
    void addTableRows(const char16_t *progId, const Rows &rows)
    {
        append(*table(progId, u"id = 0 and id <> 0"_s), rows);
    }

    std::shared_ptr<ext::IRsTable> table(const char16_t *progId, const QString &filter = {})
    {
        auto t = orvane::CreateObject<ext::IRsTable>(QString::fromUtf16(progId));
        t->setEnv(host_->env());
        t->get_rs(filter);
        return t;
    }

    int count(const char16_t *progId, const QString &filter = {})
    {
        return table(progId, filter)->itemsrecordset().recordCount();
    }

    // The queued documents of one kind.
    Recordset trans(const QString &rectype)
    {
        auto t = orvane::CreateObject<ext::Ig_trans>(QString::fromUtf16(ext::progid::g_trans));
        t->setEnv(host_->env());
        t->get_g_trans(u"g_trans.rectype = '"_s % rectype % u"'"_s);
        return t->itemsrecordset();
    }

    // Opens the loss notice over the order and plays the user in it.
    void openForm(std::shared_ptr<orvane::host::HostInvoice> order,
                  std::function<void(eNOLfrm *)> play)
    {
        order_ = std::move(order);
        on<eNOLfrm>(std::move(play));
        sent_ = eNOLcls().SendeNOL(order_, 0);
    }

    // Errors the view reported through the host (shown as boxes with the error's number).
    QStringList reportedErrors() { return boxTexts().filter(QRegularExpression(u"^Error "_s)); }

    std::shared_ptr<orvane::host::HostInvoice> order_;
    bool sent_ = false; // what the last SendeNOL gave back

private:
    static void append(ext::IRsTable &table, const Rows &rows)
    {
        Recordset rs = table.itemsrecordset();
        for (const auto &row : rows) {
            rs.addNew();
            for (const auto &[field, value] : row)
                rs.setValue(field, value);
            rs.update();
        }
        table.Update();
    }
};

} // namespace losstest
