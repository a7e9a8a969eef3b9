#pragma once

#include <qorOrvaneUI/external/IErrorClass.h>

#include <QString>

#include <optional>

namespace orvane::host {

// Env.ErrorClass: shows each report to the user and appends it to the shop's
// error log (one line per report, fields separated by tabs:
// time, user, procedure, number, line, text; CR, LF, tab and backslash in a
// field written as \r, \n, \t and \\).
class HostErrorClass : public orvane::ext::IErrorClass {
public:
    // `logFile`: the log's full path; `title`: the host's name, used as the
    // title of every box; `user`: the signed-in user's name for the log.
    HostErrorClass(QString logFile, QString title, QString user);

    // A run-time error (number not 0) shows "Error n in procedure, line l:"
    // and the text with a critical icon; a validation message (number 0) shows
    // the text alone with an exclamation mark. Mode 1, a network error that
    // the polling view has already shown in its own words, is logged only.
    // Never throws.
    void ErrorHandle(int zero, const QString &procedure, const QString &text, long number,
                     int ErrorLine, std::optional<int> Mode = std::nullopt) override;

    // Appends a report to the log without showing it (for failures the host
    // itself turns into "nothing" for the library). Never throws.
    void log(const QString &procedure, const QString &text, long number, int line);

    const QString &logFile() const { return logFile_; }

private:
    void showOnce(const QString &text);

    QString logFile_;
    QString title_;
    QString user_;
    bool logFailureShown_ = false;
};

} // namespace orvane::host
