// A program outside the project that uses the installed library and every helper header.
#include <QOVAicuC.h>
#include <QOVAicuC/datetime.hpp>
#include <QOVAicuC/handles.hpp>
#include <QOVAicuC/matches.hpp>
#include <QOVAicuC/number_settings.hpp>
#include <QOVAicuC/split.hpp>
#include <QOVAicuC/text.hpp>

#include <chrono>
#include <cstdio>

int main() {
    if (QOVAicuC_InternalMarker() != 1) return 1;
    auto pattern = qovaicuc::fromUtf8(",");
    auto input = qovaicuc::fromUtf8("a,b");
    auto matcher = qovaicuc::Matcher::make(pattern, input);
    int found = 0;
    for (const auto& m : qovaicuc::matches(matcher)) found += m.start == 1 && m.text == ",";
    const auto fields = qovaicuc::split(matcher, input);
    auto fmt = qovaicuc::NumberFormatter::make("C");
    qovaicuc::setPrecision(fmt, qovaicuc::Precision::fixedFraction(1));
    auto out = qovaicuc::String::make();
    QOVAUnicodeNumFormatterServices::FormatInt(fmt.get(), out.get(), 5);
    const auto dates = qovaicuc::DateTimeFormatter::make("C", "Etc/GMT-1");
    const auto text = qovaicuc::formatTime(dates, std::chrono::system_clock::time_point{});
    const auto back = text ? qovaicuc::parseTime(dates, *text) : std::nullopt;
    if (found != 1 || !fields || fields->size() != 2 || qovaicuc::utf8(out) != "5.0" || !back ||
        back->time_since_epoch().count() != 0)
        return 2;
    std::puts("consumer ok");
    return 0;
}
