#include "qorOrvaneUI/core/widgets/DatePicker.h"

#include <QApplication>
#include <QDateEdit>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLocale>

namespace orvane::ui {

using namespace Qt::StringLiterals;

dtePicker::dtePicker(QWidget *parent) : QWidget(parent)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    chkSet = new QCheckBox(this);
    chkSet->setObjectName(u"chkSet"_s);
    chkSet->setToolTip(tr("Clear to leave the date empty"));
    edit = new QDateEdit(this);
    edit->setObjectName(u"edit"_s);
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    edit->setMinimumDate(QDate(1753, 1, 1));
    row->addWidget(chkSet);
    row->addWidget(edit, 1);
    setFocusProxy(edit);
    connect(chkSet, &QCheckBox::toggled, edit, &QWidget::setEnabled);
    // Ticked by the user with no date given yet: today, not the editor's
    // own starting date.
    connect(chkSet, &QCheckBox::clicked, this, [this](bool checked) {
        if (checked && !dated_) {
            edit->setDate(QDate::currentDate());
            dated_ = true;
        }
    });
    chkSet->installEventFilter(this);
    edit->installEventFilter(this);
    clear();
    // An empty picker starts greyed out, as it is after being cleared: a date
    // typed while the box is clear would be silently dropped.
    edit->setEnabled(chkSet->isChecked());
}

bool dtePicker::isEmpty() const
{
    return !chkSet->isChecked();
}

void dtePicker::clear()
{
    chkSet->setChecked(false);
    time_ = QTime(0, 0);
}

QDateTime dtePicker::value() const
{
    return isEmpty() ? QDateTime() : QDateTime(edit->date(), time_);
}

void dtePicker::setValue(const QDateTime &value)
{
    if (!value.isValid()) {
        clear();
        return;
    }
    edit->setDate(value.date());
    time_ = value.time();
    dated_ = true;
    chkSet->setChecked(true);
}

bool dtePicker::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        // Enter never leaves the picker nor presses a button.
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    } else if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        QWidget *now = QApplication::focusWidget();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason &&
            (now == nullptr || !isAncestorOf(now)))
            Q_EMIT left();
    }
    return QWidget::eventFilter(watched, event);
}

void setRed(QWidget *w, bool red)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, red ? QColor(255, 0, 0) : QColor(0, 0, 0));
    w->setPalette(pal);
}

} // namespace orvane::ui
