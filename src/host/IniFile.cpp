#include "host/IniFile.h"

#include <qorOrvaneUI/runtime/VbError.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStringDecoder>

#include <vector>

using namespace Qt::StringLiterals;

namespace orvane::host {

namespace {

constexpr long PathFileAccessError = 75;
constexpr long PathNotFound = 76;

const QByteArray Utf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// The profile format trims spaces and tabs only; other white space is content.
QString trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin).toString();
}

struct Text {
    std::vector<QString> lines;
    bool bom = false;
};

Text decode(const QByteArray &data)
{
    Text text;
    text.bom = data.startsWith(Utf8Bom);
    QStringDecoder utf8(QStringConverter::Utf8);
    QString decoded = utf8(data);
    if (utf8.hasError()) {
        // Not UTF-8: an older editor's 8-bit file. Latin-1 maps every byte, so
        // nothing is lost when the file is written back.
        decoded = QString::fromLatin1(data);
        text.bom = false;
    }
    const QStringList lines = decoded.split(u'\n');
    for (const QString &line : lines)
        text.lines.push_back(line.endsWith(u'\r') ? line.chopped(1) : line);
    // A final line break ends the last line rather than starting an empty one.
    if (!text.lines.empty() && text.lines.back().isEmpty())
        text.lines.pop_back();
    return text;
}

QByteArray encode(const Text &text)
{
    QString joined;
    for (const QString &line : text.lines)
        joined += line + u"\r\n"_s;
    QByteArray data = text.bom ? Utf8Bom : QByteArray();
    data += joined.toUtf8();
    return data;
}

bool isComment(QStringView line)
{
    for (QChar c : line) {
        if (!isBlank(c))
            return c == u';';
    }
    return false;
}

// The name of the section a "[name]" line opens; false for other lines.
bool sectionOf(QStringView line, QString &name)
{
    const QString trimmed = trimBlanks(line);
    if (!trimmed.startsWith(u'['))
        return false;
    qsizetype close = trimmed.indexOf(u']');
    if (close < 0)
        close = trimmed.size();
    name = trimBlanks(QStringView(trimmed).mid(1, close - 1));
    return true;
}

// The key and raw value of a "key=value" line; false for other lines.
bool entryOf(QStringView line, QString &key, QStringView &value)
{
    if (isComment(line))
        return false;
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return false;
    key = trimBlanks(line.left(eq));
    value = line.mid(eq + 1);
    return true;
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Where a key stands in the file. Only the first section of a name counts,
// and within it the first entry of a key, as the profile functions behave.
struct Place {
    qsizetype section = -1;     // the "[section]" line
    qsizetype entry = -1;       // the key's line
    qsizetype lastContent = -1; // the section's last non-blank line
    QString keySpelling;        // the key as the file writes it
    QStringView value;
};

Place locate(const std::vector<QString> &lines, const QString &section, const QString &key)
{
    Place place;
    bool inside = false;
    for (qsizetype i = 0; i < qsizetype(lines.size()); ++i) {
        const QString &line = lines[size_t(i)];
        QString name;
        if (sectionOf(line, name)) {
            if (inside)
                break;
            if (sameName(name, section)) {
                inside = true;
                place.section = i;
                place.lastContent = i;
            }
            continue;
        }
        if (!inside)
            continue;
        if (!trimBlanks(line).isEmpty())
            place.lastContent = i;
        QString entryKey;
        QStringView value;
        if (place.entry < 0 && entryOf(line, entryKey, value) && sameName(entryKey, key)) {
            place.entry = i;
            place.keySpelling = entryKey;
            place.value = value;
        }
    }
    return place;
}

QString unquoted(QStringView raw)
{
    QString value = trimBlanks(raw);
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

[[noreturn]] void fail(long number, const QString &description)
{
    throw VbError(number, u"qorHost.IniFile.write"_s, description);
}

// Permission bits as a read-only attribute: a file or folder without any
// write bit is read-only even for an administrator, as on the shop's Windows
// machines, where the attribute stops every writer.
bool writable(const QFileInfo &info)
{
    constexpr QFile::Permissions anyWrite =
        QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return info.isWritable() && (info.permissions() & anyWrite);
}

void checkArguments(const QString &path, const QString &section, const QString &key,
                    const QString &value)
{
    auto breaksLine = [](const QString &s) { return s.contains(u'\r') || s.contains(u'\n'); };
    if (path.isEmpty())
        fail(err::InvalidProcedureCall, u"No settings file was named."_s);
    if (section.isEmpty() || section.contains(u']') || breaksLine(section))
        fail(err::InvalidProcedureCall,
             u"\"%1\" cannot be a section of the settings file %2."_s.arg(section, path));
    if (key.isEmpty() || key.contains(u'=') || key.startsWith(u';') || key.startsWith(u'[') ||
        breaksLine(key))
        fail(err::InvalidProcedureCall,
             u"\"%1\" cannot be a key of the settings file %2."_s.arg(key, path));
    // A line break in the value would start a new entry or section in the file.
    if (breaksLine(value))
        fail(err::InvalidProcedureCall,
             u"The value for \"%1\" in [%2] of %3 contains a line break, which a settings "
             "file cannot hold."_s.arg(key, section, path));
}

} // namespace

IniFile::IniFile(QString path) : path_(std::move(path)) {}

QString IniFile::read(const QString &section, const QString &key) const
{
    QFile file(path_);
    if (path_.isEmpty() || !file.open(QIODevice::ReadOnly))
        return QString();
    const Text text = decode(file.readAll());
    const Place place = locate(text.lines, trimBlanks(section), trimBlanks(key));
    return place.entry < 0 ? QString() : unquoted(place.value);
}

void IniFile::write(const QString &rawSection, const QString &rawKey, const QString &value)
{
    const QString section = trimBlanks(rawSection);
    const QString key = trimBlanks(rawKey);
    checkArguments(path_, section, key, value);

    const QFileInfo info(path_);
    const QString native = QDir::toNativeSeparators(info.absoluteFilePath());
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir())
        fail(PathNotFound, u"The folder of the settings file %1 does not exist."_s.arg(native));
    if (info.exists()) {
        if (info.isDir())
            fail(PathFileAccessError, u"The settings file %1 is a folder."_s.arg(native));
        if (!writable(info))
            fail(PathFileAccessError, u"The settings file %1 is read-only."_s.arg(native));
    }
    // The file is replaced through a temporary file beside it, so the folder
    // must take new files even when the settings file itself is writable.
    if (!writable(folder))
        fail(PathFileAccessError,
             u"The folder of the settings file %1 is read-only."_s.arg(native));

    // Keeps two of our own processes from losing each other's change between
    // read and rename. A lock that cannot be had in time is not worth failing
    // the write for: the rename still keeps the file whole.
    QLockFile lock(info.absoluteFilePath() + u".lock"_s);
    lock.setStaleLockTime(10000);
    lock.tryLock(2000);

    Text text;
    if (info.exists()) {
        QFile current(path_);
        if (!current.open(QIODevice::ReadOnly))
            fail(PathFileAccessError,
                 u"The settings file %1 cannot be read: %2"_s.arg(native, current.errorString()));
        text = decode(current.readAll());
    }

    const Place place = locate(text.lines, section, key);
    if (place.entry >= 0) {
        text.lines[size_t(place.entry)] = place.keySpelling + u'=' + value;
    } else if (place.section >= 0) {
        text.lines.insert(text.lines.begin() + place.lastContent + 1, key + u'=' + value);
    } else {
        text.lines.push_back(u'[' + section + u']');
        text.lines.push_back(key + u'=' + value);
    }

    QSaveFile out(path_);
    if (!out.open(QIODevice::WriteOnly))
        fail(PathFileAccessError,
             u"The settings file %1 cannot be written: %2"_s.arg(native, out.errorString()));
    const QByteArray data = encode(text);
    if (out.write(data) != data.size() || !out.commit())
        fail(PathFileAccessError,
             u"The settings file %1 cannot be written: %2"_s.arg(native, out.errorString()));
}

} // namespace orvane::host
