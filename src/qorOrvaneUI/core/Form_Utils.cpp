#include "qorOrvaneUI/core/Form_Utils.h"

#include "runtime/vb.h"
#include <qorOrvaneUI/widgets/Ui.h>

#include <QLineEdit>

namespace orvane::Form_Utils {

namespace {

// Each step of SelectAllText runs even when an earlier one failed.
template <class F> void ignoringFailure(F &&step)
{
    try {
        step();
    } catch (...) {
    }
}

} // namespace

void SelectAllText(QLineEdit *textBox)
{
    // Let the focus change that triggered this finish first, or the click that
    // gave the focus would place the cursor after the selection is made.
    ignoringFailure([] { orvane::Ui::instance().doEvents(); });
    if (textBox == nullptr)
        return;
    ignoringFailure([&] { textBox->setCursorPosition(0); });
    ignoringFailure([&] { textBox->setText(vb::Trim(textBox->text())); });
    ignoringFailure([&] { textBox->setSelection(0, int(textBox->text().size())); });
}

} // namespace orvane::Form_Utils
