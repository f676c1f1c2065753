// The sections of the tour, one per family. Each prints what it does and returns false when a
// result is not the one it expects.
#pragma once

#include <QOVAicuC.h>

#include <string>

bool tourStrings();
bool tourNumbers();

namespace tour {

// Prints one line "label: value" and compares it with the expected value.
bool show(const char* label, const std::string& value, const std::string& expected);

// The UTF-8 text of a string handle, without its terminator.
std::string utf8(void* str);

}  // namespace tour
