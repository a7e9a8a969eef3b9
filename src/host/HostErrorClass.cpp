#include "host/HostErrorClass.h"

#include <qorOrvaneUI/widgets/Ui.h>

#include <QDateTime>
#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

namespace orvane::host {

namespace {

// One report stays on one line of the log, and a field cannot pass for two.
QString escaped(const QString &field)
{
    QString out;
    out.reserve(field.size());
    for (QChar c : field) {
        switch (c.unicode()) {
        case u'\\':
            out += u"\\\\"_s;
            break;
        case u'\r':
            out += u"\\r"_s;
            break;
        case u'\n':
            out += u"\\n"_s;
            break;
        case u'\t':
            out += u"\\t"_s;
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

HostErrorClass::HostErrorClass(QString logFile, QString title, QString user)
    : logFile_(std::move(logFile)), title_(std::move(title)), user_(std::move(user))
{
}

void HostErrorClass::ErrorHandle(int, const QString &procedure, const QString &text, long number,
                                 int ErrorLine, std::optional<int> Mode)
{
    try {
        log(procedure, text, number, ErrorLine);
        // The polling view has already shown the network's error in its own
        // box; another one would repeat it (or show an empty one).
        if (Mode == 1)
            return;

        if (number != 0) {
            Ui::instance().msgBox(
                u"Error %1 in %2, line %3:\n%4"_s.arg(QString::number(number), procedure,
                                                      QString::number(ErrorLine), text),
                MsgButtons::OK, MsgIcon::Critical, title_);
        } else {
            Ui::instance().msgBox(text, MsgButtons::OK, MsgIcon::Exclamation, title_);
        }
    } catch (...) {
        // The library carries on after reporting; a failing report must not
        // turn into a second failure in the view that made it.
    }
}

void HostErrorClass::log(const QString &procedure, const QString &text, long number, int line)
{
    try {
        const QString entry = QDateTime::currentDateTime().toString(u"yyyy-MM-dd hh:mm:ss.zzz"_s) +
                              u'\t' + escaped(user_) + u'\t' + escaped(procedure) + u'\t' +
                              QString::number(number) + u'\t' + QString::number(line) + u'\t' +
                              escaped(text) + u"\r\n"_s;
        const QByteArray bytes = entry.toUtf8();
        QFile file(logFile_);
        // Append mode with one write per report keeps the lines of several
        // workstations sharing the folder whole.
        if (file.open(QIODevice::WriteOnly | QIODevice::Append) &&
            file.write(bytes) == bytes.size() && file.flush())
            return;
        showOnce(u"The error log %1 cannot be written (%2). Errors are still shown, but "
                 "not logged while it cannot be written."_s.arg(QDir::toNativeSeparators(logFile_),
                                                                file.errorString()));
    } catch (...) {
    }
}

void HostErrorClass::showOnce(const QString &text)
{
    if (logFailureShown_)
        return;
    logFailureShown_ = true;
    Ui::instance().msgBox(text, MsgButtons::OK, MsgIcon::Exclamation, title_);
}

} // namespace orvane::host
