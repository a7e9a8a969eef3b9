#pragma once

#include "qorOrvaneUI/core/LibraryView.h"
#include "qorOrvaneUI/loss/CoverageAnswer.h"
#include <qorOrvaneUI/runtime/Recordset.h>

#include <QString>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimeEdit;

namespace orvane {
class RecordsetModel;
namespace ui {
class dtePicker;
}
class XmlDocument;
namespace ext {
class IInvoice;
class IRsTable;
} // namespace ext
} // namespace orvane

namespace orvane::loss {

// "Coverage Information for loss": the view of the shop's answer to the
// insurer's coverage request (CoverageAnswer). The user picks the covered
// vehicle, the installation date and time, mobile or in-shop and the work
// zip, and accepts or declines the assignment.
class Coveragefrm : public orvane::ui::LibraryView {
    Q_OBJECT
public:
    explicit Coveragefrm(QWidget *parent = nullptr);
    ~Coveragefrm() override;

    QLabel *lblWarning = nullptr;
    QLabel *lblWarn = nullptr;
    QTableView *grdAuthorize = nullptr;
    QPushButton *cmdVehicle = nullptr;
    QLabel *lblVehicle = nullptr;
    ui::dtePicker *dteInstallDate = nullptr;
    QCheckBox *chkInstallTime = nullptr;
    QTimeEdit *txtInstallTime = nullptr;
    QCheckBox *chkMobile = nullptr;
    QLineEdit *txtZip = nullptr;
    QPushButton *cmdBuild = nullptr;
    QPushButton *cmdCancel = nullptr;

    void setCoverage(std::shared_ptr<orvane::ext::IRsTable> coverage);
    void setNotice(std::shared_ptr<orvane::ext::IRsTable> notice);
    void setInvoice(std::shared_ptr<orvane::ext::IInvoice> invoice);

    // What the wait view reads when the view closes.
    bool sent() const { return answer_.sent(); }
    QString lossRef() const { return answer_.lossRef(); }
    bool declined() const { return answer_.declined(); }

    orvane::RecordsetModel *coverageModel() const { return model_; }
    bool isSelected(int row) const { return answer_.isSelected(row); }
    // Flips the selection of a grid row as a click in column "A" does.
    void toggleRow(int row);

    void Form_Activate();
    void Form_Unload();
    void cmdBuild_Click();
    void cmdCancel_Click();
    void Getvehicle();
    bool validData(bool accept);
    bool BuildXML(bool accept, orvane::XmlDocument &doc);
    void SendXML(bool accept);

protected:
    void showEvent(QShowEvent *event) override;
    // Escape keeps the view: its only way out without answering is the
    // window's close button, and the button beside Accept declines the work.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showVehicleButton();
    void dteInstallDate_Change();
    orvane::loss::CoverageAnswer::Entries entries() const;

    orvane::loss::CoverageAnswer answer_;
    orvane::RecordsetModel *model_ = nullptr;
    bool activated_ = false;
};

} // namespace orvane::loss
