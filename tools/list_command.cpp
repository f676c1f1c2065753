// qovaicu list: the ids that the other commands accept, as ICU (or the tool) knows them.
#include "common.h"

#include <unicode/ucal.h>
#include <unicode/ucnv.h>
#include <unicode/uenum.h>
#include <unicode/uloc.h>

#include <cstdio>
#include <memory>

namespace qovaicu {
namespace {

void line(std::string_view text) {
    Output::get().write(text);
    Output::get().put('\n');
}

int zones() {
    UErrorCode status = U_ZERO_ERROR;
    UEnumeration* all = ucal_openTimeZones(&status);
    for (const char* name; U_SUCCESS(status) && (name = uenum_next(all, nullptr, &status));) line(name);
    uenum_close(all);
    return U_SUCCESS(status) ? kOk : kBadValue;
}

// Each converter name, then a tab and its aliases separated by spaces.
void codepages() {
    for (int32_t i = 0; i < ucnv_countAvailable(); ++i) {
        const char* name = ucnv_getAvailableName(i);
        std::string text = std::string(name) + "\t";
        UErrorCode status = U_ZERO_ERROR;
        const uint16_t count = ucnv_countAliases(name, &status);
        for (uint16_t k = 0; k < count; ++k) {
            const char* alias = ucnv_getAlias(name, k, &status);
            if (U_SUCCESS(status) && std::string(alias) != name) text += alias + std::string(k + 1 < count ? " " : "");
        }
        line(text);
    }
}

}  // namespace

Command addListCommand(CLI::App& root) {
    auto what = std::make_shared<std::string>();
    CLI::App* app = root.add_subcommand("list", "List the ids that the other commands accept");
    app->add_option("what", *what, "locales | zones | codepages (with their aliases) | units")
        ->required()
        ->check(CLI::IsMember({"locales", "zones", "codepages", "units"}));
    return {app, [what] {
                int status = kOk;
                if (*what == "locales")
                    for (int32_t i = 0; i < uloc_countAvailable(); ++i) line(uloc_getAvailable(i));
                if (*what == "zones") status = zones();
                if (*what == "codepages") codepages();
                if (*what == "units")
                    for (const auto& row : kUnits) line(row.name);
                return Output::get().finish("list", status);
            }};
}

}  // namespace qovaicu
