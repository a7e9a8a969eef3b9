#include <qorOrvaneUI/runtime/VbError.h>

#include <new>

using namespace Qt::StringLiterals;

namespace orvane {

VbError::VbError(long number, QString source, QString description)
    : number_(number), source_(std::move(source)), description_(std::move(description)),
      what_(QString(QString::number(number_) % u": "_s % description_).toStdString())
{
}

VbError typeMismatch(const QString &source)
{
    return {err::TypeMismatch, source, u"Type mismatch"_s};
}

VbError overflowError(const QString &source)
{
    return {err::Overflow, source, u"Overflow"_s};
}

VbError invalidUseOfNull(const QString &source)
{
    return {err::InvalidUseOfNull, source, u"Invalid use of Null"_s};
}

VbError noCurrentRecord(const QString &source)
{
    return {err::NoCurrentRecord, source,
            u"Either BOF or EOF is True, or the current record has been deleted. "
            u"Requested operation requires a current record."_s};
}

QString namingWhat(const QString &description, const QString &name)
{
    // The system's own text stays first and unchanged, so hosts that compare
    // its start keep working; the name is what a host developer needs to act.
    return name.isEmpty() ? description : description % u" (\""_s % name % u"\")"_s;
}

VbError itemNotFound(const QString &name, const QString &source)
{
    return {err::ItemNotFound, source,
            namingWhat(u"Item cannot be found in the collection corresponding to the requested "
                       u"name or ordinal."_s,
                       name)};
}

VbError objectVariableNotSet(const QString &source)
{
    return {err::ObjectVariableNotSet, source, u"Object variable or With block variable not set"_s};
}

VbError currentError()
{
    try {
        throw;
    } catch (const VbError &e) {
        return e;
    } catch (const std::bad_alloc &) {
        return {7, QString(), u"Out of memory"_s};
    } catch (const std::exception &e) {
        return {err::Unspecified, QString(), QString::fromLocal8Bit(e.what())};
    } catch (...) {
        return {err::Unspecified, QString(), u"Unknown error"_s};
    }
}

Proc::Proc(QString name, WrapStyle style, QString sourceOverride)
    : name_(std::move(name)), source_(std::move(sourceOverride)), style_(style)
{
    if (source_.isEmpty())
        source_ = name_;
}

VbError Proc::wrap(const VbError &caught) const
{
    const QString line = QString::number(line_);
    switch (style_) {
    case WrapStyle::Method:
        return {caught.number(), source_,
                name_ % u"\r\nLine : "_s % line % u"\r\n"_s % caught.description()};
    case WrapStyle::XmlRoutine:
        return {caught.number(), source_,
                caught.description() % u"\r\n"_s % name_ % u"\r\nLine # : "_s % line};
    case WrapStyle::XmlRoutineChained:
        return {caught.number(), caught.source() % u":"_s % source_,
                caught.description() % u"\r\n"_s % name_ % u"\r\nLine # : "_s % line};
    case WrapStyle::Utility:
        return {caught.number(), source_, caught.description() % u"\r\nLine : "_s % line};
    }
    return caught;
}

void Proc::rethrow() const
{
    throw wrap(currentError());
}

} // namespace orvane
