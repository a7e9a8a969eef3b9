#pragma once

#include <QString>

#include <exception>
#include <string>

namespace orvane {

// The one exception type of the library and its runtime. It carries what the
// host's error trap expects of a BASIC runtime error: a number, a source and a
// description. Numbers follow the runtime the callers were written against
// (13 type mismatch, 3021 no current row, 3265 unknown field, ...).
class VbError : public std::exception {
public:
    VbError(long number, QString source, QString description);

    long number() const noexcept { return number_; }
    const QString &source() const noexcept { return source_; }
    const QString &description() const noexcept { return description_; }

    const char *what() const noexcept override { return what_.c_str(); }

private:
    long number_;
    QString source_;
    QString description_;
    std::string what_;
};

// Well-known error numbers.
namespace err {
inline constexpr long InvalidProcedureCall = 5;
inline constexpr long Overflow = 6;
inline constexpr long TypeMismatch = 13;
inline constexpr long ObjectRequired = 424;
inline constexpr long InvalidUseOfNull = 94;
inline constexpr long CantCreateObject = 429;
inline constexpr long ObjectVariableNotSet = 91;
inline constexpr long BadArguments = 3001;
inline constexpr long NoCurrentRecord = 3021;
inline constexpr long ItemNotFound = 3265;
inline constexpr long OperationNotAllowed = 3219;
// A row changed by another user since it was read; nothing was written.
inline constexpr long RowChangedByOther = 3197;
inline constexpr long MultipleStep = -2147217887;
inline constexpr long Unspecified = -2147467259;
} // namespace err

// Builders of the standard errors, so every place reports them with the same text.
VbError typeMismatch(const QString &source = QString());
VbError overflowError(const QString &source = QString());
VbError invalidUseOfNull(const QString &source = QString());
VbError noCurrentRecord(const QString &source = QString());
// The standard description followed by ("name"): the field, table or identifier missing.
QString namingWhat(const QString &description, const QString &name);
VbError itemNotFound(const QString &name, const QString &source = QString());
VbError objectVariableNotSet(const QString &source = QString());

// An outside object that came back as nothing reaches the caller's trap as 91,
// not as a null dereference further on.
template <class Ptr> const Ptr &required(const Ptr &object, const QString &source = QString())
{
    if (!object)
        throw objectVariableNotSet(source);
    return object;
}

// Turns whatever is being handled (a VbError, another std::exception, anything)
// into a VbError. Call only inside a catch block.
VbError currentError();

// How a procedure puts its name in front of (or behind) an error it passes up.
enum class WrapStyle {
    // source = name; description = name CRLF "Line : " n CRLF caught
    Method,
    // source = name; description = caught CRLF name CRLF "Line # : " n
    XmlRoutine,
    // source = caught source ":" name; description = caught CRLF name CRLF "Line # : " n
    XmlRoutineChained,
    // source = name; description = caught CRLF "Line : " n
    Utility,
};

// Per-procedure error trap: the procedure records the number of the statement
// it is about to run with at(); its catch block calls rethrow(), which passes
// the caught error up wrapped once with the procedure's name and that number.
//
//   Proc p(u"qorOrvaneUI.clsShowDispatch.FillRecordset()"_s);
//   try { p.at(10); ...; p.at(20); ... } catch (...) { p.rethrow(); }
class Proc {
public:
    explicit Proc(QString name, WrapStyle style = WrapStyle::Method,
                  QString sourceOverride = QString());

    void at(int line) noexcept { line_ = line; }
    int line() const noexcept { return line_; }
    const QString &name() const noexcept { return name_; }

    VbError wrap(const VbError &caught) const;
    [[noreturn]] void rethrow() const;

private:
    QString name_;
    QString source_;
    WrapStyle style_;
    int line_ = 0;
};

} // namespace orvane
