#pragma once

#include <QString>

namespace orvane::host {

// A settings file in the Windows profile format ("[section]" lines followed by
// "key=value" lines), read and written the way the shop's other programs
// expect to find it.
//
// The file is read afresh on every call: other programs (the transport service
// reads and clears "SendTrans") share it, and a cached copy would hide their
// changes or write stale values back.
//
// Encoding: the file is decoded as UTF-8 when its bytes are valid UTF-8 and as
// Latin-1 otherwise, so a file saved by an older editor still reads; it is
// always written back as UTF-8 (a byte-order mark is kept when the file had
// one, never added). Lines are written with CR LF endings.
class IniFile {
public:
    explicit IniFile(QString path);

    const QString &path() const { return path_; }

    // The value of `key` in `section`, spaces and tabs trimmed and one pair of
    // enclosing quotes removed; empty text when the file cannot be read or the
    // section or key is missing. Never throws.
    QString read(const QString &section, const QString &key) const;

    // Stores `value` verbatim, creating the file (whose folder must exist) and
    // the section as needed; a new key goes at the end of its section, an
    // existing one keeps its place and spelling. The file is replaced
    // atomically, so a failure leaves it as it was. Raises a VbError (75 for a
    // file or folder that cannot be read or written, 76 for a missing folder,
    // 5 for a section, key or value that would break the file's lines).
    void write(const QString &section, const QString &key, const QString &value);

private:
    QString path_;
};

} // namespace orvane::host
