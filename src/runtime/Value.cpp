#include <qorOrvaneUI/runtime/Value.h>

#include "runtime/vb.h"
#include <qorOrvaneUI/runtime/VbError.h>

#include <QLocale>
#include <QRegularExpression>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

using namespace Qt::StringLiterals;

namespace orvane {

namespace {

const QDate &zeroDate()
{
    static const QDate d(1899, 12, 30);
    return d;
}

constexpr std::int64_t MsecsPerDay = 86'400'000;

// Strict number syntax: optional sign, digits with an optional "." part, an
// optional exponent; nothing else but surrounding spaces. Scanned by hand: this
// runs for every number a document fills into a record set.
bool parseNumberText(const QString &text, double &out)
{
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && text[b] == u' ')
        ++b;
    while (e > b && text[e - 1] == u' ')
        --e;
    if (b == e)
        return false;
    auto digit = [&](qsizetype i) { return i < e && text[i] >= u'0' && text[i] <= u'9'; };
    qsizetype i = b;
    if (text[i] == u'+' || text[i] == u'-')
        ++i;
    qsizetype digits = 0;
    while (digit(i)) {
        ++i;
        ++digits;
    }
    if (i < e && text[i] == u'.') {
        ++i;
        while (digit(i)) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < e && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        if (i < e && (text[i] == u'+' || text[i] == u'-'))
            ++i;
        if (!digit(i))
            return false;
        while (digit(i))
            ++i;
    }
    if (i != e)
        return false;
    // The scan above admitted ASCII only, so the digits narrow losslessly.
    char buffer[64];
    std::string big;
    char *first = buffer;
    const qsizetype n = e - b;
    if (n > qsizetype(sizeof buffer)) {
        big.resize(size_t(n));
        first = big.data();
    }
    for (qsizetype k = 0; k < n; ++k)
        first[k] = char(text[b + k].unicode());
    const char *begin = first[0] == '+' ? first + 1 : first;
    const auto [ptr, ec] = std::from_chars(begin, first + n, out);
    if (ec == std::errc::result_out_of_range || !std::isfinite(out))
        throw overflowError();
    if (ec != std::errc() || ptr != first + n)
        return false;
    return true;
}

double textToDouble(const QString &text)
{
    double d = 0;
    if (!parseNumberText(text, d))
        throw typeMismatch();
    return d;
}

std::int64_t roundHalfEven(double d, double lo, double hi)
{
    if (!std::isfinite(d))
        throw overflowError();
    const double r = std::nearbyint(d); // the default rounding mode rounds halves to even
    // The callers' 9.223372036854775807e18 is 2^63 as a double, one past the
    // largest 64-bit integer: that bound is exclusive whatever a caller says.
    constexpr double TwoTo63 = 9223372036854775808.0;
    if (r < lo || r > hi || r < -TwoTo63 || r >= TwoTo63)
        throw overflowError();
    return static_cast<std::int64_t>(r);
}

// Exact decimal text to currency, rounding the fifth decimal half to even.
Currency textToCurrency(const QString &text)
{
    const QString s = vb::Trim(text);
    static const QRegularExpression re(u"^([+-]?)(\\d*)(?:\\.(\\d*))?$"_s);
    const auto m = re.match(s);
    if (!m.hasMatch() || (m.capturedLength(2) == 0 && m.capturedLength(3) == 0)) {
        // Exponent forms and the like go through double.
        const double d = textToDouble(s);
        return {
            roundHalfEven(d * Currency::Scale, -9.223372036854775807e18, 9.223372036854775807e18)};
    }
    const bool negative = m.captured(1) == u"-"_s;
    const QString intPart = m.captured(2);
    const QString fracPart = m.captured(3);
    __int128 scaled = 0;
    for (QChar c : intPart) {
        scaled = scaled * 10 + (c.unicode() - u'0');
        if (scaled > static_cast<__int128>(std::numeric_limits<std::int64_t>::max()))
            throw overflowError();
    }
    for (int i = 0; i < 4; ++i)
        scaled = scaled * 10 + (i < fracPart.size() ? fracPart[i].unicode() - u'0' : 0);
    if (fracPart.size() > 4) {
        const int next = fracPart[4].unicode() - u'0';
        bool beyond = false;
        for (qsizetype i = 5; i < fracPart.size(); ++i)
            beyond = beyond || fracPart[i] != u'0';
        if (next > 5 || (next == 5 && (beyond || (scaled % 2) != 0)))
            ++scaled;
    }
    if (negative)
        scaled = -scaled;
    if (scaled > static_cast<__int128>(std::numeric_limits<std::int64_t>::max()) ||
        scaled < static_cast<__int128>(std::numeric_limits<std::int64_t>::min()))
        throw overflowError();
    return {static_cast<std::int64_t>(scaled)};
}

DateValue doubleToDate(double d)
{
    if (!std::isfinite(d) || d < -657434.0 || d > 2958465.999999)
        throw overflowError();
    const double days = std::floor(d);
    const double fraction = d - days;
    auto msecs = static_cast<std::int64_t>(std::llround(fraction * double(MsecsPerDay)));
    DateValue v{static_cast<std::int64_t>(days), 0};
    if (msecs >= MsecsPerDay) {
        ++v.days;
        msecs = 0;
    }
    v.msecs = static_cast<std::int32_t>(msecs);
    return v;
}

DateValue textToDate(const QString &text)
{
    const QString s = vb::Trim(text);
    static const QRegularExpression iso(
        u"^(\\d{4})-(\\d{1,2})-(\\d{1,2})(?:[ T](\\d{1,2}):(\\d{2})(?::(\\d{2}))?)?$"_s);
    static const QRegularExpression us(
        u"^(\\d{1,2})/(\\d{1,2})/(\\d{4})(?: (\\d{1,2}):(\\d{2})(?::(\\d{2}))?)?$"_s);
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, se = 0;
    bool matched = false;
    if (auto m = iso.match(s); m.hasMatch()) {
        y = m.captured(1).toInt();
        mo = m.captured(2).toInt();
        d = m.captured(3).toInt();
        h = m.captured(4).toInt();
        mi = m.captured(5).toInt();
        se = m.captured(6).toInt();
        matched = true;
    } else if (auto m2 = us.match(s); m2.hasMatch()) {
        mo = m2.captured(1).toInt();
        d = m2.captured(2).toInt();
        y = m2.captured(3).toInt();
        h = m2.captured(4).toInt();
        mi = m2.captured(5).toInt();
        se = m2.captured(6).toInt();
        matched = true;
    }
    if (matched) {
        const QDate date(y, mo, d);
        const QTime time(h, mi, se);
        if (!date.isValid() || !time.isValid())
            throw typeMismatch();
        return DateValue::fromDateTime(QDateTime(date, time));
    }
    const QDate local = QLocale::system().toDate(s, QLocale::ShortFormat);
    if (local.isValid())
        return DateValue::fromDate(local);
    throw typeMismatch();
}

} // namespace

DateValue DateValue::fromDate(const QDate &d)
{
    return {zeroDate().daysTo(d), 0};
}

DateValue DateValue::fromDateTime(const QDateTime &dt)
{
    return {zeroDate().daysTo(dt.date()), dt.time().msecsSinceStartOfDay()};
}

QDate DateValue::date() const
{
    return zeroDate().addDays(days);
}

QTime DateValue::time() const
{
    return QTime::fromMSecsSinceStartOfDay(msecs);
}

QDateTime DateValue::toDateTime() const
{
    return QDateTime(date(), time());
}

Value Value::null()
{
    Value v;
    v.v_ = NullTag{};
    return v;
}

ValueKind Value::kind() const
{
    return static_cast<ValueKind>(v_.index());
}

bool Value::isNumeric() const
{
    switch (kind()) {
    case ValueKind::Int32:
    case ValueKind::Int64:
    case ValueKind::Double:
    case ValueKind::Currency:
        return true;
    default:
        return false;
    }
}

QString Value::toText() const
{
    switch (kind()) {
    case ValueKind::Empty:
        return {};
    case ValueKind::Null:
        throw invalidUseOfNull();
    case ValueKind::Text:
        return std::get<QString>(v_);
    case ValueKind::Int32:
        return QString::number(std::get<std::int32_t>(v_));
    case ValueKind::Int64:
        return QString::number(std::get<std::int64_t>(v_));
    case ValueKind::Double:
        return vb::NumberText(std::get<double>(v_));
    case ValueKind::Currency:
        return vb::CurrencyText(std::get<Currency>(v_));
    case ValueKind::Date: {
        const DateValue &d = std::get<DateValue>(v_);
        QString text = vb::FormatShortDate(d);
        if (d.msecs != 0)
            text = text % u" "_s % vb::FormatHHMMSS(d.time());
        return text;
    }
    case ValueKind::Bool:
        return std::get<bool>(v_) ? u"True"_s : u"False"_s;
    }
    return {};
}

double Value::toDouble() const
{
    switch (kind()) {
    case ValueKind::Empty:
        return 0;
    case ValueKind::Null:
        throw invalidUseOfNull();
    case ValueKind::Text:
        return textToDouble(std::get<QString>(v_));
    case ValueKind::Int32:
        return std::get<std::int32_t>(v_);
    case ValueKind::Int64:
        return double(std::get<std::int64_t>(v_));
    case ValueKind::Double:
        return std::get<double>(v_);
    case ValueKind::Currency:
        return std::get<Currency>(v_).toDouble();
    case ValueKind::Date: {
        const DateValue &d = std::get<DateValue>(v_);
        return double(d.days) + double(d.msecs) / double(MsecsPerDay);
    }
    case ValueKind::Bool:
        return std::get<bool>(v_) ? -1.0 : 0.0;
    }
    return 0;
}

std::int64_t Value::toInt64() const
{
    switch (kind()) {
    case ValueKind::Int32:
        return std::get<std::int32_t>(v_);
    case ValueKind::Int64:
        return std::get<std::int64_t>(v_);
    case ValueKind::Currency: {
        const std::int64_t s = std::get<Currency>(v_).scaled;
        std::int64_t q = s / Currency::Scale;
        const std::int64_t r = s % Currency::Scale;
        const std::int64_t twice = 2 * (r < 0 ? -r : r);
        if (twice > Currency::Scale || (twice == Currency::Scale && (q % 2) != 0))
            q += (s < 0 ? -1 : 1);
        return q;
    }
    case ValueKind::Text: {
        // Whole numbers in text convert exactly, beyond double's 53 bits.
        const QString t = vb::Trim(std::get<QString>(v_));
        bool ok = false;
        const qlonglong n = t.toLongLong(&ok);
        if (ok)
            return n;
        return roundHalfEven(textToDouble(t), -9.223372036854775807e18, 9.223372036854775807e18);
    }
    default:
        return roundHalfEven(toDouble(), -9.223372036854775807e18, 9.223372036854775807e18);
    }
}

std::int32_t Value::toInt32() const
{
    const std::int64_t n = toInt64();
    if (n < std::numeric_limits<std::int32_t>::min() ||
        n > std::numeric_limits<std::int32_t>::max())
        throw overflowError();
    return static_cast<std::int32_t>(n);
}

Currency Value::toCurrency() const
{
    switch (kind()) {
    case ValueKind::Currency:
        return std::get<Currency>(v_);
    case ValueKind::Text:
        return textToCurrency(std::get<QString>(v_));
    case ValueKind::Int32:
        return Currency::fromUnits(std::get<std::int32_t>(v_));
    case ValueKind::Int64: {
        const std::int64_t n = std::get<std::int64_t>(v_);
        if (n > std::numeric_limits<std::int64_t>::max() / Currency::Scale ||
            n < std::numeric_limits<std::int64_t>::min() / Currency::Scale)
            throw overflowError();
        return Currency::fromUnits(n);
    }
    default:
        return {roundHalfEven(toDouble() * Currency::Scale, -9.223372036854775807e18,
                              9.223372036854775807e18)};
    }
}

DateValue Value::toDate() const
{
    switch (kind()) {
    case ValueKind::Empty:
        return {};
    case ValueKind::Null:
        throw invalidUseOfNull();
    case ValueKind::Date:
        return std::get<DateValue>(v_);
    case ValueKind::Text: {
        const QString &t = std::get<QString>(v_);
        double d = 0;
        if (parseNumberText(t, d))
            return doubleToDate(d);
        return textToDate(t);
    }
    case ValueKind::Bool:
        throw typeMismatch();
    default:
        return doubleToDate(toDouble());
    }
}

bool Value::toBool() const
{
    switch (kind()) {
    case ValueKind::Empty:
        return false;
    case ValueKind::Null:
        throw invalidUseOfNull();
    case ValueKind::Bool:
        return std::get<bool>(v_);
    case ValueKind::Text: {
        const QString t = vb::Trim(std::get<QString>(v_));
        if (t.compare(u"True"_s, Qt::CaseInsensitive) == 0)
            return true;
        if (t.compare(u"False"_s, Qt::CaseInsensitive) == 0)
            return false;
        return textToDouble(t) != 0;
    }
    case ValueKind::Currency:
        return std::get<Currency>(v_).scaled != 0;
    default:
        return toDouble() != 0;
    }
}

Value Value::convertedTo(ValueKind target) const
{
    if (isEmpty() || isNull() || kind() == target)
        return *this;
    switch (target) {
    case ValueKind::Empty:
        return {};
    case ValueKind::Null:
        return null();
    case ValueKind::Text:
        return toText();
    case ValueKind::Int32:
        return toInt32();
    case ValueKind::Int64:
        return toInt64();
    case ValueKind::Double:
        return toDouble();
    case ValueKind::Currency:
        return toCurrency();
    case ValueKind::Date:
        return toDate();
    case ValueKind::Bool:
        return toBool();
    }
    return *this;
}

} // namespace orvane
