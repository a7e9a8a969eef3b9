// Writes the field contract's tables into the host guide between its markers
// (--write), or fails when the guide's tables differ from the contract.
// Usage: contract_doc GUIDE.md [--write]
#include "qorOrvaneUI/core/FieldContract.h"

#include <QFile>
#include <QString>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: contract_doc GUIDE.md [--write]\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    const bool write = argc > 2 && QByteArray(argv[2]) == "--write";
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    const QString guide = QString::fromUtf8(file.readAll());
    file.close();
    const QString begin = QStringLiteral("<!-- field contract: ./dev contract writes this -->\n");
    const QString end = QStringLiteral("<!-- end of field contract -->");
    const qsizetype from = guide.indexOf(begin);
    const qsizetype to = guide.indexOf(end);
    if (from < 0 || to < from) {
        std::fprintf(stderr, "%s has no field contract markers\n", argv[1]);
        return 2;
    }
    const QString updated =
        guide.left(from + begin.size()) + orvane::contract::markdown() + guide.mid(to);
    if (updated == guide)
        return 0;
    if (!write) {
        std::fprintf(stderr,
                     "%s: the field tables differ from the library's field contract; "
                     "run ./dev contract\n",
                     argv[1]);
        return 1;
    }
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(updated.toUtf8()) < 0) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 2;
    }
    return 0;
}
