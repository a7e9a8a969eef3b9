#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <type_traits>
#include <variant>

namespace orvane {

// Money as the callers' runtime keeps it: a 64-bit integer scaled by 10,000.
struct Currency {
    std::int64_t scaled = 0;

    static constexpr std::int64_t Scale = 10000;
    static Currency fromUnits(std::int64_t units) { return {units * Scale}; }
    double toDouble() const { return double(scaled) / double(Scale); }
    friend auto operator<=>(const Currency &, const Currency &) = default;
};

// A calendar date with an optional time of day. Day 0 is 30 December 1899,
// the zero date of the callers' runtime.
struct DateValue {
    std::int64_t days = 0;  // days since 1899-12-30
    std::int32_t msecs = 0; // time of day, 0 .. 86'399'999

    static DateValue fromDate(const QDate &d);
    static DateValue fromDateTime(const QDateTime &dt);
    QDate date() const;
    QTime time() const;
    QDateTime toDateTime() const;
    bool isValid() const { return date().isValid(); }
    // clang-tidy 14 takes the 0 its defaulted comparison compares against for a null pointer.
    // NOLINTNEXTLINE(modernize-use-nullptr)
    friend auto operator<=>(const DateValue &, const DateValue &) = default;
};

enum class ValueKind { Empty, Null, Text, Int32, Int64, Double, Currency, Date, Bool };

// A variant as the callers' runtime knows it. Empty is "never assigned"; Null is
// a database NULL. Conversions follow the runtime's rules: "." is the decimal
// separator whatever the locale, surrounding spaces are allowed, integers round
// halves to even, text that is not a number fails with 13, overflow fails with 6,
// and Null turned into anything but Null fails with 94.
class Value {
public:
    Value() = default;
    Value(const QString &s) : v_(s) {}
    Value(const char16_t *s) : v_(QString::fromUtf16(s)) {}
    Value(const char *s) : v_(QString::fromUtf8(s)) {}
    Value(std::int32_t i) : v_(i) {}
    Value(std::int64_t i) : v_(i) {}
    // qint64 is `long long`, which differs from std::int64_t on some platforms.
    template <class T>
    requires(std::is_same_v<T, long long> && !std::is_same_v<long long, std::int64_t>) Value(T i)
        : v_(static_cast<std::int64_t>(i))
    {
    }
    Value(double d) : v_(d) {}
    Value(bool b) : v_(b) {}
    Value(Currency c) : v_(c) {}
    Value(DateValue d) : v_(d) {}
    Value(const QDate &d) : v_(DateValue::fromDate(d)) {}

    static Value null();

    ValueKind kind() const;
    bool isEmpty() const { return kind() == ValueKind::Empty; }
    bool isNull() const { return kind() == ValueKind::Null; }
    bool isNumeric() const;

    // Conversions; each throws VbError on failure.
    QString toText() const;       // Empty -> ""; numbers per vb::numberToText; bool True/False
    double toDouble() const;      // Empty -> 0; text parsed strictly
    std::int32_t toInt32() const; // rounds half to even
    std::int64_t toInt64() const;
    Currency toCurrency() const;
    DateValue toDate() const; // text: "YYYY-MM-DD[ hh:mm[:ss]]", "YYYYMMDD", or the short date
    bool toBool() const;      // numbers: non-zero; text: True/False or a number

    // The same value in another kind, as a field of that type stores it.
    Value convertedTo(ValueKind kind) const;

    // Equality of kind and content (Empty == Empty, Null == Null).
    friend bool operator==(const Value &a, const Value &b) { return a.v_ == b.v_; }

    // Typed access without conversion (nullptr when the kind differs).
    template <class T> const T *get() const { return std::get_if<T>(&v_); }

private:
    struct NullTag {
        friend bool operator==(NullTag, NullTag) { return true; }
    };
    std::variant<std::monostate, NullTag, QString, std::int32_t, std::int64_t, double, Currency,
                 DateValue, bool>
        v_;
};

} // namespace orvane
