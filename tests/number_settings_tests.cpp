// Number formatter settings: every row of every table selects the ICU setting it must, values
// without a row change nothing, settings accumulate, and numbers come from 8-byte slots.
#include "number_support.h"

#include <gtest/gtest.h>

#include <unicode/currunit.h>

#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <optional>

using namespace qtest;
using icu::number::IntegerWidth;
using icu::number::Notation;
using icu::number::NumberFormatter;
using icu::number::Precision;

static const std::u16string Z(1, u'\0');

namespace {

// One probe of a table: a locale, what is set before the row under test, the values shown.
struct Probe {
    const char* locale;
    std::function<void(void*)> before;
    std::vector<double> values;
};

// A row: the library's call with the enumerator, and the same setting made directly in ICU.
struct Row {
    int type;
    std::function<void(void*)> ours;
    std::function<LNF(const LNF&)> direct;
};

// Each row applied through the library must give what the directly configured ICU formatter
// gives, from the same starting formatter, in every probe: the same skeleton (all settings as
// ICU writes them) and the same text for every value (FormatDouble with a flag true). Rows
// must also differ from each other in their texts, so that a row selecting another row's
// setting cannot pass.
void checkTable(int enumerators, const std::vector<Probe>& probes, const std::vector<Row>& rows) {
    ASSERT_EQ(static_cast<int>(rows.size()), enumerators);
    std::map<std::u16string, int> seen;
    for (size_t r = 0; r < rows.size(); ++r) {
        const Row& row = rows[r];
        SCOPED_TRACE("row " + std::to_string(row.type));
        ASSERT_EQ(row.type, static_cast<int>(r));  // every enumerator, in order
        std::u16string texts;
        for (const Probe& p : probes) {
            Fmt f(p.locale);
            if (p.before) p.before(f);
            const LNF want = row.direct(f.icu());
            row.ours(f);
            EXPECT_EQ(skeleton(f.icu()), skeleton(want));
            for (double v : p.values) {
                const std::u16string got = formatDouble(f, v);
                EXPECT_EQ(got, icuDouble(want, v)) << v;
                texts += got + u'|';
            }
        }
        const auto [first, fresh] = seen.emplace(texts, row.type);
        EXPECT_TRUE(fresh) << "rows " << first->second << " and " << row.type << " look alike";
    }
}

template <class E, class V, class Set, class Direct>
Row row(E type, V setting, Set set, Direct direct) {
    return {type, [=](void* f) { set(f, type); },
            [=](const LNF& f) { return direct(f, setting); }};
}

void chf(void* f) {
    UErrorCode status = U_ZERO_ERROR;
    LNF& icu = *static_cast<LNF*>(f);
    icu = icu.unit(icu::CurrencyUnit(u"CHF", status));  // cash rounding differs from standard
}

}  // namespace

TEST(SettingsTables, Grouping) {
    const auto g = [](NS::GroupingType t, UNumberGroupingStrategy s) {
        return row(t, s, NS::SetGroupingType, [](const LNF& f, auto v) { return f.grouping(v); });
    };
    // es has a minimum of two grouping digits, en_IN groups by two above the thousands.
    checkTable(5, {{"en_US", {}, {1234, 12345678}}, {"es", {}, {1234}}, {"en_IN", {}, {12345678}}},
               {g(NS::GroupingOff, UNUM_GROUPING_OFF), g(NS::GroupingMin2, UNUM_GROUPING_MIN2),
                g(NS::GroupingAuto, UNUM_GROUPING_AUTO),
                g(NS::GroupingOnAligned, UNUM_GROUPING_ON_ALIGNED),
                g(NS::GroupingThousands, UNUM_GROUPING_THOUSANDS)});
}

TEST(SettingsTables, Notation) {
    const auto n = [](NS::NotationType t, Notation s) {
        return row(t, s, NS::SetNotationType, [](const LNF& f, auto v) { return f.notation(v); });
    };
    checkTable(5, {{"en_US", {}, {12345.678, 0.00123}}},
               {n(NS::NotationScientific, Notation::scientific()),
                n(NS::NotationCompactShort, Notation::compactShort()),
                n(NS::NotationCompactLong, Notation::compactLong()),
                n(NS::NotationEngineering, Notation::engineering()),
                n(NS::NotationSimple, Notation::simple())});
}

TEST(SettingsTables, RoundingModeByTheLibrarysNumbering) {
    const auto m = [](NS::RoundingModeType t, UNumberFormatRoundingMode s) {
        return row(t, s, NS::SetRoundingModeType,
                   [](const LNF& f, auto v) { return f.roundingMode(v); });
    };
    const auto integer = [](void* f) { NS::SetPrecisionType(f, NS::PrecisionInteger, nullptr); };
    checkTable(8, {{"en_US", integer, {2.5, -2.5, 2.4, -2.4, 3.5, 2.6}}},
               {m(NS::RoundingHalfEven, UNUM_ROUND_HALFEVEN),
                m(NS::RoundingHalfDown, UNUM_ROUND_HALFDOWN),
                m(NS::RoundingHalfUp, UNUM_ROUND_HALFUP),
                m(NS::RoundingCeiling, UNUM_ROUND_CEILING), m(NS::RoundingFloor, UNUM_ROUND_FLOOR),
                m(NS::RoundingUp, UNUM_ROUND_UP), m(NS::RoundingDown, UNUM_ROUND_DOWN),
                m(NS::RoundingUnnecessary, UNUM_ROUND_UNNECESSARY)});

    // The same, spelled out in plain digits.
    Fmt f("en_US");
    integer(f);
    const auto at = [&](NS::RoundingModeType mode, double v) {
        NS::SetRoundingModeType(f, mode);
        return formatDouble(f, v);
    };
    EXPECT_EQ(at(NS::RoundingHalfEven, 2.5), u"2" + Z);
    EXPECT_EQ(at(NS::RoundingHalfUp, 2.5), u"3" + Z);
    EXPECT_EQ(at(NS::RoundingCeiling, 2.5), u"3" + Z);
    EXPECT_EQ(at(NS::RoundingCeiling, -2.5), u"-2" + Z);
    EXPECT_EQ(at(NS::RoundingFloor, -2.5), u"-3" + Z);
}

TEST(SettingsTables, SignDisplay) {
    const auto s = [](NS::SignDisplayType t, UNumberSignDisplay v) {
        return row(t, v, NS::SetSignDisplayType, [](const LNF& f, auto d) { return f.sign(d); });
    };
    const auto usd = [](void* f) { NS::SetUnitType(f, NS::UnitCurrencyUSD); };
    checkTable(7, {{"en_US", usd, {5, -5, 0}}},
               {s(NS::SignAuto, UNUM_SIGN_AUTO), s(NS::SignAlways, UNUM_SIGN_ALWAYS),
                s(NS::SignNever, UNUM_SIGN_NEVER), s(NS::SignAccounting, UNUM_SIGN_ACCOUNTING),
                s(NS::SignAccountingAlways, UNUM_SIGN_ACCOUNTING_ALWAYS),
                s(NS::SignExceptZero, UNUM_SIGN_EXCEPT_ZERO),
                s(NS::SignAccountingExceptZero, UNUM_SIGN_ACCOUNTING_EXCEPT_ZERO)});
}

TEST(SettingsTables, UnitWidthWithHiddenAtFour) {
    const auto w = [](NS::UnitWidthType t, UNumberUnitWidth v) {
        return row(t, v, NS::SetUnitWidthType, [](const LNF& f, auto u) { return f.unitWidth(u); });
    };
    const auto usd = [](void* f) { NS::SetUnitType(f, NS::UnitCurrencyUSD); };
    const auto meter = [](void* f) { NS::SetUnitType(f, NS::UnitMeter); };
    checkTable(5, {{"en_US", usd, {5}}, {"en_US", meter, {5}}},
               {w(NS::UnitWidthNarrow, UNUM_UNIT_WIDTH_NARROW),
                w(NS::UnitWidthShort, UNUM_UNIT_WIDTH_SHORT),
                w(NS::UnitWidthFullName, UNUM_UNIT_WIDTH_FULL_NAME),
                w(NS::UnitWidthIsoCode, UNUM_UNIT_WIDTH_ISO_CODE),
                w(NS::UnitWidthHidden, UNUM_UNIT_WIDTH_HIDDEN)});
}

// A row whose numbers the library reads from an argument list; rows without numbers get a
// null list, which must not be read.
template <class E, class V, class Set, class Direct>
Row numbered(E type, std::optional<Args> args, V setting, Set set, Direct direct) {
    return {type, [=](void* f) mutable { set(f, type, args ? args->get() : nullptr); },
            [=](const LNF& f) { return direct(f, setting); }};
}

TEST(SettingsTables, Precision) {
    const auto p = [](NS::PrecisionType t, Precision v, std::optional<Args> a = std::nullopt) {
        return numbered(t, a, v, NS::SetPrecisionType,
                        [](const LNF& f, const Precision& s) { return f.precision(s); });
    };
    checkTable(13, {{"en_US", chf, {1234.5678, 0.1, 1.23}}},
               {p(NS::PrecisionUnlimited, Precision::unlimited()),
                p(NS::PrecisionInteger, Precision::integer()),
                p(NS::PrecisionFixedFraction, Precision::fixedFraction(3), Args().i(3)),
                p(NS::PrecisionMinFraction, Precision::minFraction(6), Args().i(6)),
                p(NS::PrecisionMaxFraction, Precision::maxFraction(1), Args().i(1)),
                p(NS::PrecisionMinMaxFraction, Precision::minMaxFraction(2, 5), Args().i(2).i(5)),
                p(NS::PrecisionFixedSignificantDigits, Precision::fixedSignificantDigits(3),
                  Args().i(3)),
                p(NS::PrecisionMinSignificantDigits, Precision::minSignificantDigits(7),
                  Args().i(7)),
                p(NS::PrecisionMaxSignificantDigits, Precision::maxSignificantDigits(2),
                  Args().i(2)),
                p(NS::PrecisionMinMaxSignificantDigits, Precision::minMaxSignificantDigits(2, 4),
                  Args().i(2).i(4)),
                p(NS::PrecisionIncrement, Precision::increment(0.25), Args().d(0.25)),
                p(NS::PrecisionCurrencyStandard, Precision::currency(UCURR_USAGE_STANDARD)),
                p(NS::PrecisionCurrencyCash, Precision::currency(UCURR_USAGE_CASH))});
}

TEST(SettingsTables, IntegerWidth) {
    const auto w = [](NS::IntegerWidthType t, IntegerWidth v, Args a) {
        return numbered(t, a, v, NS::SetIntegerWidthType,
                        [](const LNF& f, const IntegerWidth& s) { return f.integerWidth(s); });
    };
    // Slot 0 is the minimum and slot 1 the maximum: swapped, ICU would reject 3 below 2.
    checkTable(2, {{"en_US", {}, {5, 1234}}},
               {w(NS::IntegerWidthZeroFill, IntegerWidth::zeroFillTo(3), Args().i(3)),
                w(NS::IntegerWidthZeroFillTruncate, IntegerWidth::zeroFillTo(2).truncateAt(3),
                  Args().i(2).i(3))});
}

// A value without a row, negative or too large, leaves every setting as it was, the earlier
// value of the same setting included; the argument list is then never read.
TEST(SettingsWithoutRow, ChangeNothing) {
    Fmt f("en_US");
    NS::SetUnitType(f, NS::UnitCurrencyUSD);
    NS::SetGroupingType(f, NS::GroupingOff);
    NS::SetNotationType(f, NS::NotationCompactShort);
    char three[8] = {3};
    NS::SetIntegerWidthType(f, NS::IntegerWidthZeroFill, three);
    NS::SetPrecisionType(f, NS::PrecisionFixedFraction, three);
    NS::SetRoundingModeType(f, NS::RoundingUp);
    NS::SetSignDisplayType(f, NS::SignAlways);
    NS::SetUnitWidthType(f, NS::UnitWidthFullName);
    const std::string settings = skeleton(f.icu());
    const std::u16string shown = formatDouble(f, 1234.5);

    for (int v : {-1, 2, 5, 7, 8, 9, 13, 103, INT_MAX, INT_MIN}) {
        SCOPED_TRACE(v);
        NS::SetGroupingType(f, static_cast<NS::GroupingType>(v < 5 ? -1 : v));
        NS::SetNotationType(f, static_cast<NS::NotationType>(v < 5 ? -1 : v));
        NS::SetIntegerWidthType(f, static_cast<NS::IntegerWidthType>(v), nullptr);
        NS::SetPrecisionType(f, static_cast<NS::PrecisionType>(v < 13 ? -1 : v), nullptr);
        NS::SetRoundingModeType(f, static_cast<NS::RoundingModeType>(v < 8 ? -1 : v));
        NS::SetSignDisplayType(f, static_cast<NS::SignDisplayType>(v < 7 ? -1 : v));
        NS::SetUnitWidthType(f, static_cast<NS::UnitWidthType>(v < 5 ? -1 : v));
        NS::SetUnitType(f, static_cast<NS::UnitType>(v < 103 ? -1 : v));
        EXPECT_EQ(skeleton(f.icu()), settings);
        EXPECT_EQ(formatDouble(f, 1234.5), shown);
    }
}

TEST(SettingsWithoutRow, NullFormatterReadsNothing) {
    // A row with numbers and a null list: reading it would crash.
    NS::SetPrecisionType(nullptr, NS::PrecisionMinMaxFraction, nullptr);
    NS::SetIntegerWidthType(nullptr, NS::IntegerWidthZeroFillTruncate, nullptr);
    NS::SetGroupingType(nullptr, NS::GroupingOff);
    NS::SetNotationType(nullptr, NS::NotationSimple);
    NS::SetRoundingModeType(nullptr, NS::RoundingUp);
    NS::SetSignDisplayType(nullptr, NS::SignNever);
    NS::SetUnitWidthType(nullptr, NS::UnitWidthHidden);
    NS::SetUnitType(nullptr, NS::UnitGram);
}

TEST(SettingsAccumulate, EachCallReplacesOnlyItsOwnSetting) {
    Fmt f("en_US");
    NS::SetGroupingType(f, NS::GroupingOff);
    NS::SetPrecisionType(f, NS::PrecisionFixedFraction, Args().i(2).get());
    EXPECT_EQ(formatDouble(f, 1234.5), u"1234.50" + Z);
    NS::SetUnitType(f, NS::UnitGram);
    EXPECT_EQ(formatInt(f, 12345),
              icuInt(NumberFormatter::withLocale("en_US")
                         .grouping(UNUM_GROUPING_OFF)
                         .precision(Precision::fixedFraction(2))
                         .unit(icu::MeasureUnit::getGram()),
                     12345));
    NS::SetPrecisionType(f, NS::PrecisionInteger, nullptr);  // the last call wins
    NS::SetUnitType(f, NS::UnitNone);
    EXPECT_EQ(formatDouble(f, 2.4), u"2" + Z);
    EXPECT_EQ(formatDouble(f, 12345.0), u"12345" + Z);
}

TEST(ArgumentSlots, IntIsTheLowFourBytesLittleEndian) {
    Fmt clean("en_US"), garbage("en_US"), unaligned("en_US"), wide("en_US");
    NS::SetIntegerWidthType(clean, NS::IntegerWidthZeroFillTruncate, Args().i(2, 0).i(3, 0).get());
    NS::SetIntegerWidthType(garbage, NS::IntegerWidthZeroFillTruncate,
                            Args().i(2, 0xFFFFFFFFu).i(3, 0x80000000u).get());
    NS::SetIntegerWidthType(unaligned, NS::IntegerWidthZeroFillTruncate, Args().i(2).i(3).get(3));
    // The 64-bit value 2 in slot 0: the same int as a 32-bit 2.
    NS::SetIntegerWidthType(wide, NS::IntegerWidthZeroFill, Args().i(2, 0).get());
    for (double v : {5.0, 1234.0}) {
        EXPECT_EQ(formatDouble(clean, v), formatDouble(garbage, v));
        EXPECT_EQ(formatDouble(clean, v), formatDouble(unaligned, v));
    }
    EXPECT_EQ(formatDouble(clean, 1234), u"234" + Z);
    EXPECT_EQ(formatDouble(wide, 5), u"05" + Z);
    // Bytes 01 01 00 00 are 257, not 65792 or 16842752: "01", the separator, 257 zeros.
    NS::SetPrecisionType(clean, NS::PrecisionMinFraction, Args().i(257).get());
    EXPECT_EQ(formatInt(clean, 1), u"01." + std::u16string(257, u'0') + Z);
}

TEST(ArgumentSlots, DoubleFillsTheSlot) {
    Fmt f("en_US");
    NS::SetPrecisionType(f, NS::PrecisionIncrement, Args().d(0.5).get(5));
    EXPECT_EQ(formatDouble(f, 1.3), u"1.5" + Z);
    // Whatever the increment, the handle does what ICU does with it.
    const double inf = std::numeric_limits<double>::infinity();
    for (double inc : {0.0, -0.5, 1e300, 5e-324, inf, -inf, std::nan("")}) {
        Fmt g("en_US");
        NS::SetPrecisionType(g, NS::PrecisionIncrement, Args().d(inc).get());
        const LNF want = NumberFormatter::withLocale("en_US").precision(Precision::increment(inc));
        EXPECT_EQ(formatDouble(g, 1.3), icuDouble(want, 1.3)) << inc;
    }
}

// ICU keeps a rejected number as an error in the formatter: the setting call shows nothing,
// every format fails until the same operation sets a valid value again.
TEST(RejectedNumbers, EmptyOutputUntilReplaced) {
    Fmt f("en_US");
    NS::SetPrecisionType(f, NS::PrecisionFixedFraction, Args().i(-1).get());
    Str out(u"earlier");
    NS::FormatInt(f, out, 5);
    EXPECT_EQ(out.icu().length(), 0);
    EXPECT_EQ(formatDouble(f, 5.0), u"");
    // FormatDouble without flags replaces the precision for its call, so it formats.
    EXPECT_EQ(formatDouble(f, 5.0, false, false), u"5.0" + Z);
    NS::SetGroupingType(f, NS::GroupingOff);  // another setting does not repair it
    EXPECT_EQ(formatInt(f, 5), u"");
    NS::SetPrecisionType(f, NS::PrecisionFixedFraction, Args().i(1).get());
    EXPECT_EQ(formatInt(f, 5), u"5.0" + Z);

    NS::SetIntegerWidthType(f, NS::IntegerWidthZeroFill, Args().i(INT_MIN).get());
    EXPECT_EQ(formatDouble(f, 5.0, false, false), u"");  // not a precision: no exception
    NS::SetIntegerWidthType(f, NS::IntegerWidthZeroFillTruncate, Args().i(1).i(-1).get());
    EXPECT_EQ(formatInt(f, 1234), u"1234.0" + Z);  // -1: no truncation
}
