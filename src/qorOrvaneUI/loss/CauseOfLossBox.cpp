#include "qorOrvaneUI/loss/CauseOfLossBox.h"

#include "qorOrvaneUI/core/widgets/DatePicker.h"
#include "qorOrvaneUI/core/widgets/FormParts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace orvane::loss {

CauseOfLossBox::CauseOfLossBox(QWidget *parent, ui::EntryTyping *typing)
    : QGroupBox(tr("Cause of Loss"), parent)
{
    setObjectName(u"fraCause"_s);
    const ui::FormParts parts(this, typing);
    auto *cause = new QGridLayout(this);
    cause->setContentsMargins(8, 4, 8, 6);
    cause->setVerticalSpacing(4);
    cboCauseofLoss = parts.combo(u"cboCauseofLoss"_s);
    cboCauseofLoss->setMinimumContentsLength(28);
    cause->addWidget(parts.label(u"lblCauseofLoss"_s, -1, tr("Cause of Loss :"), cboCauseofLoss), 0,
                     0);
    cause->addWidget(cboCauseofLoss, 0, 1, 1, 3);
    szrSubrogation = new QWidget(this);
    szrSubrogation->setObjectName(u"szrSubrogation"_s);
    auto *sub = new QGridLayout(szrSubrogation);
    sub->setContentsMargins(0, 0, 0, 0);
    const ui::FormParts subParts(szrSubrogation, typing);
    txtsubName = subParts.entry(u"txtsubName"_s);
    txtSubdata = subParts.entry(u"txtSubdata"_s);
    subLabels[0] = subParts.label(u"lbleNOL"_s, 10, QString(), txtsubName);
    subLabels[1] = subParts.label(u"lbleNOL"_s, 11, QString(), txtSubdata);
    sub->addWidget(subLabels[0], 0, 0);
    sub->addWidget(txtsubName, 0, 1);
    sub->addWidget(subLabels[1], 1, 0);
    sub->addWidget(txtSubdata, 1, 1);
    subLabels[2] = subParts.label(u"lbleNOL"_s, 12, QString());
    subLabels[2]->setWordWrap(true);
    ui::setRed(subLabels[2], true);
    sub->addWidget(subLabels[2], 2, 0, 1, 2);
    sub->setColumnStretch(1, 1);
    szrSubrogation->hide();
    cause->addWidget(szrSubrogation, 1, 0, 1, 4);
    chkBodilyInjury = new ui::AnswerBox(tr("&Bodily Injury?"), this);
    chkBodilyInjury->setObjectName(u"chkBodilyInjury"_s);
    chkGlassDamage = new ui::AnswerBox(tr("&Glass Only Damage"), this);
    chkGlassDamage->setObjectName(u"chkGlassDamage"_s);
    for (QCheckBox *c : {chkBodilyInjury, chkGlassDamage}) {
        c->setTristate(true);
        c->setCheckState(Qt::PartiallyChecked);
        ui::setRed(c, true);
    }
    cause->addWidget(chkBodilyInjury, 2, 0, 1, 2);
    cause->addWidget(chkGlassDamage, 2, 2, 1, 2);
    txtContactName = parts.entry(u"txtContactName"_s);
    cause->addWidget(parts.label(u"lblContactName"_s, -1, tr("Contact Na&me :"), txtContactName), 3,
                     0);
    cause->addWidget(txtContactName, 3, 1, 1, 3);
    cause->setColumnStretch(1, 1);
    cause->setColumnStretch(3, 1);
    cause->setRowStretch(4, 1);
}

void CauseOfLossBox::setCauses(const std::vector<std::pair<QString, qint64>> &causes)
{
    cboCauseofLoss->clear();
    for (const auto &[description, code] : causes)
        cboCauseofLoss->addItem(description, QVariant::fromValue(code));
    cboCauseofLoss->setCurrentIndex(-1);
}

std::optional<qint64> CauseOfLossBox::chosenCause() const
{
    const int index = cboCauseofLoss->currentIndex();
    if (index < 0)
        return std::nullopt;
    return cboCauseofLoss->itemData(index).toLongLong();
}

void CauseOfLossBox::showSubrogation(const LossNotice::Subrogation &sub)
{
    if (!sub.required) {
        szrSubrogation->hide();
        return;
    }
    szrSubrogation->show();
    const std::pair<QLineEdit *, QString> entries[] = {{txtsubName, sub.nameCaption},
                                                       {txtSubdata, sub.dataCaption}};
    for (size_t i = 0; i < 2; ++i) {
        subLabels[i]->setText(entries[i].second);
        subLabels[i]->setVisible(!entries[i].second.isEmpty());
        entries[i].first->setVisible(!entries[i].second.isEmpty());
    }
    subLabels[2]->setText(sub.explanation);
}

} // namespace orvane::loss
