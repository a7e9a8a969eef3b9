// Included ahead of every test file (see tests/CMakeLists.txt): a failed
// comparison shows Qt texts as text, every character outside printable ASCII
// escaped, instead of a dump of their UTF-16 code units.
#pragma once

#include <QString>

#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"';
    for (const QChar c : s) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F)
            *os << char(c.unicode());
        else
            *os << "\\u" << QString::number(c.unicode(), 16).rightJustified(4, u'0').toStdString();
    }
    *os << '"';
}
