#pragma once

#include <qorOrvaneUI/runtime/Value.h>

#include <QString>

// The BASIC-style helpers the library's routines are written with. They keep
// the runtime's rules (spaces-only trimming, "." as the only decimal separator,
// carrying date parts) so that ported logic gives the same results.
namespace vb {

// Reads the leading number of a text, skipping spaces, tabs and line feeds
// anywhere in it ("1 2" is 12, "2abc" is 2, "" is 0, "&HFF" is 255).
double Val(const QString &text);

// A date from year, month and day; months and days out of range carry into the
// neighbouring month or year. Years 0 to 99 are read as 1930 to 2029; the
// result must fall in the years 100 to 9999 or it fails with 5.
orvane::DateValue DateSerial(int year, int month, int day);

// Removes spaces only (not tabs or line breaks).
QString Trim(const QString &s);
QString LTrim(const QString &s);
QString RTrim(const QString &s);
QString UCase(const QString &s);

// Character slicing with the runtime's 1-based positions; lengths past the end are cut.
QString Left(const QString &s, qsizetype n);
QString Right(const QString &s, qsizetype n);
QString Mid(const QString &s, qsizetype start, qsizetype length = -1);

// The character of code n (0 to 255, else it fails with 5) as the runtime
// answers it: Windows-1252, whose 0x80-0x9F block differs from Latin-1.
QChar Chr(int n);

// What a bare name is in the criteria and filter texts: an ASCII letter or '_'
// first, then letters, digits and '_'. Anything else is written in brackets
// (criteria) or not at all (filters).
bool IsNameStart(QChar c);
bool IsNamePart(QChar c);

// "YYYYMMDD", "hh:mm:ss" and the user's short date format.
QString FormatYYYYMMDD(const orvane::DateValue &d);
QString FormatHHMMSS(const QTime &t);
QString FormatShortDate(const orvane::DateValue &d);

// Number to text as the runtime prints it: at most 15 significant digits, no
// trailing zeros, "." as the separator.
QString NumberText(double d);
QString CurrencyText(orvane::Currency c);

} // namespace vb
