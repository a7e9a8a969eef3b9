#pragma once

#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/XmlDocument.h>

#include <QCoreApplication>
#include <QList>
#include <QPair>
#include <QStringList>
#include <QVariant>

#include <memory>

namespace orvane {
class Proc;
namespace ext {
class IInvoice;
} // namespace ext
} // namespace orvane

namespace orvane::authorization {

// The values a cell offers: the value stored and the text shown.
using Choices = QList<QPair<QVariant, QString>>;

// An authorization request: one line per line of the open order, with the
// kind of authorization each would need (from the order line and the kinds
// the insurer's dispatch accepts), for the user to tick and correct. Lines
// that need no request are filtered out unless all are shown. SendAuth checks
// nothing: ValidData does. Failures report under
// "qorOrvaneUI.Authorizationfrm.<procedure>", the names the host knows.
class AuthorizationRequest {
    // Its texts are translated as its view's.
    Q_DECLARE_TR_FUNCTIONS(orvane::authorization::Authorizationfrm)

public:
    void setInvoice(std::shared_ptr<ext::IInvoice> invoice) { invoice_ = std::move(invoice); }
    const std::shared_ptr<ext::IInvoice> &invoice() const { return invoice_; }
    void setDispatch(const XmlDocument &dispatch) { dispatch_ = dispatch; }
    void release();

    // Reads the dispatch's kinds and fills the lines (CreateRS, SetColumns,
    // PopulateRS); false (reported) when the dispatch could not be read.
    bool load();
    void CreateRS();
    void SetColumns();
    void PopulateRS();
    // Reasons offered for, and the manual flag of, the current line, from the
    // kind the type look-up stands on.
    void SetReason();

    // The request's lines (the grid's record set).
    Recordset &lines() { return lines_; }
    // The kinds' names, in the kind table's order (the drop-down's list).
    const QStringList &typeNames() const { return typeNames_; }
    // The parts a hardware line may belong to, an empty one first.
    const Choices &relatedParts() const { return relatedParts_; }
    // The reasons of the kind SetReason last looked at.
    const Choices &reasons() const { return reasons_; }
    // The reasons a kind of authorization takes (its code), stored text and shown text.
    static Choices reasonsFor(const QString &typeCode);

    // Searches the type look-up from its first row; true when found.
    bool findType(const QString &criteria);
    // Every line, or only those that need a request.
    void showAll(bool all);
    // The current line's kind was edited: its code and reasons follow the
    // name; false (the name cleared) when no kind has that name.
    bool typeEdited();
    // The current line's reason was edited: its code follows the text, or
    // the text is cleared when it is no reason.
    void reasonEdited();

    bool ValidData();
    // Fills `doc` with the request for the ticked lines; false (after
    // reporting) when it could not be built whole.
    bool CreateXML(XmlDocument &doc, const QString &sessionId);
    // Records the request's lines and queues it, together or not at all;
    // true when it went.
    bool SendAuth();

    bool sent() const { return sent_; }
    QString session() const { return session_; }

private:
    void reportTrapped(const Proc &p) const noexcept;

    std::shared_ptr<ext::IInvoice> invoice_;
    XmlDocument dispatch_;
    Recordset lines_;
    Recordset types_;         // the kinds
    Recordset typeLookup_;    // a clone of them for searching
    Recordset dispatchAuths_; // the kinds the insurer's dispatch accepts
    QStringList typeNames_;
    Choices relatedParts_;
    Choices reasons_;
    QString session_;
    bool sent_ = false;
};

} // namespace orvane::authorization
