#include "qorOrvaneUI/authorization/AuthorizationAnswer.h"

#include "qorOrvaneUI/authorization/AuthorizationText.h"
#include "qorOrvaneUI/core/modOrvane.h"
#include "runtime/vb.h"
#include <qorOrvaneUI/external/IInvoice.h>
#include <qorOrvaneUI/external/ILineItems.h>
#include <qorOrvaneUI/external/Ig_ackn.h>
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/VbError.h>

using namespace Qt::StringLiterals;
using orvane::authorization::numberOf;
using orvane::authorization::textOf;

namespace orvane::authorization {

namespace {

QString fieldText(const Recordset &row, const QString &field)
{
    return modOrvane::FieldExists(row, field) ? vb::Trim(textOf(row, field)) : QString();
}

double fieldNumber(const Recordset &row, const QString &field)
{
    return modOrvane::FieldExists(row, field) ? numberOf(row, field) : 0.0;
}

// A request line the network has not answered keeps the row the shop stored
// when it sent the request: no answer date and nothing of an answer in it.
bool isAnswered(const Recordset &row)
{
    if (modOrvane::FieldExists(row, u"Respdate"_s)) {
        const Value date = row.value(u"Respdate"_s);
        if (!date.isNull() && !date.isEmpty())
            return true;
    }
    for (const QString &field : {u"ErrorCode"_s, u"ConfCode"_s, u"AuthPart"_s})
        if (!fieldText(row, field).isEmpty())
            return true;
    return fieldNumber(row, u"accPrice"_s) != 0 || fieldNumber(row, u"accQty"_s) != 0;
}

} // namespace

void AuthorizationAnswer::load()
{
    const Recordset answers = required(ackn_)->itemsrecordset();
    const size_t rows = size_t(std::max(0, answers.recordCount()));
    accept_.assign(rows, true);
    answered_.assign(rows, true);
    declined_.assign(rows, false);
    status_.assign(rows, QString());
    Recordset row = answers.clone();
    for (size_t i = 0; i < rows && !row.eof(); ++i, row.moveNext()) {
        const QString decision = fieldText(row, u"Decision"_s);
        answered_[i] = isAnswered(row);
        declined_[i] = decision.compare(QString::fromUtf16(Declined), Qt::CaseInsensitive) == 0;
        accept_[i] = answered_[i] && !declined_[i];
        if (!answered_[i])
            status_[i] = tr("Not answered");
        else if (declined_[i])
            status_[i] = tr("Declined");
        else if (decision.compare(QString::fromUtf16(Applied), Qt::CaseInsensitive) == 0)
            status_[i] = tr("Applied");
    }
}

bool AuthorizationAnswer::toggle(int row)
{
    if (row < 0 || size_t(row) >= accept_.size() || !takeable(size_t(row)))
        return false;
    accept_[size_t(row)] = !accept_[size_t(row)];
    return true;
}

void AuthorizationAnswer::release()
{
    ackn_.reset();
    invoice_.reset();
}

void AuthorizationAnswer::apply(Proc &p)
{
    // What was written, so that a line that cannot take its answer takes
    // the lines written before it back with it.
    struct Written {
        Value bookmark;
        QString field;
        Value before;
    };
    std::vector<Written> written;
    Recordset lines;
    try {
        p.at(10);
        lines = required(required(invoice_)->getlineitems())->itemsrecordset().clone();
        Recordset answers = required(ackn_)->itemsrecordset();
        auto write = [&](const QString &field, const Value &value) {
            written.push_back({lines.bookmark(), field, lines.value(field)});
            lines.setValue(field, value);
            lines.update();
        };
        for (size_t i = 1; i <= accept_.size(); ++i) {
            // A line the network did not answer, or one the shop declined
            // before, never reaches the order.
            if (!accept_[i - 1] || !takeable(i - 1))
                continue;
            p.at(20);
            answers.moveFirst();
            answers.move(int(i) - 1);
            const QString errorCode = vb::Trim(textOf(answers, u"ErrorCode"_s));
            if (errorCode != u"0"_s && !errorCode.isEmpty())
                continue;
            p.at(30);
            if (lines.recordCount() == 0)
                continue;
            lines.moveFirst();
            lines.find(u"mfr_part='"_s % modOrvane::SQLSafeText(answers.value(u"part"_s)) % u"'"_s);
            if (lines.eof())
                continue;
            p.at(40);
            const Value price = answers.value(u"accPrice"_s);
            if (!price.isNull() && price.toDouble() != 0) {
                QString target = u"net"_s;
                for (const QString &field : {u"net"_s, u"kit"_s, u"Labor"_s}) {
                    if (numberOf(lines, field) != 0) {
                        target = field;
                        break;
                    }
                }
                write(target, price);
            }
            p.at(50);
            const Value qty = answers.value(u"accQty"_s);
            if (!qty.isNull() && qty.toDouble() != 0)
                write(u"quantity"_s, qty);
            p.at(60);
            if (modOrvane::FieldExists(lines, u"Conf"_s))
                write(u"Conf"_s, textOf(answers, u"ConfCode"_s));
        }
        p.at(65);
        // Each answered line remembers what the shop did with it, so showing
        // the answer again does not offer a declined line once more.
        if (modOrvane::FieldExists(answers, u"Decision"_s)) {
            bool recorded = false;
            answers.moveFirst();
            for (size_t i = 0; i < accept_.size() && !answers.eof(); ++i, answers.moveNext()) {
                if (!takeable(i))
                    continue;
                const QString errorCode = fieldText(answers, u"ErrorCode"_s);
                if (errorCode != u"0"_s && !errorCode.isEmpty())
                    continue;
                const QString decision = QString::fromUtf16(accept_[i] ? Applied : Declined);
                if (fieldText(answers, u"Decision"_s) == decision)
                    continue;
                answers.setValue(u"Decision"_s, decision);
                answers.update();
                recorded = true;
            }
            if (recorded)
                ackn_->Update();
        }
        p.at(70);
        invoice_->calculateinvoice(false, true);
    } catch (...) {
        // Take back what was written, latest first; the order stays as it was.
        for (auto it = written.rbegin(); it != written.rend(); ++it) {
            try {
                lines.setBookmark(it->bookmark);
                lines.setValue(it->field, it->before);
                lines.update();
            } catch (...) {
            }
        }
        throw;
    }
}

} // namespace orvane::authorization
