#include "qorOrvaneUI/core/widgets/FormParts.h"

#include "qorOrvaneUI/core/Form_Utils.h"
#include "qorOrvaneUI/core/widgets/BoundEntries.h"
#include "runtime/vb.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace orvane::ui {

namespace {

const char *kTyping = "typing";
const char *kKeepCaret = "keepCaretOnFocus";

} // namespace

QLineEdit *FormParts::entry(const QString &name, int index, const QString &field,
                            const QString &tip) const
{
    auto *e = new QLineEdit(owner_);
    e->setObjectName(name);
    if (index >= 0)
        e->setProperty("index", index);
    if (!field.isEmpty())
        bindToField(e, field);
    e->setToolTip(tip);
    if (filter_)
        e->installEventFilter(filter_);
    return e;
}

QLineEdit *FormParts::masked(const QString &name, int index, const QString &mask,
                             const QString &field, int width, const QString &tip) const
{
    QLineEdit *e = entry(name, index, field, tip);
    e->setInputMask(mask);
    e->setFixedWidth(width);
    return e;
}

QPushButton *FormParts::button(const QString &name, const QString &caption,
                               const QString &tip) const
{
    auto *b = new QPushButton(caption, owner_);
    b->setObjectName(name);
    b->setToolTip(tip);
    b->setAutoDefault(false);
    return b;
}

QComboBox *FormParts::combo(const QString &name, const QStringList &items) const
{
    auto *c = new QComboBox(owner_);
    c->setObjectName(name);
    c->addItems(items);
    c->setCurrentIndex(-1);
    return c;
}

QLabel *FormParts::label(const QString &name, int index, const QString &text, QWidget *buddy) const
{
    auto *l = new QLabel(text, owner_);
    l->setObjectName(name);
    if (index >= 0)
        l->setProperty("index", index);
    if (buddy)
        l->setBuddy(buddy);
    return l;
}

QGridLayout *FormParts::frameGrid(QGroupBox *frame)
{
    auto *g = new QGridLayout(frame);
    g->setContentsMargins(8, 4, 8, 6);
    g->setVerticalSpacing(4);
    g->setColumnStretch(1, 1);
    return g;
}

void FormParts::addRow(QGridLayout *grid, QWidget *rowLabel,
                       std::initializer_list<QWidget *> widgets, bool trailingStretch)
{
    const int r = grid->rowCount();
    auto *row = new QHBoxLayout;
    row->setSpacing(6);
    for (QWidget *w : widgets)
        row->addWidget(w, w->maximumWidth() == QWIDGETSIZE_MAX ? 1 : 0);
    if (trailingStretch)
        row->addStretch(1);
    grid->addWidget(rowLabel, r, 0);
    grid->addLayout(row, r, 1);
}

void EntryTyping::set(QLineEdit *entry, Typing typing)
{
    entry->setProperty(kTyping, int(typing));
}

void EntryTyping::keepCaretOnFocus(QLineEdit *entry)
{
    entry->setProperty(kKeepCaret, true);
}

bool EntryTyping::eventFilter(QObject *watched, QEvent *event)
{
    auto *e = qobject_cast<QLineEdit *>(watched);
    if (!e)
        return false;
    const bool maskedEntry = !e->inputMask().isEmpty();
    if (event->type() == QEvent::FocusIn) {
        if (e->property(kKeepCaret).toBool())
            return false;
        // After the line edit has placed its own cursor.
        QTimer::singleShot(0, e, [e, maskedEntry] {
            if (!maskedEntry) {
                Form_Utils::SelectAllText(e);
                return;
            }
            e->setCursorPosition(0);
            e->setSelection(0, int(vb::Trim(e->text()).size()));
        });
        return false;
    }
    if (event->type() == QEvent::FocusOut && left)
        left(e);
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    const QString text = key->text();
    if (text.size() != 1 || key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    const QChar c = text.front();
    if (!c.isPrint() && c != u'\b')
        return false;
    const bool digit = c.isDigit() && c.unicode() < 128;
    const auto typing = Typing(e->property(kTyping).toInt());
    if (typing == Typing::Digits)
        return !digit && c != u'\b';
    if (maskedEntry && c != u'\b' && !digit) {
        QApplication::beep();
        return true;
    }
    if (typing == Typing::Upper) {
        if (!c.isLower())
            return false;
        e->insert(c.toUpper());
        return true;
    }
    if (typing == Typing::ProperCase) {
        int code = c.unicode();
        properCase_.KeyPressed(e, code);
        if (code != c.unicode()) {
            e->insert(QChar(char16_t(code)));
            return true;
        }
    }
    return false;
}

} // namespace orvane::ui
