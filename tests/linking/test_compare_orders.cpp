#include "linking/LinkingFixture.h"

#include "qorOrvaneUI/dispatch/OrderComparison.h"
#include "runtime/RuntimeHelpers.h"
#include "runtime/vb.h"
#include "support/OrderOnlyInvoice.h"
#include "support/StubEnvironment.h"

using namespace linkingtest;
using namespace orvane;

namespace {

// An order of the fields the comparison reads, every one given a value.
class FakeOrder : public test::OrderInvoiceWithEnv {
public:
    explicit FakeOrder(std::shared_ptr<ext::IEnvironment> environment)
    {
        env = std::move(environment);
        const std::vector<std::tuple<QString, int, Value>> typed{
            {u"billto_id"_s, ftype::Int32, 1},
            {u"discountid"_s, ftype::Int32, 1},
            {u"lossdate"_s, ftype::Date, QDate(2026, 2, 1)},
            {u"dispdate"_s, ftype::Date, QDate(2026, 2, 2)},
            {u"deductible"_s, ftype::Currency, Currency::fromUnits(100)},
            {u"installdat"_s, ftype::Date, QDate(2026, 2, 3)},
            {u"inshop"_s, ftype::Bool, false},
        };
        const QString texts =
            u"b_company=Cascade|discounttext= Net 25 |dispatch=D-1|carid=CV1|year=2019|make=Honda|"
            u"model=Civic|body=Sedan|s_first=Alex|s_last=Morgan|s_address=12 Elm|s_city=Portland|"
            u"s_state=OR|s_zip=97205|s_area1=503|s_phone1=5550100|s_area2=503|s_phone2=5550101|"
            u"a_first=Dana|a_last=Okafor|a_area=503|a_phone=5550123"_s;
        for (const auto &[name, type, value] : typed)
            order.appendField(name, type, 0);
        for (const QString &f : texts.split(u'|'))
            order.appendField(f.section(u'=', 0, 0), ftype::Text, 100);
        order.open();
        order.addNew();
        for (const auto &[name, type, value] : typed)
            order.setValue(name, value);
        setTexts(texts);
    }
    void setbillto(const Recordset &item, bool a, bool b, bool c, bool d) override
    {
        calls << u"setbillto "_s % item.value(u"name"_s).toText() %
                     ((a || b || c || d) ? u" flagged"_s : QString());
    }
    void setdiscount(const Recordset &item) override
    {
        calls << u"setdiscount "_s % item.value(u"name"_s).toText();
    }
    std::shared_ptr<ext::IHostItem> getbillto(const Value &id) override
    {
        return hostItem(u"billto "_s % id.toText());
    }
    std::shared_ptr<ext::IHostItem> getdiscount(const Value &id) override
    {
        return hostItem(u"discount "_s % id.toText());
    }
    // A bill-to party or discount of the host: one row with its name.
    static std::shared_ptr<ext::IHostItem> hostItem(const QString &name)
    {
        Recordset item = test::openRecordset({{u"name"_s, ftype::Text, 50}});
        item.loadRow({name});
        return std::make_shared<host::HostItem>(item);
    }

    void set(const QString &field, const Value &v)
    {
        order.setValue(field, v);
        order.update();
    }
    // Text fields written "field=text|field=text".
    void setTexts(const QString &fields)
    {
        for (const QString &f : fields.split(u'|'))
            order.setValue(f.section(u'=', 0, 0), f.section(u'=', 1));
        order.update();
    }
    Value get(const QString &field) const { return order.value(field); }

    QStringList calls;
};

// Each row of the comparison as "caption|original|new|kept or taken|field".
QStringList rowsOf(const Recordset &rs)
{
    QStringList out;
    for (Recordset c = rs.clone(); !c.eof(); c.moveNext())
        out << QStringList{c.value(u"FieldName"_s).toText(), c.value(u"OriginalVal"_s).toText(),
                           c.value(u"NewValue"_s).toText(),
                           c.value(u"KeepValue"_s).toBool() ? u"kept"_s : u"taken"_s,
                           c.value(u"Field"_s).toText()}
                   .join(u'|');
    return out;
}

class CompareTest : public ::testing::Test {
protected:
    std::shared_ptr<test::StubEnvironment> env = std::make_shared<test::StubEnvironment>();
    std::shared_ptr<FakeOrder> mine = std::make_shared<FakeOrder>(env);
    std::shared_ptr<FakeOrder> theirs = std::make_shared<FakeOrder>(env);
    dispatch::OrderComparison view;
    orvane::test::ScopedScriptedUi ui;

    // Runs the comparison; the user keeps `keep` and presses OK (or Cancel).
    bool compare(const QStringList &keep, bool ok, QStringList *shown = nullptr)
    {
        ui->onDialog([=](QDialog *d) {
            auto *c = dynamic_cast<Comparersfrm *>(d);
            ASSERT_TRUE(c);
            EXPECT_EQ(c->windowTitle(), u"Compare dispatches"_s);
            if (shown)
                *shown = rowsOf(c->rsCompare);
            RecordsetModel *m = c->compareModel();
            for (int r = 0; r < m->rowCount(); ++r)
                if (keep.contains(m->index(r, 0).data().toString()))
                    m->setData(m->index(r, 3), Qt::Checked, Qt::CheckStateRole);
            c->cmdAction[ok ? 0 : 1]->click();
        });
        return view.CompareOrders(mine, theirs);
    }
};

} // namespace

TEST(CompareRules, ValueAndTextTestsShownFormsAndMissingDates)
{
    using V = dispatch::OrderComparison;
    // The value test compares values and passes over Null.
    EXPECT_FALSE(V::valuesDiffer(Value(1), Value(1.0)));
    EXPECT_TRUE(V::valuesDiffer(Value(Currency{2500001}), Value(Currency{2500000})));
    EXPECT_FALSE(V::valuesDiffer(Value::null(), Value(5)));
    // A value never given is the zero of its kind: a date it is not.
    EXPECT_TRUE(V::valuesDiffer(Value(), Value(QDate(2026, 1, 1))));
    EXPECT_TRUE(V::valuesDiffer(Value(), Value(3)));
    // No trimming or case folding in the value test.
    EXPECT_TRUE(V::valuesDiffer(Value(u"cv1"_s), Value(u"CV1"_s)));
    EXPECT_TRUE(V::valuesDiffer(Value(u"CV1 "_s), Value(u"CV1"_s)));
    // The text test trims and folds case, and fails on Null.
    EXPECT_FALSE(V::textsDiffer(Value(u"o'donnell "_s), Value(u"  O'DONNELL"_s)));
    EXPECT_TRUE(V::textsDiffer(Value(u"Ann"_s), Value(u"Anne"_s)));
    EXPECT_FALSE(V::textsDiffer(Value(), Value(u"  "_s)));
    EXPECT_EQ(test::errorNumber([] { (void)V::textsDiffer(Value::null(), Value(u"x"_s)); }),
              err::InvalidUseOfNull);
    // The dates that count as missing (the comparison rows show the shown forms).
    EXPECT_EQ(V::shownText(Value::null()), QString());
    EXPECT_TRUE(V::isMissingDate(Value()));
    EXPECT_TRUE(V::isMissingDate(Value(QDate(1899, 12, 31))));
    EXPECT_FALSE(V::isMissingDate(Value(QDate(1900, 1, 1))));
    EXPECT_FALSE(V::isMissingDate(Value::null()));
}

TEST_F(CompareTest, OrdersThatAgreeShowNothingAndMayBeLinked)
{
    // Differences in case and surrounding spaces of text-tested fields do not count.
    theirs->setTexts(u"s_last=morgan |dispatch= d-1"_s);
    EXPECT_TRUE(view.CompareOrders(mine, theirs));
    EXPECT_TRUE(ui->dialogsShown().empty());
    EXPECT_TRUE(env->errors->reports.empty());
}

TEST_F(CompareTest, RowsComeInOrderWithTheirShownFormsWholeAndOkCopiesTheRowsNotKept)
{
    const QString longName = u"Bartholomew-Fitzgerald Maximilian"_s; // 33 characters
    theirs->setTexts(u"b_company=Northstar|discounttext=Fleet 10%  |carid=CV2|year=2021|"
                     u"make= Toyota |model=RAV4|body=Utility|s_last=Baker|a_phone=5550199"_s);
    theirs->set(u"billto_id"_s, 2);
    theirs->set(u"discountid"_s, 3);
    theirs->set(u"lossdate"_s, Value()); // the dispatch gave none
    theirs->set(u"dispdate"_s, QDate(2026, 5, 5));
    theirs->set(u"s_first"_s, longName);
    theirs->set(u"deductible"_s, Currency{2505000});
    theirs->set(u"installdat"_s, QDate(1899, 12, 30));
    theirs->set(u"inshop"_s, true);
    QStringList shown;
    ASSERT_FALSE(compare({}, false, &shown));
    const auto date = [](int y, int m, int d) {
        return vb::FormatShortDate(DateValue::fromDate(QDate(y, m, d)));
    };
    const QStringList expected{
        u"BILL TO|Cascade|Northstar|taken|billto_id"_s,
        u"Discount|Net 25|Fleet 10%|taken|discountid"_s,
        u"Date of Loss|"_s % date(2026, 2, 1) % u"||kept|LossDate"_s,
        u"Dispatch Date|"_s % date(2026, 2, 2) % u"|"_s % date(2026, 5, 5) % u"|taken|DispDate"_s,
        u"Vehicle|2019-Honda-Civic-Sedan|2021-RAV4-Toyota-Utility|taken|"_s,
        u"Sold To First Name|Alex|"_s % longName % u"|taken|s_first"_s,
        u"Sold To Last Name|Morgan|Baker|taken|s_last"_s,
        u"Deductible|100|250.5|taken|Deductible"_s,
        u"Install Date|"_s % date(2026, 2, 3) % u"|"_s % date(1899, 12, 30) % u"|kept|installdat"_s,
        u"In Shop|False|True|taken|InShop"_s,
        u"Agent Phone #|5550123|5550199|taken|a_phone"_s,
    };
    EXPECT_EQ(shown.join(u'\n').toStdString(), expected.join(u'\n').toStdString());
    // Cancel copies nothing.
    EXPECT_EQ(mine->get(u"s_first"_s).toText(), u"Alex"_s);
    EXPECT_TRUE(mine->calls.isEmpty());

    EXPECT_TRUE(compare({u"Sold To Last Name"_s}, true));
    EXPECT_EQ(mine->calls, (QStringList{u"setbillto billto 2"_s, u"setdiscount discount 3"_s}));
    // The loss date was kept by default, the last name by the user.
    EXPECT_EQ(mine->get(u"lossdate"_s).toDate().date(), QDate(2026, 2, 1));
    EXPECT_EQ(mine->get(u"s_last"_s).toText(), u"Morgan"_s);
    EXPECT_EQ(mine->get(u"s_first"_s).toText(), longName) << "copied whole";
    // The vehicle goes as a whole.
    for (const char16_t *f : {u"carid", u"year", u"make", u"model", u"body"})
        EXPECT_EQ(mine->get(QString::fromUtf16(f)), theirs->get(QString::fromUtf16(f)));
    EXPECT_TRUE(env->errors->reports.empty());
}

TEST_F(CompareTest, AFailureIsReportedAndAnswersFalse)
{
    theirs->set(u"s_city"_s, Value::null());
    EXPECT_FALSE(view.CompareOrders(mine, theirs));
    ASSERT_EQ(env->errors->reports.size(), 1u);
    EXPECT_EQ(env->errors->reports[0].procedure, u"qorOrvaneUI.ChooseDispatchfrm.CompareOrders"_s);
    EXPECT_EQ(env->errors->reports[0].number, err::InvalidUseOfNull);
    EXPECT_EQ(env->errors->reports[0].line, 20);
    EXPECT_TRUE(ui->dialogsShown().empty());
}

TEST_F(CompareTest, AddCompareCutsToTheFieldsAndAFailedTransferKeepsWhatWasCopied)
{
    Recordset rs = view.CreateCompareRecordset();
    // An empty comparison still opens.
    Comparersfrm empty;
    empty.setCompareRecordset(view.CreateCompareRecordset());
    EXPECT_EQ(empty.grdCompare->model()->rowCount(), 0);
    view.AddCompare(rs, QString(40, u'N'), QString(64, u'o'), QString(30, u'n'), QString(35, u'f'));
    // The values are shown whole: a cut one would hide what differs.
    const QStringList cut{QString(30, u'N'), QString(64, u'o'), QString(30, u'n'), u"taken"_s,
                          QString(30, u'f')};
    EXPECT_EQ(rowsOf(rs).join(u'\n').toStdString(), cut.join(u'|').toStdString());

    // The first row copies; the second names a field the order lacks.
    Recordset rows = view.CreateCompareRecordset();
    view.AddCompare(rows, u"Sold To City"_s, u"a"_s, u"b"_s, u"s_city"_s);
    view.AddCompare(rows, u"Nowhere"_s, u"a"_s, u"b"_s, u"no_such_field"_s);
    theirs->set(u"s_city"_s, u"Springfield"_s);
    view.setNewValues(rows, mine, theirs);
    EXPECT_EQ(mine->get(u"s_city"_s).toText(), u"Springfield"_s);
    ASSERT_EQ(env->errors->reports.size(), 1u);
    EXPECT_EQ(env->errors->reports[0].procedure, u"qorOrvaneUI.ChooseDispatchfrm.setNewValues"_s);
    EXPECT_EQ(env->errors->reports[0].number, err::ItemNotFound);

    // A comparison of one row copies it too.
    Recordset one = view.CreateCompareRecordset();
    view.AddCompare(one, u"Sold To Last"_s, u"a"_s, u"b"_s, u"s_last"_s);
    theirs->set(u"s_last"_s, u"Okafor"_s);
    view.setNewValues(one, mine, theirs);
    EXPECT_EQ(mine->get(u"s_last"_s).toText(), u"Okafor"_s);
}
