#include "runtime/vb.h"

#include <qorOrvaneUI/runtime/VbError.h>

#include <QLocale>

#include <cmath>

using namespace Qt::StringLiterals;

namespace vb {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

double radixPrefix(const QString &s, qsizetype i, int radix)
{
    double n = 0;
    for (; i < s.size(); ++i) {
        const char16_t c = s[i].toUpper().unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'A' && c <= u'F')
            digit = 10 + (c - u'A');
        if (digit < 0 || digit >= radix)
            break;
        n = n * radix + digit;
    }
    return n;
}

} // namespace

double Val(const QString &text)
{
    QString s;
    s.reserve(text.size());
    for (QChar c : text)
        if (!isBlank(c))
            s.append(c);

    if (s.size() >= 2 && s[0] == u'&') {
        const QChar kind = s[1].toUpper();
        if (kind == u'H')
            return radixPrefix(s, 2, 16);
        if (kind == u'O')
            return radixPrefix(s, 2, 8);
    }

    qsizetype i = 0;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
        ++i;
    const qsizetype digitsStart = i;
    while (i < s.size() && isDigit(s[i]))
        ++i;
    if (i < s.size() && s[i] == u'.') {
        ++i;
        while (i < s.size() && isDigit(s[i]))
            ++i;
    }
    if (i == digitsStart || (i == digitsStart + 1 && s[digitsStart] == u'.'))
        return 0;
    qsizetype end = i;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E' || s[i] == u'd' || s[i] == u'D')) {
        qsizetype j = i + 1;
        if (j < s.size() && (s[j] == u'+' || s[j] == u'-'))
            ++j;
        if (j < s.size() && isDigit(s[j])) {
            while (j < s.size() && isDigit(s[j]))
                ++j;
            end = j;
        }
    }
    QString number = s.left(end);
    number.replace(u'd', u'e').replace(u'D', u'e');
    bool ok = false;
    const double d = number.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        throw orvane::overflowError(u"Val"_s);
    return d;
}

orvane::DateValue DateSerial(int year, int month, int day)
{
    // Carry months first (month 0 is December of the year before), then days
    // from the first of that month (day 0 is the last day of the month before).
    // Two-digit years: 0-29 are 2000-2029, 30-99 are 1930-1999.
    if (year >= 0 && year < 30)
        year += 2000;
    else if (year >= 30 && year < 100)
        year += 1900;
    long long m0 = static_cast<long long>(month) - 1;
    long long y = year + (m0 >= 0 ? m0 / 12 : -((-m0 + 11) / 12));
    long long m = ((m0 % 12) + 12) % 12 + 1;
    if (y < 100 || y > 9999)
        throw orvane::VbError(orvane::err::InvalidProcedureCall, u"DateSerial"_s,
                              u"Invalid procedure call or argument"_s);
    const QDate first(int(y), int(m), 1);
    const QDate result = first.addDays(static_cast<qint64>(day) - 1);
    if (!result.isValid() || result.year() < 100 || result.year() > 9999)
        throw orvane::VbError(orvane::err::InvalidProcedureCall, u"DateSerial"_s,
                              u"Invalid procedure call or argument"_s);
    return orvane::DateValue::fromDate(result);
}

QString LTrim(const QString &s)
{
    qsizetype i = 0;
    while (i < s.size() && s[i] == u' ')
        ++i;
    return s.mid(i);
}

QString RTrim(const QString &s)
{
    qsizetype n = s.size();
    while (n > 0 && s[n - 1] == u' ')
        --n;
    return s.left(n);
}

QString Trim(const QString &s)
{
    return LTrim(RTrim(s));
}

QString UCase(const QString &s)
{
    return s.toUpper();
}

QChar Chr(int n)
{
    static constexpr char16_t cp1252[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    if (n < 0 || n > 255)
        throw orvane::VbError(orvane::err::InvalidProcedureCall, u"Chr"_s,
                              u"Invalid procedure call or argument"_s);
    if (n >= 0x80 && n <= 0x9F)
        return QChar(cp1252[n - 0x80]);
    return QChar(char16_t(n));
}

bool IsNameStart(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
}

bool IsNamePart(QChar c)
{
    return IsNameStart(c) || (c >= u'0' && c <= u'9');
}

QString Left(const QString &s, qsizetype n)
{
    return n <= 0 ? QString() : s.left(n);
}

QString Right(const QString &s, qsizetype n)
{
    return n <= 0 ? QString() : s.right(n);
}

QString Mid(const QString &s, qsizetype start, qsizetype length)
{
    if (start < 1)
        throw orvane::VbError(orvane::err::InvalidProcedureCall, u"Mid"_s,
                              u"Invalid procedure call or argument"_s);
    if (start > s.size())
        return {};
    return length < 0 ? s.mid(start - 1) : s.mid(start - 1, length);
}

QString FormatYYYYMMDD(const orvane::DateValue &d)
{
    const QDate date = d.date();
    return u"%1%2%3"_s.arg(date.year(), 4, 10, QChar(u'0'))
        .arg(date.month(), 2, 10, QChar(u'0'))
        .arg(date.day(), 2, 10, QChar(u'0'));
}

QString FormatHHMMSS(const QTime &t)
{
    return t.toString(u"HH:mm:ss"_s);
}

QString FormatShortDate(const orvane::DateValue &d)
{
    return QLocale::system().toString(d.date(), QLocale::ShortFormat);
}

QString NumberText(double d)
{
    if (d == 0)
        return u"0"_s;
    QString s = QString::number(d, 'g', 15);
    // The runtime prints exponents as E+20 / E-07 and never "1e+20".
    const qsizetype e = s.indexOf(u'e');
    if (e >= 0) {
        QString mantissa = s.left(e);
        QString exponent = s.mid(e + 1);
        const QChar sign = exponent[0];
        QString digits = exponent.mid(1);
        while (digits.size() < 2)
            digits.prepend(u'0');
        s = mantissa % u"E"_s % sign % digits;
    }
    return s;
}

QString CurrencyText(orvane::Currency c)
{
    const bool negative = c.scaled < 0;
    // Work in unsigned so the most negative value does not overflow.
    const unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(c.scaled)
                                                  : static_cast<unsigned long long>(c.scaled);
    const unsigned long long units = magnitude / orvane::Currency::Scale;
    unsigned long long fraction = magnitude % orvane::Currency::Scale;
    QString text = QString::number(units);
    if (fraction != 0) {
        QString f = u"%1"_s.arg(fraction, 4, 10, QChar(u'0'));
        while (f.endsWith(u'0'))
            f.chop(1);
        text = text % u"."_s % f;
    }
    return negative ? u"-"_s % text : text;
}

} // namespace vb
