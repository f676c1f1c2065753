// The sections of the tour, one per family. Each prints what it does and returns false when a
// result is not the one it expects.
#pragma once

#include <QOVAicuC.h>

#include <string>

bool tourStrings();
bool tourExport();
bool tourRegex();
bool tourDates();
bool tourNumbers();

namespace tour {

// Prints one line "label: value" and compares it with the expected value.
bool show(const char* label, const std::string& value, const std::string& expected);

// The text of a string handle before its terminator, as UTF-8.
std::string utf8(void* str);

}  // namespace tour
