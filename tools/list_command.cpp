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

void locales() {
    for (int32_t i = 0; i < uloc_countAvailable(); ++i) std::printf("%s\n", uloc_getAvailable(i));
}

int zones() {
    UErrorCode status = U_ZERO_ERROR;
    UEnumeration* all = ucal_openTimeZones(&status);
    for (const char* name; U_SUCCESS(status) && (name = uenum_next(all, nullptr, &status));)
        std::printf("%s\n", name);
    uenum_close(all);
    return U_SUCCESS(status) ? kOk : kBadValue;
}

// Each converter name, then a tab and its aliases separated by spaces.
void codepages() {
    for (int32_t i = 0; i < ucnv_countAvailable(); ++i) {
        const char* name = ucnv_getAvailableName(i);
        std::printf("%s\t", name);
        UErrorCode status = U_ZERO_ERROR;
        const uint16_t count = ucnv_countAliases(name, &status);
        for (uint16_t k = 0; k < count; ++k) {
            const char* alias = ucnv_getAlias(name, k, &status);
            if (U_SUCCESS(status) && std::string(alias) != name)
                std::printf(k + 1 < count ? "%s " : "%s", alias);
        }
        std::printf("\n");
    }
}

void units() {
    for (const auto& row : kUnits) std::printf("%s\n", row.name);
}

}  // namespace

Command addListCommand(CLI::App& root) {
    auto what = std::make_shared<std::string>();
    CLI::App* app = root.add_subcommand("list", "List the ids that the other commands accept");
    app->add_option("what", *what, "locales | zones | codepages (with their aliases) | units")
        ->required()
        ->check(CLI::IsMember({"locales", "zones", "codepages", "units"}));
    return {app, [what] {
                if (*what == "locales") locales();
                if (*what == "zones") return zones();
                if (*what == "codepages") codepages();
                if (*what == "units") units();
                return static_cast<int>(kOk);
            }};
}

}  // namespace qovaicu
