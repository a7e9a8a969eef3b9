#pragma once

#include "../transport/TransportFixture.h"
#include "runtime/vb.h"
#include "support/OrderOnlyInvoice.h"
#include "transport/TableObjects.h"

#include <QString>
#include <QStringList>

#include <vector>

// Hostile values for every filter and document the library builds: a table of
// fragments, each put through a table of combinators.
namespace hostile {

using namespace Qt::StringLiterals;

// A case on SQLite and on PostgreSQL, with the transport's table classes.
class StagingTest : public orvane::transport::test::TransportTest {
protected:
    void SetUp() override
    {
        TransportTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        orvane::transport::registerTransportClasses();
    }

    // An order of this case's shop, with no rows of its own.
    std::shared_ptr<orvane::test::OrderInvoiceWithEnv> invoice()
    {
        auto invoice = std::make_shared<orvane::test::OrderInvoiceWithEnv>();
        invoice->env = env_;
        return invoice;
    }
};

struct Fragment {
    const char *kind;
    QString text;
};

inline std::vector<Fragment> fragments()
{
    // One row per kind, in the order the corpus combines them.
    const std::pair<const char *, QStringList> kinds[] = {
        // Quotes and the splices a quoting routine would write.
        {"quote", {u"'"_s, u"''"_s, u"\""_s, u"O'Brien"_s, u"'';"_s, u"it's \"x\""_s}},
        {"splice",
         {u"\" & Chr(39) & \""_s, u"' + CHR(39) + '"_s, u"' + CHR(13) + CHR(10) + '"_s,
          u"\" & Chr$(34) & vbCrLf & \""_s, u"CHR(0)"_s}},
        // Control characters.
        {"nul", {u"a"_s + QChar(u'\0') + u"' OR '1'='1"_s, QString(QChar(u'\0'))}},
        {"break", {u"\r\n"_s, u"\r"_s, u"\n"_s, u"\n\r"_s, u"line1\r\nline2"_s}},
        {"tab", {u"\t"_s}},
        {"control", {u"\x01x\x08\x0B\x0C\x1B\x1F"_s, u"\x7F\x85\x9F"_s}},
        // Scripts.
        {"script",
         {u"Привет, мир"_s, u"東京都港区"_s, u"مرحبا بالعالم"_s, u"עברית"_s, u"ελληνικά"_s}},
        // Outside the basic plane and odd but valid characters.
        {"astral", {u"😀"_s, u"👩‍👩‍👧"_s, u"𝔘𝔫𝔦"_s, u"🇺🇸"_s, u"\U0010FFFF"_s}},
        {"odd",
         {u"\uFEFF"_s, u"\u202Eab\u202C"_s, u"\u200B\u200D"_s, u"e\u0301"_s, u"\uFFFD"_s,
          u"\uFDD0"_s, u"\u2028\u2029"_s}},
        // Not Unicode text: what a document cannot carry.
        {"lone", {u"\xD83D"_s, u"\xDE00z"_s, u"\uFFFE\uFFFF"_s}},
        // SQL.
        {"sql",
         {u"'; DROP TABLE g_trans; --"_s, u"' OR '1'='1"_s, u"' OR 1=1 --"_s, u"%"_s, u"_"_s,
          u"a%b_c"_s, u"["_s, u"[a-z]"_s, u"\\"_s, u"\\'"_s, u"--"_s, u"/*"_s, u"*/"_s, u";"_s,
          u"') UNION SELECT * FROM g_ackn --"_s, u"$1"_s, u"?"_s}},
        // XML.
        {"xml",
         {u"<"_s, u">"_s, u"&"_s, u"]]>"_s, u"&amp;"_s, u"&lt;b&gt;"_s,
          u"<?xml version=\"1.0\"?>"_s, u"<!DOCTYPE x [<!ENTITY e \"boom\">]>"_s, u"&e;"_s,
          u"<![CDATA[x]]>"_s, u"&#0;&#x1;"_s, u"<a b='c'>d</a>"_s, u"<!-- c -->"_s}},
        // The record-set criteria language.
        {"criteria",
         {u"#"_s, u"#1/1/2000#"_s, u"*"_s, u" Like "_s, u"x' Or 'a' = 'a"_s,
          u"x' And name Like '*"_s, u"Not"_s, u"()"_s, u"<>"_s, u"Null"_s, u"True"_s, u"+"_s}},
        // Plain, so that combinations have ordinary neighbours.
        {"plain", {u"abc"_s, u"12345"_s, u"  padded  "_s}},
    };
    std::vector<Fragment> out;
    for (const auto &[kind, texts] : kinds)
        for (const QString &text : texts)
            out.push_back({kind, text});
    return out;
}

// Every fragment alone, embedded, doubled, padded, and joined with a
// neighbour; without repeats.
inline QStringList corpus()
{
    const std::vector<Fragment> f = fragments();
    const qsizetype n = qsizetype(f.size());
    QStringList out;
    for (qsizetype i = 0; i < n; ++i) {
        const QString &a = f[size_t(i)].text;
        const QString &b = f[size_t((i + 7) % n)].text;
        const QString &c = f[size_t((i * 13 + 5) % n)].text;
        out << a << u"K"_s + a + u"Z"_s << a + a << u"  "_s + a + u" "_s << a + b << b + u"'"_s + a
            << u"P-"_s + a + u"-"_s + b + u"-"_s + c;
    }
    out.removeDuplicates();
    return out;
}

// A value of one megabyte (2^20 characters) of mixed hostile text.
inline QString megabyte()
{
    QString chunk;
    for (const Fragment &fr : fragments())
        if (!QStringList{u"lone"_s, u"nul"_s, u"control"_s}.contains(QString(fr.kind)))
            chunk += fr.text;
    QString out;
    out.reserve(1 << 20);
    while (out.size() < (1 << 20))
        out += chunk;
    out.truncate(1 << 20);
    if (out.back().isHighSurrogate())
        out.back() = u'x';
    return out;
}

// What a query text can carry of a value: SQLSafeText cuts it at a NUL and
// trims spaces.
inline QString queryKey(const QString &v)
{
    return vb::Trim(v.left(v.indexOf(QChar(u'\0'))));
}

// What a document can carry of a value: cut at a NUL, and without the
// characters XML 1.0 has no way to write.
inline QString xmlKept(const QString &v)
{
    const QString cut = v.left(v.indexOf(QChar(u'\0')));
    QString out;
    for (qsizetype i = 0; i < cut.size(); ++i) {
        const char16_t c = cut[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < cut.size() && cut[i + 1].isLowSurrogate()) {
            out += cut.mid(i, 2);
            ++i;
        } else if (!QChar::isSurrogate(c) && c != 0xFFFE && c != 0xFFFF &&
                   (c >= 0x20 || c == u'\t' || c == u'\n' || c == u'\r')) {
            out += QChar(c);
        }
    }
    return out;
}

// The first `size` characters (a surrogate pair is one), as a field of that
// defined size keeps them.
inline QString firstChars(const QString &v, int size)
{
    qsizetype i = 0;
    for (int k = 0; k < size && i < v.size(); ++k)
        i += (v[i].isHighSurrogate() && i + 1 < v.size() && v[i + 1].isLowSurrogate()) ? 2 : 1;
    return v.left(i);
}

// The texts in order, so that two lists compare as the same texts, each as
// often, whatever their order.
inline QStringList sorted(QStringList texts)
{
    texts.sort();
    return texts;
}

} // namespace hostile
