// qovaicu convert: writes text in a codepage, byte for byte.
//
// The input is read as bytes and decoded with ICU (the library takes no bytes that hold zeros and
// says nothing about where input is invalid); the library writes the codepage. Before it does,
// the text is checked against the set of characters the codepage can hold, so that an unmappable
// character stops the conversion with its byte offset instead of becoming the codepage's
// substitution byte. U+0000, which the library's export reads as the end of the text, is written
// by the tool in the codepage's own bytes.
#include "common.h"

#include <QOVAicuC/handles.hpp>
#include <QOVAicuC/text.hpp>

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/uset.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace qovaicu {
namespace {

// Stdin is read in pieces of this many bytes; memory use follows it, not the input's size.
constexpr size_t kChunk = 1 << 16;

struct Options {
    std::string to = QOVAUnicodeStringServices::getDefaultCodepage();
    std::string from = "UTF-8";
    std::string substitute;
    bool hex = false;
    Inputs in;
};

struct IcuConverter {
    UConverter* p = nullptr;
    ~IcuConverter() { ucnv_close(p); }
};
struct IcuSet {
    USet* p = nullptr;
    ~IcuSet() { uset_close(p); }
};

// A conversion that failed: exit status and message are decided by the caller.
struct Failure {
    std::string message;
};

// Writes bytes raw, or as hexadecimal pairs separated by spaces.
struct Sink {
    bool hex = false;
    bool started = false;  // something was written (hex: a separating space is due)
    void write(const char* p, size_t n) {
        Output& out = Output::get();
        if (!hex) return out.write(p, n);
        static const char digits[] = "0123456789abcdef";
        for (size_t i = 0; i < n; ++i, started = true) {
            if (started) out.put(' ');
            out.put(digits[static_cast<unsigned char>(p[i]) >> 4]);
            out.put(digits[p[i] & 15]);
        }
    }
    // The end of a text in hex: a line end after what was written.
    void endLine() {
        if (hex && started) Output::get().put('\n');
        started = false;
    }
};

// The writing side: the library's converter, what the codepage holds, the bytes of U+0000 and of
// the byte-order mark, and whether the codepage keeps a state from one character to the next.
class Target {
public:
    explicit Target(const Options& o) : name_(o.to) {
        UErrorCode status = U_ZERO_ERROR;
        icu_.p = ucnv_open(o.to.c_str(), &status);
        if (U_FAILURE(status) || !(lib_ = qovaicuc::Converter::open(o.to)))
            throw Failure{"unknown codepage '" + clip(o.to) + "' (see qovaicu list codepages)"};
        mappable_.p = uset_openEmpty();
        ucnv_getUnicodeSet(icu_.p, mappable_.p, UCNV_ROUNDTRIP_SET, &status);
        if (U_FAILURE(status)) {  // converters that cannot tell: let every character through
            status = U_ZERO_ERROR;
            uset_addRange(mappable_.p, 0, 0x10FFFF);
        }
        // U+0000 is written apart, so spans of text stop at it.
        uset_remove(mappable_.p, 0);
        uset_freeze(mappable_.p);
        // The characters of the BMP that the codepage holds, one bit each, for span().
        for (int32_t k = 0; k < uset_getRangeCount(mappable_.p); ++k) {
            UChar32 first = 0, last = 0;
            UErrorCode ignored = U_ZERO_ERROR;
            uset_getItem(mappable_.p, k, &first, &last, nullptr, 0, &ignored);
            for (UChar32 c = first; c <= std::min<UChar32>(last, 0xFFFF); ++c) bmp_[c >> 6] |= uint64_t{1} << (c & 63);
        }
        // UTF-16 and UTF-32 start each conversion with a byte-order mark; the stream has one.
        const UConverterType type = ucnv_getType(icu_.p);
        bomSize_ = type == UCNV_UTF16 ? 2 : type == UCNV_UTF32 ? 4 : 0;
        char nul[16];
        const UChar zero = 0;
        const int32_t n = ucnv_fromUChars(icu_.p, nul, sizeof nul, &zero, 1, &status);
        if (U_FAILURE(status) || n <= static_cast<int32_t>(bomSize_))
            throw Failure{"codepage '" + o.to + "' cannot hold U+0000"};
        bom_.assign(nul, bomSize_);
        nul_.assign(nul + bomSize_, static_cast<size_t>(n) - bomSize_);
        // In single-byte codepages and UTF-8 the byte 0 stands for U+0000 alone; in double and
        // multi-byte ones when no lead byte takes 0 as its trail byte.
        zeroOnlyForNul_ = nul_ == std::string(1, '\0') &&
                          (type == UCNV_SBCS || type == UCNV_LATIN_1 || type == UCNV_US_ASCII ||
                           type == UCNV_UTF8 || ((type == UCNV_DBCS || type == UCNV_MBCS) && !zeroTrails(o.to)));
        // Codepages that hold every character (UTF-8, GB18030) need no check of the text.
        holdsAll_ = uset_containsRange(mappable_.p, 1, 0xD7FF) && uset_containsRange(mappable_.p, 0xE000, 0x10FFFF);
        maxCharSize_ = ucnv_getMaxCharSize(icu_.p);
        stateful_ = !(type == UCNV_SBCS || type == UCNV_DBCS || type == UCNV_MBCS ||
                      type == UCNV_LATIN_1 || type == UCNV_US_ASCII || type == UCNV_UTF8 ||
                      type == UCNV_CESU8 || type == UCNV_UTF16 || type == UCNV_UTF32 ||
                      type == UCNV_UTF16_BigEndian || type == UCNV_UTF16_LittleEndian ||
                      type == UCNV_UTF32_BigEndian || type == UCNV_UTF32_LittleEndian);
    }

    const std::string& name() const { return name_; }
    // The next text starts a stream of its own (with its byte-order mark).
    void startStream() { bomDone_ = false; }
    bool stateful() const { return stateful_; }
    bool holdsAll() const { return holdsAll_; }
    bool holds(UChar32 c) const { return uset_contains(mappable_.p, c); }
    // The length of the leading units of `text` that the codepage holds (U+0000 excluded).
    size_t span(const UChar* text, size_t n) const {
        size_t i = 0;
        while (i < n) {
            const UChar u = text[i];
            if (!U16_IS_SURROGATE(u)) {
                if (!(bmp_[u >> 6] >> (u & 63) & 1)) break;
                ++i;
            } else if (U16_IS_LEAD(u) && i + 1 < n && U16_IS_TRAIL(text[i + 1]) &&
                       uset_contains(mappable_.p, U16_GET_SUPPLEMENTARY(u, text[i + 1]))) {
                i += 2;
            } else {
                break;
            }
        }
        return i;
    }

    // Writes the n units of `text`, each U+0000 among them as the codepage's bytes for it. The
    // unit text[n] is borrowed for a terminator during the call.
    void write(UChar* text, size_t n, Sink& sink) {
        size_t i = 0;
        while (i <= n) {
            size_t j = i;
            while (j < n && text[j] != 0) ++j;
            if (j > i) {
                const UChar saved = text[j];
                text[j] = 0;
                qovaicuc::String s(qovaicuc::adopt, QOVAUnicodeStringFactory::make(
                    reinterpret_cast<const unsigned short*>(text + i)));
                text[j] = saved;
                encode(s, j - i, sink);
            }
            if (j < n) {
                const std::string bytes = bom_ + nul_;
                emit(bytes.data(), bytes.size(), sink);
            }
            i = j + 1;
        }
    }

private:
    // Whether some two bytes B 00 are one character of `codepage`.
    static bool zeroTrails(const std::string& codepage) {
        IcuConverter c;
        UErrorCode status = U_ZERO_ERROR;
        c.p = ucnv_open(codepage.c_str(), &status);
        ucnv_setToUCallBack(c.p, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
        for (int b = 1; b < 256 && U_SUCCESS(status); ++b) {
            const char bytes[2] = {static_cast<char>(b), 0};
            UChar out[8];
            const int32_t n = ucnv_toUChars(c.p, out, 8, bytes, 2, &status);
            if (U_SUCCESS(status) && (n == 0 || out[n - 1] != 0)) return true;  // B 00 is one character
            status = U_ZERO_ERROR;
            ucnv_resetToUnicode(c.p);
        }
        return U_FAILURE(status);
    }

    void encode(const qovaicuc::String& text, size_t units, Sink& sink) {
        if (!zeroOnlyForNul_) {
            const std::optional<std::string> bytes = qovaicuc::codepage(text, lib_);
            if (!bytes) throw Failure{"the library cannot write this text in " + name_};
            emit(bytes->data(), bytes->size(), sink);
            return;
        }
        // One pass instead of two (size, then bytes): with room for the longest result, the
        // zero byte that the export writes after the text marks its end.
        const size_t room = UCNV_GET_MAX_BYTES_FOR_STRING(units, maxCharSize_) + 1;
        if (room > bufferSize_) {
            buffer_.reset(new char[room]);
            bufferSize_ = room;
        }
        if (!QOVAUnicodeStringServices::getAsMBCS(text.get(), lib_.get(), buffer_.get(),
                                                  static_cast<int>(room), 0))
            throw Failure{"the library cannot write this text in " + name_};
        emit(buffer_.get(), std::strlen(buffer_.get()), sink);
    }

    // Every library call begins with a byte-order mark: only the stream's first one stays.
    void emit(const char* bytes, size_t n, Sink& sink) {
        size_t skip = 0;
        if (bomSize_ != 0 && bomDone_ && n >= bomSize_ && bom_.compare(0, bomSize_, bytes, bomSize_) == 0)
            skip = bomSize_;
        bomDone_ = true;
        sink.write(bytes + skip, n - skip);
    }

    std::string name_;
    IcuConverter icu_;
    qovaicuc::Converter lib_;
    IcuSet mappable_;
    size_t bomSize_ = 0;
    std::string bom_, nul_;
    bool stateful_ = false;
    bool bomDone_ = false;
    bool zeroOnlyForNul_ = false;
    bool holdsAll_ = false;
    std::vector<uint64_t> bmp_ = std::vector<uint64_t>(1024);
    int maxCharSize_ = 1;
    std::unique_ptr<char[]> buffer_;
    size_t bufferSize_ = 0;
};

// Writes the user's substitute in place of input bytes that are no character.
void substituteBytes(const void* context, UConverterToUnicodeArgs* args, const char*, int32_t,
                     UConverterCallbackReason reason, UErrorCode* status) {
    if (reason > UCNV_IRREGULAR) return;
    const auto* sub = static_cast<const std::u16string*>(context);
    *status = U_ZERO_ERROR;
    ucnv_cbToUWriteUChars(args, reinterpret_cast<const UChar*>(sub->data()),
                          static_cast<int32_t>(sub->size()), 0, status);
}

// One text (an argument, or all of stdin): decoded piece by piece, checked, written.
class Conversion {
public:
    Conversion(const Options& o, Target& target, const std::u16string& sub, Sink& sink)
        : target_(target), sub_(sub), sink_(sink) {
        UErrorCode status = U_ZERO_ERROR;
        from_.p = ucnv_open(o.from.c_str(), &status);
        if (U_FAILURE(status))
            throw Failure{"unknown codepage '" + clip(o.from) + "' (see qovaicu list codepages)"};
        if (sub.empty())
            ucnv_setToUCallBack(from_.p, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
        else
            ucnv_setToUCallBack(from_.p, substituteBytes, &sub_, nullptr, nullptr, &status);
        // Valid UTF-8 tells each character's byte offset by itself; other input keeps ICU's
        // offsets for the error messages.
        utf8_ = ucnv_getType(from_.p) == UCNV_UTF8;
    }

    // Decodes `n` bytes; `last` flushes the decoder and writes what a stateful codepage held back.
    void feed(const char* data, size_t n, bool last) {
        const char* src = data;
        const char* const end = data + n;
        const long long feedStart = consumed_;
        for (;;) {
            const size_t room = 2 * static_cast<size_t>(end - src) + 64;
            reserve(used_ + room + 1);  // one more: Target::write puts a terminator there
            UChar* t = units_.get() + used_;
            int32_t* offs = utf8_ ? nullptr : offsets_.get() + used_;
            const char* const callStart = src;
            UErrorCode status = U_ZERO_ERROR;
            ucnv_toUnicode(from_.p, &t, t + room, &src, end, offs, last, &status);
            consumed_ = feedStart + (src - data);
            const size_t produced = static_cast<size_t>(t - (units_.get() + used_));
            if (offs != nullptr)  // relative to the batch's first byte; -1: from an earlier piece
                for (size_t k = 0; k < produced; ++k)
                    if (offs[k] >= 0) offs[k] += static_cast<int32_t>(feedStart + (callStart - data) - batchStart_);
            used_ += produced;
            const bool overflow = status == U_BUFFER_OVERFLOW_ERROR;
            const bool bad = U_FAILURE(status) && !overflow;
            if (!target_.stateful() || bad) flush();
            if (bad) {
                char invalid[32];
                int8_t length = sizeof invalid;
                UErrorCode ignored = U_ZERO_ERROR;
                ucnv_getInvalidChars(from_.p, invalid, &length, &ignored);
                throw Failure{"invalid " + std::string(ucnv_getName(from_.p, &ignored)) +
                              " input at byte " + std::to_string(consumed_ - length) + " (" +
                              hexBytes(invalid, length) + ")"};
            }
            if (!overflow) break;
        }
        if (last) flush();
    }

private:
    void reserve(size_t size) {
        if (size <= capacity_) return;
        const size_t grown = std::max(size, 2 * capacity_);
        std::unique_ptr<UChar[]> units(new UChar[grown]);
        std::copy(units_.get(), units_.get() + used_, units.get());
        units_ = std::move(units);
        if (!utf8_) {
            std::unique_ptr<int32_t[]> offsets(new int32_t[grown]);
            std::copy(offsets_.get(), offsets_.get() + used_, offsets.get());
            offsets_ = std::move(offsets);
        }
        capacity_ = grown;
    }

    // The input byte offset of unit `i` of the batch.
    long long offsetOf(size_t i) const {
        if (!utf8_) return offsets_[i] < 0 ? batchStart_ : batchStart_ + offsets_[i];
        long long bytes = batchStart_;
        for (size_t k = 0; k < i; ++k) {
            const UChar u = units_[k];
            bytes += u < 0x80 ? 1 : u < 0x800 ? 2 : U16_IS_SURROGATE(u) ? 2 : 3;
        }
        return bytes;
    }

    // Writes the decoded units, stopping at the first character the codepage lacks unless a
    // substitute takes its place.
    void flush() {
        UChar* const units = units_.get();
        const size_t n = used_;
        std::u16string replaced;  // the batch with substitutes, built once one is needed
        size_t copied = 0;        // the units before this one are in `replaced`
        size_t i = target_.holdsAll() ? n : 0;
        while (i < n) {
            i += target_.span(units + i, n - i);
            if (i >= n) break;
            if (units[i] == 0) {  // written by Target::write
                ++i;
                continue;
            }
            size_t k = i;
            UChar32 c = 0;
            U16_NEXT(units, k, n, c);
            if (sub_.empty()) {
                target_.write(units, i, sink_);
                throw Failure{"cannot write " + describe(c) + " in " + target_.name() +
                              " (input byte " + std::to_string(offsetOf(i)) +
                              "; --substitute CHAR writes CHAR instead)"};
            }
            replaced.append(units + copied, units + i);
            replaced += sub_;
            copied = i = k;
        }
        if (copied == 0) {
            target_.write(units, n, sink_);
        } else {
            replaced.append(units + copied, units + n);
            // Target::write borrows text[n], here the string's own terminator, and restores it.
            target_.write(replaced.data(), replaced.size(), sink_);
        }
        used_ = 0;
        UErrorCode status = U_ZERO_ERROR;
        batchStart_ = consumed_ - ucnv_toUCountPending(from_.p, &status);
    }

    static std::string describe(UChar32 c) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
        return code;
    }

    static std::string hexBytes(const char* p, int n) {
        std::string out;
        char pair[4];
        for (int i = 0; i < n; ++i) {
            std::snprintf(pair, sizeof pair, i ? " %02x" : "%02x", static_cast<unsigned char>(p[i]));
            out += pair;
        }
        return out;
    }

    Target& target_;
    const std::u16string& sub_;
    Sink& sink_;
    IcuConverter from_;
    bool utf8_ = false;
    // The decoded units of the batch (and with other input than UTF-8 their byte offsets);
    // left uninitialised, as ICU overwrites them.
    std::unique_ptr<UChar[]> units_;
    std::unique_ptr<int32_t[]> offsets_;
    size_t used_ = 0, capacity_ = 0;
    long long consumed_ = 0;    // input bytes handed to the decoder
    long long batchStart_ = 0;  // input offset of the batch's first unit
};

int run(const Options& o) {
    std::u16string sub;
    std::unique_ptr<Target> target;
    try {
        target = std::make_unique<Target>(o);
        if (!o.substitute.empty()) {
            qovaicuc::String s = qovaicuc::fromUtf8(o.substitute);
            sub = qovaicuc::utf16(s).value_or(u"");
            UChar32 c = 0;
            size_t k = 0;
            U16_NEXT(sub.data(), k, sub.size(), c);
            if (k != sub.size() || !target->holds(c))
                throw Failure{"the substitute '" + clip(o.substitute) + "' is not one character " +
                              o.to + " holds"};
        }
    } catch (const Failure& f) {
        complain("convert", f.message);
        return kUsage;
    }
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    Sink sink;
    sink.hex = o.hex;
    Output& out = Output::get();
    int result = kOk;
    std::vector<std::string> files = o.in.files;
    if (files.empty() && o.in.texts.empty()) files.emplace_back("-");
    try {
        for (size_t i = 0; i < o.in.texts.size(); ++i) {
            if (o.hex) target->startStream();  // one line per text, each a conversion of its own
            Conversion conversion(o, *target, sub, sink);
            try {
                conversion.feed(o.in.texts[i].data(), o.in.texts[i].size(), true);
            } catch (const Failure& f) {
                throw Failure{"text " + std::to_string(i + 1) + ": " + f.message};
            }
            sink.endLine();
        }
        // Each file is a conversion of its own, read in pieces as they come (a pipe's included).
        std::vector<char> buffer(kChunk);
        for (const std::string& name : files) {
            const int fd = name == "-" ? 0 : ::open(name.c_str(), O_RDONLY);
            if (fd < 0) {
                complain("convert", "cannot read '" + clip(name) + "': " + std::strerror(errno));
                result = kUsage;
                continue;
            }
            Conversion conversion(o, *target, sub, sink);
            for (ssize_t n = 1; n != 0 && !out.failed();) {
                n = ::read(fd, buffer.data(), buffer.size());
                if (n < 0 && errno == EINTR) continue;
                if (n < 0) {
                    complain("convert", "cannot read '" + clip(name) + "': " + std::strerror(errno));
                    result = kUsage;
                    break;
                }
                conversion.feed(buffer.data(), static_cast<size_t>(n), n == 0);
                out.endRecord();
            }
            if (fd > 0) ::close(fd);
        }
        sink.endLine();
    } catch (const Failure& f) {
        sink.endLine();
        out.flush();
        complain("convert", f.message);
        result = kBadValue;
    }
    return out.finish("convert", result);
}

}  // namespace

Command addConvertCommand(CLI::App& root) {
    auto o = std::make_shared<Options>();
    CLI::App* app = root.add_subcommand("convert", "Write text in a codepage, byte for byte");
    addInputOptions(*app, o->in, "Texts to convert");
    app->add_option("-t,--to", o->to, "Codepage to write, as ICU names it, e.g. ISO-8859-1, "
                                      "windows-1252, Shift_JIS, UTF-16LE (qovaicu list codepages)")
        ->capture_default_str();
    app->add_option("-f,--from", o->from, "Codepage of the input")->capture_default_str();
    app->add_option("-s,--substitute", o->substitute,
                    "Write this character, in the target codepage, for each character it lacks "
                    "and each invalid input sequence (default: stop with exit status 1)")
        ->type_name("CHAR");
    app->add_flag("-x,--hex", o->hex,
                  "Print the bytes in hexadecimal, one line per text (stdin is one text)");
    app->footer(
        "Nothing is added or dropped: line ends, U+0000 and a missing final newline pass as they\n"
        "are, and UTF-16 and UTF-32 get one byte-order mark at the start. Several texts given with\n"
        "--text, and files, are written one after the other. A character the codepage lacks, or input\n"
        "that is not valid in --from, stops the conversion: exit status 1 and the byte offset\n"
        "(what comes before it is written). --substitute CHAR writes CHAR in the codepage's own\n"
        "bytes ('?' is 6f in ibm-037). Input is read in pieces of up to 64 KiB as they come, and\n"
        "each piece is written before the next is read (codepages with shift states, e.g.\n"
        "ISO-2022-JP, are converted whole, so the output equals a one-piece conversion).\n"
        "Example: printf 'caf\\xc3\\xa9\\r\\n' | qovaicu convert --to ibm-037 --hex");
    return {app, [o] { return run(*o); }};
}

}  // namespace qovaicu
