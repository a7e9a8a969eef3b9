#include "host/VehicleChooserDialog.h"

#include "host/HostVehicle.h"
#include "host/ShopDatabase.h"
#include "runtime/widgets/RecordsetModel.h"
#include <qorOrvaneUI/external/IVehicle.h>
#include <qorOrvaneUI/widgets/Ui.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace orvane::host {

namespace {

// A LIKE pattern that matches the text as a prefix, its own wildcards taken literally.
QString prefixPattern(const QString &text)
{
    QString escaped = text.trimmed().toLower();
    escaped.replace(u"\\"_s, u"\\\\"_s).replace(u"%"_s, u"\\%"_s).replace(u"_"_s, u"\\_"_s);
    return escaped % u'%';
}

QString textOf(const Value &v)
{
    return v.isNull() ? QString() : v.toText().trimmed();
}

} // namespace

VehicleChooserDialog::VehicleChooserDialog(std::shared_ptr<ShopDatabase> catalogue, QWidget *parent)
    : QDialog(parent), catalogue_(std::move(catalogue))
{
    setObjectName(u"VehicleChooserDialog"_s);
    setWindowTitle(tr("Choose Vehicle"));

    txtYear = new QLineEdit(this);
    txtYear->setObjectName(u"txtYear"_s);
    txtYear->setMaxLength(4);
    txtYear->setPlaceholderText(tr("e.g. 2019"));
    txtMake = new QLineEdit(this);
    txtMake->setObjectName(u"txtMake"_s);
    txtMake->setPlaceholderText(tr("Make starts with"));
    txtModel = new QLineEdit(this);
    txtModel->setObjectName(u"txtModel"_s);
    txtModel->setPlaceholderText(tr("Model starts with"));
    txtVIN = new QLineEdit(this);
    txtVIN->setObjectName(u"txtVIN"_s);
    txtVIN->setMaxLength(17);
    txtVIN->setPlaceholderText(tr("Vehicle identification number"));

    auto *filters = new QGridLayout;
    filters->addWidget(new QLabel(tr("&Year:"), this), 0, 0);
    filters->addWidget(txtYear, 0, 1);
    filters->addWidget(new QLabel(tr("M&ake:"), this), 0, 2);
    filters->addWidget(txtMake, 0, 3);
    filters->addWidget(new QLabel(tr("M&odel:"), this), 1, 0);
    filters->addWidget(txtModel, 1, 1);
    filters->addWidget(new QLabel(tr("&VIN:"), this), 1, 2);
    filters->addWidget(txtVIN, 1, 3);
    filters->setColumnStretch(1, 1);
    filters->setColumnStretch(3, 2);
    const QList<QLabel *> labels = findChildren<QLabel *>();
    for (QLabel *label : labels) {
        if (label->text().contains(u"&Year"_s))
            label->setBuddy(txtYear);
        else if (label->text().contains(u"M&ake"_s))
            label->setBuddy(txtMake);
        else if (label->text().contains(u"M&odel"_s))
            label->setBuddy(txtModel);
        else
            label->setBuddy(txtVIN);
    }

    vehicles_ = catalogue_->emptyRecordset(catalogue_->table(u"vehicles"_s));
    model_ = new RecordsetModel(vehicles_, this);
    model_->addColumn(RecordsetColumn::bound(u"year"_s, tr("Year")));
    model_->addColumn(RecordsetColumn::bound(u"make"_s, tr("Make")));
    model_->addColumn(RecordsetColumn::bound(u"model"_s, tr("Model")));
    model_->addColumn(RecordsetColumn::bound(u"body"_s, tr("Body")));
    model_->addColumn(RecordsetColumn::bound(u"car_id"_s, tr("Catalogue ID")));
    for (int c = 0; c < model_->columnCount(); ++c)
        model_->setColumnReadOnly(c, true);

    grdVehicles = new QTableView(this);
    grdVehicles->setObjectName(u"grdVehicles"_s);
    grdVehicles->setModel(model_);
    grdVehicles->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdVehicles->setSelectionMode(QAbstractItemView::SingleSelection);
    grdVehicles->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdVehicles->setAlternatingRowColors(true);
    grdVehicles->verticalHeader()->hide();
    QHeaderView *header = grdVehicles->horizontalHeader();
    header->setMinimumSectionSize(70);
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(2, QHeaderView::Stretch); // the model takes the spare room
    grdVehicles->setMinimumHeight(220);

    lblCount = new QLabel(this);
    lblCount->setObjectName(u"lblCount"_s);

    auto *buttons = new QDialogButtonBox(this);
    cmdOK = buttons->addButton(QDialogButtonBox::Ok);
    cmdOK->setObjectName(u"cmdOK"_s);
    cmdCancel = buttons->addButton(QDialogButtonBox::Cancel);
    cmdCancel->setObjectName(u"cmdCancel"_s);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(lblCount, 1);
    bottom->addWidget(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(grdVehicles, 1);
    layout->addLayout(bottom);
    // A fixed minimum set now, before a native window exists, rather than the
    // layout's, which it would push to the platform window on every show.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    setMinimumSize(520, 320);
    resize(640, 400);

    for (QLineEdit *edit : {txtYear, txtMake, txtModel, txtVIN})
        connect(edit, &QLineEdit::textChanged, this, &VehicleChooserDialog::refreshList);
    connect(grdVehicles->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &VehicleChooserDialog::selectionChanged);
    connect(grdVehicles, &QTableView::doubleClicked, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    refreshList();
}

VehicleChooserDialog::~VehicleChooserDialog() = default;

void VehicleChooserDialog::start(const std::shared_ptr<ext::IVehicle> &car, const QString &vin,
                                 const QString &startAt)
{
    const QSignalBlocker by(txtYear), bm(txtMake), bmo(txtModel), bv(txtVIN);
    if (car) {
        const QString year = textOf(car->Year());
        txtYear->setText(year == u"0"_s ? QString() : year);
        txtMake->setText(textOf(car->make()));
        txtModel->setText(textOf(car->model()));
    }
    txtVIN->setText(vin.trimmed());
    refreshList();
    const QString step = startAt.trimmed().toUpper();
    QLineEdit *focus = step == u"MAKE"_s    ? txtMake
                       : step == u"MODEL"_s ? txtModel
                       : step == u"VIN"_s   ? txtVIN
                                            : txtYear;
    focus->setFocus();
    focus->selectAll();
}

void VehicleChooserDialog::refreshList()
{
    QStringList where;
    QVariantList params;
    const QString year = txtYear->text().trimmed();
    bool yearOk = false;
    const int yearNumber = year.toInt(&yearOk);
    if (!year.isEmpty()) {
        // A partly typed year ("20") narrows nothing yet; a whole one selects.
        if (yearOk && year.size() == 4) {
            where << u"year = ?"_s;
            params << yearNumber;
        }
    }
    if (!txtMake->text().trimmed().isEmpty()) {
        where << u"lower(make) LIKE ? ESCAPE '\\'"_s;
        params << prefixPattern(txtMake->text());
    }
    if (!txtModel->text().trimmed().isEmpty()) {
        where << u"lower(model) LIKE ? ESCAPE '\\'"_s;
        params << prefixPattern(txtModel->text());
    }
    Recordset found = catalogue_->select(catalogue_->table(u"vehicles"_s), where.join(u" AND "_s),
                                         params, u"year DESC, make, model, body"_s);
    // A VIN narrows to the vehicles whose prefix it begins with (or, while
    // still being typed, that begin with it).
    const QString vin = txtVIN->text().trimmed().toUpper();
    if (!vin.isEmpty()) {
        Recordset narrowed = found.emptyCopy();
        for (found.recordCount() > 0 ? found.moveFirst() : void(); !found.eof(); found.moveNext()) {
            const QString prefix = textOf(found.value(u"vin_prefix"_s)).toUpper();
            if (prefix.isEmpty() || !(vin.startsWith(prefix) || prefix.startsWith(vin)))
                continue;
            std::vector<Value> row;
            row.reserve(found.fieldCount());
            for (int i = 0; i < found.fieldCount(); ++i)
                row.push_back(found.field(i).value());
            narrowed.loadRow(row);
        }
        if (narrowed.recordCount() > 0)
            narrowed.moveFirst();
        found = narrowed;
    }
    vehicles_ = found;
    model_->setRecordset(vehicles_);
    const int n = vehicles_.recordCount();
    lblCount->setText(n == 1 ? tr("1 vehicle") : tr("%1 vehicles").arg(n));
    if (n > 0)
        grdVehicles->selectRow(0);
    selectionChanged();
}

void VehicleChooserDialog::selectionChanged()
{
    const QModelIndexList rows = grdVehicles->selectionModel()->selectedRows();
    if (!rows.isEmpty())
        model_->setCurrentRow(rows.first().row());
    cmdOK->setEnabled(!rows.isEmpty());
}

std::shared_ptr<HostVehicle> VehicleChooserDialog::selectedVehicle() const
{
    const QModelIndexList rows = grdVehicles->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return nullptr;
    Recordset row = vehicles_.clone();
    const Value bookmark = model_->rowBookmark(rows.first().row());
    if (bookmark.isEmpty())
        return nullptr;
    row.setBookmark(bookmark);
    return HostVehicle::fromCatalogueRow(row);
}

int VehicleChooserDialog::shownCount() const
{
    return vehicles_.recordCount();
}

QString VehicleChooserDialog::vinText() const
{
    return txtVIN->text().trimmed();
}

HostVehicleChooser::HostVehicleChooser(std::shared_ptr<ShopDatabase> catalogue)
    : catalogue_(std::move(catalogue))
{
}

std::shared_ptr<ext::IVehicle> HostVehicleChooser::choosecar(WindowHandle owner,
                                                             std::shared_ptr<ext::IVehicle> car,
                                                             const QString &startAt)
{
    QWidget *parent = nullptr;
    if (owner != 0)
        for (QWidget *w : QApplication::topLevelWidgets())
            // internalWinId: asking winId() would make native windows for them all.
            if (w->isVisible() && WindowHandle(w->internalWinId()) == owner)
                parent = w;
    VehicleChooserDialog dialog(catalogue_, parent);
    dialog.start(car, vin_, startAt);
    if (Ui::instance().showModal(&dialog) != QDialog::Accepted)
        return nullptr;
    std::shared_ptr<HostVehicle> chosen = dialog.selectedVehicle();
    if (!chosen)
        return nullptr;
    vin_ = dialog.vinText();
    return chosen;
}

} // namespace orvane::host
