#pragma once

#include "qorOrvaneUI/core/LibraryView.h"
#include "qorOrvaneUI/core/widgets/DatePicker.h"
#include "qorOrvaneUI/loss/LossNotice.h"
#include <qorOrvaneUI/runtime/Recordset.h>

#include <array>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace orvane {
class RecordsetModel;
namespace loss {
class CauseOfLossBox;
class DamageLinesBox;
} // namespace loss
namespace ui {
class EntryTyping;
}
class XmlDocument;
namespace ext {
class IAgentControl;
class IInvoice;
class IRsTable;
} // namespace ext
} // namespace orvane

namespace orvane::loss {

// "Claim Launch": the notice of loss for one order. The customer, agent,
// vehicle and insurance entries edit the order's record; the four network
// identifiers are filled in from the ID tables and can be picked from lists;
// the cause of loss and the damaged openings are entered here and checked by
// validdata before the notice goes out.
class eNOLfrm : public orvane::ui::LibraryView {
    Q_OBJECT
    using IdKind = orvane::loss::IdKind;
    using LossNotice = orvane::loss::LossNotice;

public:
    explicit eNOLfrm(QWidget *parent = nullptr);
    ~eNOLfrm() override;

    // --- identifiers --------------------------------------------------------------
    std::array<QLabel *, 13> lbleNOL{};
    QLineEdit *txtPID, *txtOID, *txtInsCOID, *txtInsuranceID;
    QLabel *lblPIDName, *lblOID, *lblInsCOID, *lblInsuranceID;
    QPushButton *cmdPIDList, *cmdNetID, *cmdCompanyID, *cmdInsuranceID;

    // --- vehicle, insurance and customer (indexes as the control groups number them)
    QGroupBox *fraVehicle, *fraAgent, *fraCustomer;
    QComboBox *cboOwnership, *cboVehicleType, *cboVehicleSource;
    QLineEdit *txtVehicleNumber;
    std::array<QLineEdit *, 6> txtCar{};
    QPushButton *cmdVehicle;
    QLineEdit *txtLossIDNumber, *txtPolicyState;
    std::array<QLineEdit *, 18> txtAgent{};  // 0, 10, 17
    std::array<QLineEdit *, 4> txtAgents{};  // masked: 1, 3
    std::array<QLineEdit *, 16> txtSoldTo{}; // 10, 11, 13, 14, 15
    std::array<QLineEdit *, 6> txtSold_To{}; // masked: 0, 1, 3, 4, 5
    std::vector<QLabel *> lbledit;
    QWidget *qorAgent = nullptr; // the host's agent entry, when it has one
    ui::dtePicker *dteLossDate;

    // --- cause of loss and damage lines --------------------------------------------
    QComboBox *cboCauseofLoss;
    QWidget *szrSubrogation;
    QLineEdit *txtsubName, *txtSubdata, *txtContactName, *txtQuantity;
    QCheckBox *chkBodilyInjury, *chkGlassDamage, *chkRepairable;
    QComboBox *cboOpeningType, *cboPos, *cboLocation, *cboSide;
    QPushButton *cmdAdd, *cmdDelete;
    QTableView *grdDamage;
    std::array<QPushButton *, 2> cmdAction{};

    void setInvoice(std::shared_ptr<orvane::ext::IInvoice> invoice);
    std::shared_ptr<orvane::ext::IInvoice> invoice() const { return invoice_; }
    orvane::Recordset causeTable() const { return notice_.causeTable(); }
    orvane::Recordset damageLines() const { return notice_.damageLines(); }
    orvane::RecordsetModel *damageModel() const;

    void Form_Load();
    void Form_Activate();
    void Form_Unload();

    void FillInOriginationPID() { fillInId(IdKind::Retail); }
    void FillInNetworkID() { fillInId(IdKind::Network); }
    void FillInINSCOID() { fillInId(IdKind::Company); }
    void FillInsuranceID() { fillInId(IdKind::Insurer); }
    void cmdPIDList_Click() { pickId(IdKind::Retail); }
    void cmdNetID_Click() { pickId(IdKind::Network); }
    void cmdCompanyID_Click() { pickId(IdKind::Company); }
    void cmdInsuranceID_Click() { pickId(IdKind::Insurer); }
    void ResetControls();
    void Getvehicle();

    void SetCauseofLoss();
    void FillDamageCode();
    void FillNagsRS();
    void cboCauseofLoss_Click();
    void cboOpeningType_Click();
    void chkBodilyInjury_Click();
    void cmdAdd_Click();
    void cmdDelete_Click();

    bool validdata() { return notice_.validdata(form()); }
    void cmdAction_Click(int index);
    // The notice's rules on what the entries hold now (see LossNotice).
    void SaveToTable(std::shared_ptr<orvane::ext::IRsTable> &notice,
                     std::shared_ptr<orvane::ext::IRsTable> &lines);
    bool CreateXML(const std::shared_ptr<orvane::ext::IRsTable> &notice,
                   const std::shared_ptr<orvane::ext::IRsTable> &lines, orvane::XmlDocument &doc);
    // Saves, builds and queues the notice, then waits for the network. The
    // view stays open only when the notice came back with an error the user
    // has to resolve.
    void BuildXML();
    // The wait view's result of the last submission (see eNOLwaitfrm).
    int lastWaitResult() const { return lastWaitResult_; }
    // A notice was stored and queued while the view was open.
    bool sent() const { return sent_; }

    static QString telephoneForm(const QString &phone) { return LossNotice::telephoneForm(phone); }
    static QString vehicleIdNumber(const QString &vehicleId)
    {
        return LossNotice::vehicleIdNumber(vehicleId);
    }
    static QString companyCard(const orvane::Recordset &row)
    {
        return LossNotice::companyCard(row);
    }

protected:
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;
    // Escape cancels as the Cancel button does.
    void reject() override
    {
        commitPendingEntries();
        cmdAction_Click(1);
    }
    void commitPendingEntry(QWidget *focused) override;

private:
    void buildLayout();
    void loadBoundEntries();
    // Each entry takes no more than the column it is stored in holds.
    void limitNoticeEntries();
    void writeBound(QLineEdit *entry);
    void dteLossDate_LostFocus();
    void agentChosen(const orvane::Recordset &agent);
    // Fills in the identifier when its table has a single candidate.
    void fillInId(IdKind kind);
    // Lets the user pick the identifier from its list.
    void pickId(IdKind kind);
    LossNotice::Form form() const;

    std::shared_ptr<orvane::ext::IInvoice> invoice_;
    std::shared_ptr<orvane::ext::IAgentControl> agentControl_;
    orvane::ui::EntryTyping *typing_ = nullptr;
    LossNotice notice_;
    std::array<std::pair<QLineEdit *, QLabel *>, 4> ids_{}; // entry and name, by IdKind
    orvane::loss::CauseOfLossBox *causeBox_ = nullptr;
    orvane::loss::DamageLinesBox *damageBox_ = nullptr;
    bool activated_ = false;
    bool loaded_ = false;
    int lastWaitResult_ = 0;
    bool sent_ = false;
};

} // namespace orvane::loss
