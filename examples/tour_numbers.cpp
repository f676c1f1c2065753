// Numbers: a price for several locales, exported as UTF-8, and a few measurement units.
#include "tour.h"

#include <cstdio>
#include <cstring>

namespace {

using F = QOVAUnicodeNumFormatterFactory;
using S = QOVAUnicodeNumFormatterServices;

// Two fraction digits: the argument list holds one 8-byte slot whose low four bytes
// (little-endian) carry the int 2.
void twoFractionDigits(void* formatter) {
    char slots[8] = {2, 0, 0, 0, 0, 0, 0, 0};
    S::SetPrecisionType(formatter, S::PrecisionFixedFraction, slots);
}

// The typical request: a price in US dollars with two fraction digits for one locale.
std::string price(const char* locale, double amount) {
    void* text = QOVAUnicodeStringFactory::make();
    void* formatter = F::make(locale);
    twoFractionDigits(formatter);
    S::SetUnitType(formatter, S::UnitCurrencyUSD);
    S::FormatDouble(formatter, text, amount, true, false);  // the handle's precision applies
    std::string result = tour::utf8(text);
    F::destroy(formatter);
    QOVAUnicodeStringFactory::destroy(text);
    return result;
}

std::string measure(const char* locale, S::UnitType unit, S::UnitWidthType width, double value) {
    void* text = QOVAUnicodeStringFactory::make();
    void* formatter = F::make(locale);
    S::SetUnitType(formatter, unit);
    S::SetUnitWidthType(formatter, width);
    S::FormatDouble(formatter, text, value, true, false);
    std::string result = tour::utf8(text);
    F::destroy(formatter);
    QOVAUnicodeStringFactory::destroy(text);
    return result;
}

}  // namespace

bool tourNumbers() {
    std::printf("Numbers\n");
    bool ok = true;

    // "C" names the POSIX locale's formatting, en_US_POSIX: no grouping.
    ok &= tour::show("price, locale C:", price("C", 1234.5), "$\u00A01234.50");
    ok &= tour::show("price, en_US:", price("en_US", 1234.5), "$1,234.50");
    ok &= tour::show("price, de_DE:", price("de_DE", 1234.5), "1.234,50\u00A0$");
    ok &= tour::show("price, fr_FR:", price("fr_FR", 1234.5), "1\u202F234,50\u00A0$US");

    ok &= tour::show("kilometers, de_DE, full name:",
                     measure("de_DE", S::UnitKilometer, S::UnitWidthFullName, 5), "5 Kilometer");
    ok &= tour::show("Celsius, en_US, narrow:",
                     measure("en_US", S::UnitCelsius, S::UnitWidthNarrow, 21.5), "21.5\u00B0C");
    // Percent is a unit, not a scale: 50 stays 50.
    ok &= tour::show("percent, fr_FR:",
                     measure("fr_FR", S::UnitNonePercent, S::UnitWidthShort, 50), "50\u00A0%");

    // Without either flag FormatDouble shows at least one fraction digit instead of the
    // handle's precision.
    void* text = QOVAUnicodeStringFactory::make();
    void* formatter = F::make("en_US");
    twoFractionDigits(formatter);
    S::FormatDouble(formatter, text, 5, false, false);
    ok &= tour::show("5 with neither flag:", tour::utf8(text), "5.0");
    S::FormatDouble(formatter, text, 5, true, false);
    ok &= tour::show("5 with the handle's precision:", tour::utf8(text), "5.00");
    F::destroy(formatter);
    QOVAUnicodeStringFactory::destroy(text);
    return ok;
}
