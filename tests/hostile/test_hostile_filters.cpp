// Every hostile value through the filters the library writes: record-set
// criteria in memory, and the staging-table filters on SQLite and PostgreSQL.
// A filter must find exactly the rows planted with the value, never a
// neighbour, and never fail.
#include "hostile/HostileCorpus.h"
#include "runtime/RuntimeHelpers.h"

#include "qorOrvaneUI/core/modOrvane.h"
#include "qorOrvaneUI/dispatch/ChooseDispatchfrm.h"
#include <qorOrvaneUI/external/IInscoIdList.h>
#include <qorOrvaneUI/external/Ig_trans.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/loss/eNOLcls.h>
#include <qorOrvaneUI/runtime/Recordset.h>

#include <QLineEdit>

#include <gtest/gtest.h>

using orvane::dispatch::ChooseDispatchfrm;
using orvane::loss::eNOLcls;
namespace modOrvane = orvane::modOrvane;

using namespace Qt::StringLiterals;
using orvane::Recordset;

namespace {

// The neighbours planted beside each value: longer, shorter, and with its
// wildcards turned into ordinary letters.
QStringList neighbours(const QString &key)
{
    QString tame = key;
    for (const QChar c : {u'%', u'_', u'*', u'?', u'#', u'['})
        tame.replace(c, u'x');
    QStringList out{key + u"9"_s, u"9"_s + key};
    if (key.size() > 1)
        out << key.chopped(key.back().isLowSurrogate() ? 2 : 1);
    if (tame != key)
        out << tame;
    return out;
}

// The value as a column of `width` characters holds it and a query text
// carries it: cut, then trimmed, until both agree.
QString keyFor(const QString &value, int width)
{
    QString key = hostile::queryKey(value);
    while (width > 0 && hostile::firstChars(key, width) != key)
        key = hostile::queryKey(hostile::firstChars(key, width));
    return key;
}

// The distinct keys of the corpus that a database text column can hold, each
// leaving room for one more character. A lone surrogate is not text; SQLite
// reads U+FFFE and U+FFFF back as U+FFFD; Qt's PostgreSQL driver takes a
// leading U+FEFF for a byte-order mark and drops it on reading (the rows
// still match; only the text read back is short of it).
QStringList storableKeys(int width)
{
    QStringList keys;
    for (const QString &v : hostile::corpus()) {
        const QString key = keyFor(v, width - 1);
        if (!key.isEmpty() && key.isValidUtf16() && key[0] != QChar(0xFEFF) &&
            !key.contains(QChar(0xFFFE)) && !key.contains(QChar(0xFFFF)) && !keys.contains(key))
            keys << key;
    }
    return keys;
}

} // namespace

// The library's criteria for a typed or received value (a part number, an
// opening or position name) put through Find and Filter.
TEST(HostileCriteria, EqualityFindsAndFiltersExactlyTheEqualRows)
{
    QStringList keys;
    for (const QString &v : hostile::corpus())
        if (const QString key = hostile::queryKey(v); !key.isEmpty() && !keys.contains(key))
            keys << key;

    Recordset rs = orvane::test::openRecordset({{u"name"_s, 202}});
    QStringList planted;
    for (const QString &key : keys)
        planted << key << neighbours(key);
    for (const QString &v : planted)
        rs.loadRow({v});

    for (const QString &key : keys) {
        SCOPED_TRACE(key.toStdString());
        const QString criteria = u"name = '"_s % modOrvane::SQLSafeText(key) % u"'"_s;
        QStringList expected;
        for (const QString &v : planted)
            if (v.compare(key, Qt::CaseInsensitive) == 0)
                expected << v;

        rs.setFilter(criteria);
        QStringList got;
        for (; !rs.eof(); rs.moveNext())
            got << rs.value(u"name"_s).toText();
        EXPECT_EQ(hostile::sorted(got), hostile::sorted(expected));

        rs.setFilter(QString());
        rs.moveFirst();
        rs.find(criteria);
        EXPECT_EQ(rs.value(u"name"_s).toText().compare(key, Qt::CaseInsensitive), 0);
    }
}

namespace {

using orvane::transport::test::Db;
using Rows = std::vector<std::vector<std::pair<QString, orvane::Value>>>;

class HostileStaging : public hostile::StagingTest {
protected:
    // Rows added in one save: each a list of column values.
    template <class T> void plant(const char16_t *progId, const Rows &rows)
    {
        auto t = object<T>(progId);
        if constexpr (std::is_same_v<T, orvane::ext::Ig_trans>)
            t->get_g_trans(u"guid = '1' AND guid <> '1'"_s);
        else
            t->get_g_inscoid(u"destpid = '1' AND destpid <> '1'"_s);
        Recordset rs = t->itemsrecordset();
        for (const auto &row : rows) {
            rs.addNew();
            for (const auto &[column, value] : row)
                rs.setValue(column, value);
            rs.update();
        }
        t->Update();
    }
};

} // namespace

// The dispatch search: a prefix of the record id, typed by the user.
TEST_P(HostileStaging, DispatchSearchFindsExactlyTheRecordIdsStartingWithTheText)
{
    const QStringList keys = storableKeys(50);
    Rows rows;
    QStringList dispatches;
    int n = 0;
    auto row = [&](const QString &type, const QString &recid) {
        rows.push_back({{u"guid"_s, QString::number(++n)},
                        {u"rectype"_s, type},
                        {u"recid"_s, recid},
                        {u"daskid"_s, 0},
                        {u"daskloc"_s, 0},
                        {u"processed"_s, false}});
    };
    for (const QString &key : keys) {
        // The same id under another record type must stay out of the search.
        row(u"ENOL"_s, key);
        for (const QString &v : QStringList{key} + neighbours(key)) {
            row(u"DISPATCH"_s, v);
            dispatches << v;
        }
    }
    plant<orvane::ext::Ig_trans>(orvane::ext::progid::g_trans, rows);

    ChooseDispatchfrm view;
    view.setInvoice(invoice());
    for (const QString &key : keys) {
        SCOPED_TRACE(key.toStdString());
        view.txtDispatchNum->setText(key);
        view.cmdFind_Click();
        ASSERT_TRUE(env_->errors->reports.empty())
            << env_->errors->reports.front().text.toStdString();
        QStringList expected;
        for (const QString &v : dispatches)
            if (v.startsWith(key, Qt::CaseInsensitive))
                expected << v;
        QStringList got;
        for (Recordset rs = view.dispatchList()->itemsrecordset(); !rs.eof(); rs.moveNext())
            got << rs.value(u"recid"_s).toText();
        EXPECT_EQ(hostile::sorted(got), hostile::sorted(expected));
    }
}

// The insurance-company list of a participant and network: two typed IDs.
TEST_P(HostileStaging, CompanyIdListFindsExactlyThePairOfIds)
{
    const QStringList keys = storableKeys(20);
    Rows rows;
    struct Pair {
        QString dest, orig;
    };
    std::vector<Pair> planted;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QString &dest = keys[i], &orig = keys[(i + 1) % keys.size()];
        std::vector<Pair> mine{{dest, orig}, {orig, dest}, {dest, orig + u"9"_s}};
        for (const QString &v : neighbours(dest))
            mine.push_back({v, orig});
        for (const Pair &p : mine) {
            rows.push_back({{u"destpid"_s, p.dest}, {u"origpid"_s, p.orig}});
            planted.push_back(p);
        }
    }
    plant<orvane::ext::IInscoIdList>(orvane::ext::progid::g_inscoid, rows);

    auto list = object<orvane::ext::IInscoIdList>(orvane::ext::progid::g_inscoid);
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QString &dest = keys[i], &orig = keys[(i + 1) % keys.size()];
        SCOPED_TRACE(QString(dest % u" / "_s % orig).toStdString());
        list->get_g_inscoid(eNOLcls::inscoidFilter(dest, orig));
        int expected = 0;
        for (const Pair &p : planted)
            expected += p.dest == dest && p.orig == orig;
        EXPECT_EQ(list->itemsrecordset().recordCount(), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, HostileStaging, ::testing::Values(Db::SQLite, Db::PostgreSQL),
                         orvane::transport::test::backendName);
