#pragma once

#include "Recordset.h"
#include "core/LibraryView.h"
#include "core/clsProperCase.h"

#include <QDateTime>
#include <QWidget>

#include <array>
#include <memory>
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
class XmlDocument;
namespace ext {
class IAgentControl;
class IInvoice;
class IRsTable;
} // namespace ext
} // namespace orvane

// A date picker whose check box can leave the date empty.
class dtePicker : public QWidget {
    Q_OBJECT
public:
    explicit dtePicker(QWidget *parent = nullptr);

    bool isEmpty() const;
    void clear();
    QDateTime value() const;
    void setValue(const QDateTime &value);

    QCheckBox *chkSet;
    QDateEdit *edit;

Q_SIGNALS:
    // The user left the picker (focus went outside it).
    void left();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTime time_;
    bool dated_ = false; // a date was given since the picker was made
};

// "Claim Launch": the notice of loss for one order. The customer, agent,
// vehicle and insurance entries edit the order's record; the four network
// identifiers are filled in from the ID tables and can be picked from lists;
// the cause of loss and the damaged openings are entered here and checked by
// validdata before the notice goes out.
class eNOLfrm : public orvane::ui::LibraryView {
    Q_OBJECT
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
    dtePicker *dteLossDate;

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
    std::shared_ptr<orvane::ext::IInvoice> invoice() const { return objInvoice_; }
    orvane::Recordset causeTable() const { return rsCause_; }
    orvane::Recordset damageLines() const { return rsDamage_; }
    orvane::RecordsetModel *damageModel() const { return damageModel_; }

    void Form_Load();
    void Form_Activate();
    void Form_Unload();

    void FillInOriginationPID();
    void FillInNetworkID();
    void FillInINSCOID();
    void FillInsuranceID();
    void cmdPIDList_Click();
    void cmdNetID_Click();
    void cmdCompanyID_Click();
    void cmdInsuranceID_Click();
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

    bool validdata();
    void cmdAction_Click(int index);
    // Writes the notice row (g_enol) and one g_enolline row per damage line;
    // hands back both table objects on what was written. The lines are saved
    // together, and a notice whose lines could not be saved is taken back.
    void SaveToTable(std::shared_ptr<orvane::ext::IRsTable> &notice,
                     std::shared_ptr<orvane::ext::IRsTable> &lines);
    // The "LossNotice" document of the saved rows; false (reported) when it
    // could not be built.
    bool CreateXML(const std::shared_ptr<orvane::ext::IRsTable> &notice,
                   const std::shared_ptr<orvane::ext::IRsTable> &lines, orvane::XmlDocument &doc);
    // Saves, builds and queues the notice, then waits for the network. The
    // view stays open only when the notice came back with an error the user
    // has to resolve.
    void BuildXML();
    // The wait view's result of the last submission (see eNOLwaitfrm).
    int lastWaitResult() const { return lastWaitResult_; }

    // "@@@-@@@-@@@@" laid over the first ten characters from the right; empty
    // stays empty.
    static QString telephoneForm(const QString &phone);
    // The leading number of the vehicle id from its third character on.
    static QString vehicleIdNumber(const QString &vehicleId);

    // The company card of an insurance-company row: each part that is not
    // empty on its own line.
    static QString companyCard(const orvane::Recordset &row);
    // A masked entry's text without the mask's separators.
    static QString unmaskedText(const QLineEdit *entry);

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
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLayout();
    void loadBoundEntries();
    // Each entry takes no more than the column it is stored in holds.
    void limitNoticeEntries();
    void writeBound(QLineEdit *entry);
    void dteLossDate_LostFocus();
    void agentChosen(const orvane::Recordset &agent);
    // Puts the cause table on the cause of the list entry `index`; false when none.
    bool findCause(int index);

    std::shared_ptr<orvane::ext::IInvoice> objInvoice_;
    std::shared_ptr<orvane::ext::IAgentControl> agentControl_;
    std::array<clsProperCase, 16> properCase_; // one per sold-to entry
    orvane::Recordset rsCause_, rsOpening_, rsDamage_;
    std::array<orvane::Recordset, 3> rsNags_; // position, location, side
    orvane::RecordsetModel *damageModel_ = nullptr;
    bool activated_ = false;
    bool loaded_ = false;
    int lastWaitResult_ = 0;
};
