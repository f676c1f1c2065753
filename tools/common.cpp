#include "common.h"

#include <QOVAicuC/text.hpp>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace qovaicu {

std::vector<std::string> valuesOrLines(const std::vector<std::string>& arguments) {
    if (!arguments.empty()) return arguments;
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

void complain(const char* command, const std::string& message) {
    std::fprintf(stderr, "qovaicu %s: %s\n", command, message.c_str());
}

std::string textOf(void* str) { return qovaicuc::utf8(str).value_or(std::string()); }

std::optional<long long> toInt64(std::string_view text) {
    long long value = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

std::optional<int> toInt(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

std::optional<double> toDouble(std::string_view text) {
    double value = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

}  // namespace qovaicu
