#pragma once

#include <qorOrvaneUI/external/IVehicleChooser.h>
#include <qorOrvaneUI/runtime/Recordset.h>

#include <QDialog>

#include <memory>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace orvane {
class RecordsetModel;
}

namespace orvane::host {

class HostVehicle;
class ShopDatabase;

// Lists the catalogue's vehicles, narrowed by year, make, model and VIN as the
// user types; OK (or a double click) takes the selected vehicle.
class VehicleChooserDialog : public QDialog {
    Q_OBJECT

public:
    VehicleChooserDialog(std::shared_ptr<ShopDatabase> catalogue, QWidget *parent = nullptr);
    ~VehicleChooserDialog() override;

    // Starts from a vehicle and a VIN; `startAt` ("YEAR", "MAKE", "MODEL",
    // "VIN") names the entry that gets the focus.
    void start(const std::shared_ptr<ext::IVehicle> &car, const QString &vin,
               const QString &startAt);
    // The selected vehicle; nullptr when no row is selected.
    std::shared_ptr<HostVehicle> selectedVehicle() const;
    // Vehicles shown now.
    int shownCount() const;
    QString vinText() const;

    QLineEdit *txtYear;
    QLineEdit *txtMake;
    QLineEdit *txtModel;
    QLineEdit *txtVIN;
    QTableView *grdVehicles;
    QLabel *lblCount;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;

private:
    void refreshList();
    void selectionChanged();

    std::shared_ptr<ShopDatabase> catalogue_;
    Recordset vehicles_;
    RecordsetModel *model_;
};

// The chooser object the library gets from SafeCreateUIObj(16).
class HostVehicleChooser : public ext::IVehicleChooser {
public:
    explicit HostVehicleChooser(std::shared_ptr<ShopDatabase> catalogue);

    QString VIN() const override { return vin_; }
    void setVIN(const QString &vin) override { vin_ = vin; }
    std::shared_ptr<ext::IVehicle> choosecar(WindowHandle owner, std::shared_ptr<ext::IVehicle> car,
                                             const QString &startAt) override;

private:
    std::shared_ptr<ShopDatabase> catalogue_;
    QString vin_;
};

} // namespace orvane::host
