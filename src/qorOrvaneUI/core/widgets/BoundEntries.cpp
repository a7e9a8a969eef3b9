#include "qorOrvaneUI/core/widgets/BoundEntries.h"

#include "qorOrvaneUI/core/modOrvane.h"

#include "runtime/vb.h"

#include <QLineEdit>
#include <QVariant>

using namespace Qt::StringLiterals;

namespace orvane::ui {

namespace {

const char *kDataField = "dataField";
// Text fields this long or longer hold any length.
constexpr int kUnlimited = 10000;

} // namespace

void bindToField(QObject *entry, const QString &field)
{
    entry->setProperty(kDataField, field);
}

QString boundField(const QObject *entry)
{
    return entry->property(kDataField).toString();
}

void limitTo(QLineEdit *entry, const Field &field)
{
    const int size = field.definedSize();
    if (isTextType(field.type()) && size > 0 && size < kUnlimited && size < entry->maxLength())
        entry->setMaxLength(size);
}

QString unmaskedText(const QLineEdit *entry)
{
    const QString mask = entry->inputMask().section(u';', 0, 0);
    static const QString meta = u"AaNnXx90Dd#HhBb><!"_s;
    QString literals;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        if (mask[i] == u'\\' && i + 1 < mask.size())
            literals += mask[++i];
        else if (!meta.contains(mask[i]))
            literals += mask[i];
    }
    QString out;
    for (const QChar c : entry->text())
        if (!literals.contains(c))
            out += c;
    return vb::Trim(out);
}

QString storedText(const QLineEdit *entry)
{
    return entry->inputMask().isEmpty() ? vb::Trim(entry->text()) : unmaskedText(entry);
}

void loadBoundEntries(QWidget *root, const Recordset &rs)
{
    for (QLineEdit *e : root->findChildren<QLineEdit *>()) {
        const QString field = boundField(e);
        if (field.isEmpty() || !e->inputMask().isEmpty())
            continue;
        limitTo(e, rs.field(field));
        e->setText(modOrvane::FieldText(rs, field));
        e->setCursorPosition(0);
    }
}

void loadMaskedEntries(QWidget *root, const Recordset &rs)
{
    for (QLineEdit *e : root->findChildren<QLineEdit *>()) {
        const QString mask = e->inputMask();
        if (mask.isEmpty())
            continue;
        // Cleared without the mask, so the stored value is laid into an empty mask.
        e->setInputMask(QString());
        e->clear();
        e->setInputMask(mask);
        const QString field = boundField(e);
        if (!field.isEmpty()) {
            e->setCursorPosition(0);
            e->insert(modOrvane::FieldText(rs, field));
        }
    }
}

} // namespace orvane::ui
