// A program outside the project that uses the installed library and every helper header.
#include <QOVAicuC.h>
#include <QOVAicuC/datetime.hpp>
#include <QOVAicuC/handles.hpp>
#include <QOVAicuC/matches.hpp>
#include <QOVAicuC/number_settings.hpp>
#include <QOVAicuC/numbers.hpp>
#include <QOVAicuC/split.hpp>
#include <QOVAicuC/text.hpp>

int main() {
    using namespace qovaicuc;
    auto pattern = fromUtf8(","), input = fromUtf8("a,b"), broken = fromUtf8("(");
    auto matcher = Matcher::make(pattern);
    const auto fields = matcher ? split(*matcher, input) : std::nullopt;
    const auto dates = DateTimeFormatter::make("C", "Etc/GMT-1");
    const auto text = formatTime(dates, TimePoint{});
    auto fmt = NumberFormatter::make("C");
    const bool ok = fields && fields->size() == 2 && text && parseTime(dates, *text) == TimePoint{} &&
                    !Matcher::make(broken) && formatNumber(fmt, 7) == "7";
    return ok && QOVAicuC_InternalMarker() == 1 ? 0 : 1;
}
