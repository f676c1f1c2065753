// A program outside the project that uses the installed library and every helper header.
#include <QOVAicuC.h>
#include <QOVAicuC/datetime.hpp>
#include <QOVAicuC/handles.hpp>
#include <QOVAicuC/matches.hpp>
#include <QOVAicuC/number_settings.hpp>
#include <QOVAicuC/split.hpp>
#include <QOVAicuC/text.hpp>

int main() {
    using namespace qovaicuc;
    auto pattern = fromUtf8(","), input = fromUtf8("a,b");
    auto matcher = Matcher::make(pattern);
    const auto fields = split(*matcher, input);
    const auto dates = DateTimeFormatter::make("C", "Etc/GMT-1");
    const auto text = formatTime(dates, TimePoint{});
    const bool ok = fields && fields->size() == 2 && text && parseTime(dates, *text) == TimePoint{};
    return ok && QOVAicuC_InternalMarker() == 1 ? 0 : 1;
}
