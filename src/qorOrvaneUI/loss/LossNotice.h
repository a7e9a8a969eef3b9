#pragma once

#include "qorOrvaneUI/loss/IdLists.h"
#include <qorOrvaneUI/runtime/Recordset.h>
#include <qorOrvaneUI/runtime/VbError.h>
#include <qorOrvaneUI/widgets/Ui.h>

#include <QCoreApplication>
#include <QDate>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace orvane {
class XmlDocument;
namespace ext {
class IInvoice;
class IRsTable;
} // namespace ext
} // namespace orvane

namespace orvane::loss {

// The notice of loss for one order, without its window: the lists it is
// entered from, the damage lines, the check before it goes out, and saving,
// building and queueing it. Failures are reported under the view's name
// ("qorOrvaneUI.eNOLfrm.SaveToTable" and so on) through `reporter`, or
// straight to the order's error class when no view is attached.
class LossNotice {
    Q_DECLARE_TR_FUNCTIONS(orvane::loss::eNOLfrm)
public:
    // An entry's text as stored: trimmed, and without the mask's separators
    // for a masked entry; `slots` is how many digits its mask takes (0: none).
    struct Typed {
        QString text;
        int slots = 0;
        bool blank() const { return text.isEmpty(); }
        // Some but not all of its digits typed.
        bool shortNumber() const { return slots > 0 && !text.isEmpty() && text.size() < slots; }
    };
    // What the view's entries hold when a rule runs.
    struct Form {
        QString pid, oid, inscoid, insurerId, policyState, lossId, vehicleNumber, subName, subData,
            contact;
        Typed soldFirst, soldLast, policy, homeArea, homePhone, zip, workArea, workPhone, agentArea,
            agentPhone;
        std::optional<QDate> lossDate; // none when the picker is left empty
        // The chosen entries of the lists; none when nothing is chosen.
        std::optional<QString> owner, vehicleSource, vehicleType;
        std::optional<qint64> cause; // the loss code
        Qt::CheckState glassOnly = Qt::PartiallyChecked, bodilyInjury = Qt::PartiallyChecked;
    };
    // A damage line as the user entered it.
    struct DamageEntry {
        std::optional<QString> opening; // none when no opening type is chosen
        QString quantity, position, location, side;
        Qt::CheckState repairable = Qt::PartiallyChecked;
        bool repairableAsked = true; // only a windshield asks
    };
    // What the chosen cause asks for about subrogation.
    struct Subrogation {
        bool required = false;
        QString nameCaption, dataCaption, explanation;
    };
    // An identifier and the name shown beside it, each when found.
    struct IdFill {
        std::optional<QString> id, name;
    };

    void setInvoice(std::shared_ptr<ext::IInvoice> invoice) { invoice_ = std::move(invoice); }
    const std::shared_ptr<ext::IInvoice> &invoice() const { return invoice_; }
    // Where failures are reported; by default the order's error class.
    std::function<void(const Proc &)> reporter;

    // The identifier of `kind` when its table holds exactly one candidate
    // (the retail PID also from the order's shop). `pid` and `oid` are the
    // retail and network PIDs entered so far.
    IdFill fillIn(IdKind kind, const QString &pid, const QString &oid);
    // The identifier and name of `kind` from the list row the user chose.
    static std::pair<QString, QString> chosenId(IdKind kind, const Recordset &row);

    // The notice table's columns (no rows), to fit the entries to; closed
    // (reported) when the table could not be read.
    Recordset noticeColumns();
    // Lets the user choose the order's vehicle in the host's chooser over
    // `owner` and stores it on the order; true when one was chosen.
    bool Getvehicle(WindowHandle owner);

    // Loads the causes of loss; their descriptions and loss codes in list order.
    std::vector<std::pair<QString, qint64>> SetCauseofLoss();
    // Loads the opening types (their names in list order) and starts an empty
    // set of damage lines.
    QStringList FillDamageCode();
    // Loads the position, location and side lists; their names in list order.
    std::array<QStringList, 3> FillNagsRS();
    // What the cause with `code` asks for; none when there is no such cause.
    std::optional<Subrogation> subrogation(qint64 code);

    Recordset causeTable() const { return rsCause_; }
    Recordset damageLines() const { return rsDamage_; }
    // Adds the line after checking it (the user is told what is wrong); true
    // when it was added.
    bool cmdAdd_Click(const DamageEntry &entry);

    // Tells the user what the notice still lacks; true when nothing.
    bool validdata(const Form &form);
    // Writes the notice row (g_enol) and one g_enolline row per damage line;
    // hands back both table objects on what was written. The lines are saved
    // together, and a notice whose lines could not be saved is taken back.
    void SaveToTable(const Form &form, std::shared_ptr<ext::IRsTable> &notice,
                     std::shared_ptr<ext::IRsTable> &lines);
    // The "LossNotice" document of the saved rows; false (reported) when it
    // could not be built.
    bool CreateXML(const std::shared_ptr<ext::IRsTable> &notice,
                   const std::shared_ptr<ext::IRsTable> &lines, XmlDocument &doc);
    // Saves, builds and queues the notice in one write, then raises the send
    // flag; hands back the notice table and its guid. False (reported, nothing
    // kept) when any of it failed.
    bool BuildXML(const Form &form, std::shared_ptr<ext::IRsTable> &notice, QString &guid);

    // "@@@-@@@-@@@@" laid over the first ten characters from the right; empty
    // stays empty.
    static QString telephoneForm(const QString &phone);
    // The leading number of the vehicle id from its third character on.
    static QString vehicleIdNumber(const QString &vehicleId);
    // The company card of an insurance-company row: each part that is not
    // empty on its own line.
    static QString companyCard(const Recordset &row);

private:
    Proc proc(const QString &procedure) const;
    void reportTrapped(const Proc &p) const noexcept;
    bool findCause(qint64 code);

    std::shared_ptr<ext::IInvoice> invoice_;
    Recordset rsCause_, rsOpening_, rsDamage_;
    std::array<Recordset, 3> rsNags_; // position, location, side
};

} // namespace orvane::loss
