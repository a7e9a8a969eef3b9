#include "qorOrvaneUI/core/widgets/Entries.h"

#include <QAbstractSpinBox>
#include <QDateTimeEdit>
#include <QEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace orvane::ui {

namespace {

const char *kFitted = "orvaneEntryFitted";

// Which positions of a masked entry's text take typing (the rest are the
// mask's own separators).
QList<bool> inputPositions(const QString &inputMask)
{
    static const QString meta = u"AaNnXx90Dd#HhBb"_s;
    const QString mask = inputMask.section(u';', 0, 0);
    QList<bool> out;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        const QChar c = mask[i];
        if (c == u'<' || c == u'>' || c == u'!')
            continue;
        if (c == u'\\' && i + 1 < mask.size()) {
            ++i;
            out << false;
            continue;
        }
        out << meta.contains(c);
    }
    return out;
}

// Where typing stands in a masked entry: the first position that takes typing
// and holds none yet (the end when all are filled).
int typingEnd(const QLineEdit *entry)
{
    const QList<bool> typed = inputPositions(entry->inputMask());
    const QString shown = entry->displayText();
    const QString blankSpec = entry->inputMask().section(u';', 1);
    const QChar blank = blankSpec.isEmpty() ? QChar(u' ') : blankSpec.front();
    for (qsizetype i = 0; i < typed.size() && i < shown.size(); ++i)
        if (typed[i] && shown[i] == blank)
            return int(i);
    return int(shown.size());
}

class EntryClicks : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::MouseButtonRelease ||
            static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
            return false;
        if (auto *dateTime = qobject_cast<QDateTimeEdit *>(watched->parent())) {
            // After the editor has placed its caret from the click.
            QPointer<QDateTimeEdit> edit(dateTime);
            QTimer::singleShot(0, dateTime, [edit] {
                if (edit)
                    edit->setSelectedSection(edit->currentSection());
            });
            return false;
        }
        auto *entry = qobject_cast<QLineEdit *>(watched);
        if (entry && !entry->inputMask().isEmpty() && !entry->hasSelectedText()) {
            const int end = typingEnd(entry);
            if (entry->cursorPosition() > end)
                entry->setCursorPosition(end);
        }
        return false;
    }
};

} // namespace

QValidator::State SingleLineValidator::validate(QString &input, int &pos) const
{
    const QString fixed = singleLine(input);
    if (fixed.size() != input.size())
        pos = int(qMin<qsizetype>(pos, fixed.size()));
    input = fixed;
    return Acceptable;
}

QString SingleLineValidator::singleLine(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            continue; // CR LF is one break: the LF gives its space
        out += (c == u'\r' || c == u'\n' || c == u'\t') ? u' ' : c;
    }
    return out;
}

int maskSlots(const QString &inputMask)
{
    int n = 0;
    for (const bool typed : inputPositions(inputMask))
        n += typed ? 1 : 0;
    return n;
}

void fitEntries(QWidget *root)
{
    for (QLineEdit *entry : root->findChildren<QLineEdit *>()) {
        if (entry->property(kFitted).toBool())
            continue;
        entry->setProperty(kFitted, true);
        if (qobject_cast<QAbstractSpinBox *>(entry->parent())) {
            // The editor inside a date or time.
            if (qobject_cast<QDateTimeEdit *>(entry->parent()))
                entry->installEventFilter(new EntryClicks(entry));
            continue;
        }
        if (!entry->inputMask().isEmpty())
            entry->installEventFilter(new EntryClicks(entry));
        else if (!entry->validator())
            entry->setValidator(new SingleLineValidator(entry));
    }
}

} // namespace orvane::ui
