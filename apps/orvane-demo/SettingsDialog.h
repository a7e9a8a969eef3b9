#pragma once

#include <QDialog>

#include <memory>

class QLineEdit;

namespace orvane::ext {
class IEnvironment;
}

// The shop's settings the library reads: where the report templates are
// (Defaults/ReportPath in the host's settings file), and, for reference, the
// folders and settings files in use.
class SettingsDialog : public QDialog {
public:
    SettingsDialog(std::shared_ptr<orvane::ext::IEnvironment> env, QWidget *parent = nullptr);

    QLineEdit *reportPath() const { return reportPath_; }
    // Writes the edited settings; false (after telling the user) when they could not be written.
    bool apply();

private:
    std::shared_ptr<orvane::ext::IEnvironment> env_;
    QLineEdit *reportPath_ = nullptr;
};
