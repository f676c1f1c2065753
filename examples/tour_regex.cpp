// Regular expressions: a find loop with positions, a replacement with capture groups, a split.
#include "tour.h"

#include <cstdio>

bool tourRegex() {
    using SF = QOVAUnicodeStringFactory;
    using F = QOVAUnicodeRegexFactory;
    using R = QOVAUnicodeRegexServices;
    std::printf("Regular expressions\n");
    bool ok = true;

    // The matcher refers to `input` without copying it, so `input` lives as long as the matcher.
    void* pattern = SF::make("(\\w+)=(\\d+)", "UTF-8");
    void* input = SF::make("width=80 height=24", "UTF-8");
    void* matcher = F::make(pattern, input, 0);
    void* text = SF::make();
    std::string walk;
    while (R::find(matcher)) {
        R::group(matcher, text);
        walk += "[" + std::to_string(R::start(matcher)) + "," + std::to_string(R::end(matcher)) +
                ") " + tour::utf8(text) + " ";
    }
    ok &= tour::show("every match with its positions:", walk, "[0,8) width=80 [9,18) height=24 ");

    // $1 and $2 in a replacement stand for the capture groups of each match.
    void* with = SF::make("$1 is $2", "UTF-8");
    R::replaceAll(matcher, with, text);
    ok &= tour::show("replaceAll with \"$1 is $2\":", tour::utf8(text), "width is 80 height is 24");

    // split writes into an array of icu::UnicodeString objects; a single string handle is an
    // array of one, which receives the whole rest of the text, delimiters included.
    void* comma = SF::make(", *", "UTF-8");
    void* splitter = F::make(comma, 0);
    void* csv = SF::make("red, green,blue", "UTF-8");
    void* field = SF::make();
    const int fields = R::split(splitter, csv, field, 1);
    ok &= tour::show("split into one string, fields:", std::to_string(fields), "1");
    // Fields come without a terminator; the UTF-8 export reads up to one.
    QOVAUnicodeStringServices::nullTerminateString(field);
    ok &= tour::show("the one field:", tour::utf8(field), "red, green,blue");
    // Afterwards the splitter has an empty input until it is given another.
    ok &= tour::show("find right after split:", R::find(splitter) ? "true" : "false", "false");
    R::reset(splitter, csv);
    R::find(splitter);
    ok &= tour::show("first comma once reset to the text:", std::to_string(R::start(splitter)), "3");

    F::destroy(matcher);
    F::destroy(splitter);
    for (void** h : {&pattern, &input, &text, &with, &comma, &csv, &field}) SF::destroy(*h);
    return ok;
}
