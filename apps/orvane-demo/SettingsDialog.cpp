#include "orvane-demo/SettingsDialog.h"

#include <qorOrvaneUI/external/IEnvironment.h>
#include <qorOrvaneUI/external/IErrorClass.h>
#include <qorOrvaneUI/external/IOptions.h>
#include <qorOrvaneUI/runtime/VbError.h>

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

SettingsDialog::SettingsDialog(std::shared_ptr<orvane::ext::IEnvironment> env, QWidget *parent)
    : QDialog(parent), env_(std::move(env))
{
    setObjectName(u"SettingsDialog"_s);
    setWindowTitle(u"Settings"_s);
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    auto shown = [this](const QString &text) {
        auto *label = new QLabel(text, this);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return label;
    };
    const auto options = env_->Options();
    form->addRow(u"Data folder"_s, shown(env_->data_path()));
    form->addRow(u"Glass catalogue"_s, shown(env_->nags_path()));
    form->addRow(u"Network settings"_s, shown(env_->data_path() + u"Orvane.ini"_s));
    form->addRow(u"Shop settings"_s, shown(options->dask_ini()));
    form->addRow(u"Location"_s, shown(env_->Location().toText()));
    reportPath_ = new QLineEdit(this);
    reportPath_->setObjectName(u"txtReportPath"_s);
    reportPath_->setText(
        options->readinistring(u"Defaults"_s, u"ReportPath"_s, options->dask_ini()));
    reportPath_->setPlaceholderText(u"folder holding g_dispatch.rpt"_s);
    form->addRow(u"Report folder"_s, reportPath_);
    layout->addLayout(form);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (apply())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(560, sizeHint().height());
}

bool SettingsDialog::apply()
{
    try {
        const auto options = env_->Options();
        QString folder = reportPath_->text().trimmed();
        // The library appends the template's file name directly.
        if (!folder.isEmpty() && !folder.endsWith(u'/') && !folder.endsWith(u'\\'))
            folder += u'/';
        options->writeinistring(u"Defaults"_s, u"ReportPath"_s, folder, options->dask_ini());
        return true;
    } catch (...) {
        const orvane::VbError e = orvane::currentError();
        env_->ErrorClass()->ErrorHandle(0, u"orvane-demo.SettingsDialog"_s, e.description(),
                                        e.number(), 0);
        return false;
    }
}
