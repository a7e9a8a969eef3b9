#pragma once

#include "qorOrvaneUI/loss/LossNotice.h"

#include <QCoreApplication>
#include <QGroupBox>

#include <array>
#include <optional>
#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace orvane::ui {
class EntryTyping;
}

namespace orvane::loss {

// The loss notice's cause of loss: the cause, the subrogation details a
// cause asks for, the bodily injury and glass-only answers, and the contact.
class CauseOfLossBox : public QGroupBox {
    Q_DECLARE_TR_FUNCTIONS(orvane::loss::eNOLfrm)
public:
    CauseOfLossBox(QWidget *parent, ui::EntryTyping *typing);

    QComboBox *cboCauseofLoss;
    QWidget *szrSubrogation;
    QLineEdit *txtsubName, *txtSubdata, *txtContactName;
    QCheckBox *chkBodilyInjury, *chkGlassDamage;
    // The subrogation name and detail captions and the cause's explanation.
    std::array<QLabel *, 3> subLabels{};

    void setCauses(const std::vector<std::pair<QString, qint64>> &causes);
    // The loss code of the chosen cause.
    std::optional<qint64> chosenCause() const;
    // Shows the entries the cause asks for, or none.
    void showSubrogation(const LossNotice::Subrogation &sub);
};

} // namespace orvane::loss
