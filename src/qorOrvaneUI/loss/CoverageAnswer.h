#pragma once

#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/widgets/Ui.h>

#include <QCoreApplication>
#include <QDate>
#include <QString>
#include <QTime>

#include <memory>
#include <optional>
#include <vector>

namespace orvane {
class Proc;
class XmlDocument;
namespace ext {
class IInvoice;
class IRsTable;
} // namespace ext
} // namespace orvane

namespace orvane::loss {

// The shop's answer to the insurer's coverage request: the covered vehicle
// the work is for (one row of the request, chosen by its "A" flag), the
// installation date and time, mobile or in-shop and the work zip, and
// whether the work is accepted. The answer is stored in g_lossack and queued
// in one transaction. Failures report as "qorOrvaneUI.Coveragefrm.<procedure>".
class CoverageAnswer {
    // Its texts are translated as its view's.
    Q_DECLARE_TR_FUNCTIONS(orvane::loss::Coveragefrm)

public:
    // What the user entered beside the grid.
    struct Entries {
        std::optional<QDate> installDate; // none: left for the insurer to set
        bool timeSet = false;
        QTime installTime;
        Qt::CheckState mobile = Qt::PartiallyChecked; // partly: not answered yet
        QString zip;
    };

    void setCoverage(std::shared_ptr<ext::IRsTable> coverage) { coverage_ = std::move(coverage); }
    void setNotice(std::shared_ptr<ext::IRsTable> notice) { notice_ = std::move(notice); }
    void setInvoice(std::shared_ptr<ext::IInvoice> invoice) { invoice_ = std::move(invoice); }
    void release();

    // Reads the request's rows; a single row is chosen at once. Fails as the
    // table object does.
    void load();
    // The request's rows (the grid's record set).
    const Recordset &rows() const { return rows_; }
    // The insurer's warning about the request, empty when there is none.
    QString warning() const;
    bool isSelected(int row) const;
    // Chooses a row, or takes the choice back; at most one row is chosen.
    void toggleRow(int row);
    // The row chosen last (-1: none); the view makes it current before the checks.
    int lastSelected() const;
    // The current row has a vehicle (the vehicle button is offered).
    bool hasVehicle() const;
    // Asks the host's vehicle chooser for the covered vehicle of the order's
    // car and stores its ID in the current row; the chosen car's text, or
    // empty when none was chosen. Fails as the host does, `p` at the step.
    QString chooseVehicle(WindowHandle owner, Proc &p);

    // The checks of the current row and `entries`, told in one box; true when
    // the answer may go.
    bool validData(bool accept, const Entries &entries);
    // The "LossNoticeAcknowledgement" document; false (reported) when it could not be made.
    bool BuildXML(bool accept, const Entries &entries, XmlDocument &doc);
    // Stores and queues the answer; true when it went.
    bool SendXML(bool accept, const Entries &entries);

    bool sent() const { return sent_; }
    QString lossRef() const { return lossRef_; }
    bool declined() const { return declined_; }
    void setDeclined(bool declined) { declined_ = declined; }

private:
    void reportTrapped(const Proc &p) const noexcept;

    std::shared_ptr<ext::IRsTable> coverage_, notice_;
    std::shared_ptr<ext::IInvoice> invoice_;
    Recordset rows_;
    std::vector<bool> selected_;
    QString lossRef_;
    bool sent_ = false;
    bool declined_ = false;
};

} // namespace orvane::loss
