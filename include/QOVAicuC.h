/// \file
/// QOVAicuC: Unicode text services behind opaque handles.
///
/// Every operation is a static member function of one of eleven classes. Objects cross the
/// boundary as `void*` handles; no ICU type, status code or exception ever reaches the caller.
///
/// ### Handles and ownership
/// \verbatim
///   string handle     made by QOVAUnicodeStringFactory (and StringServices::concatenate and
///                     substring), released by QOVAUnicodeStringFactory::destroy
///   converter handle  QOVAUnicodeCodepageConverter::open / close
///   matcher handle    QOVAUnicodeRegexFactory::make / destroy
///   number formatter  QOVAUnicodeNumFormatterFactory::make / makeCopy / destroy
///   format handle     date-time formatter or number parser: the make of its factory;
///                     makeCopy / destroy of either factory (they are the same operations)
/// \endverbatim
/// The caller owns a handle from the operation that returns it until the release operation,
/// which takes the caller's variable by reference and sets it to null.
/// A handle is tested for null only: a handle of another kind or one already released is
/// outside the contract.
///
/// ### Terminated form
/// Strings that the library hands back end in one U+0000 unit that is part of their content
/// (the terminator). Freshly made strings have none; nullTerminateString adds it. Operations
/// that read a string as a piece of text strip its trailing U+0000 units first; the comments
/// below say where an argument is changed that way.
///
/// ### Failure results
/// factories: null; bool: false; int length, size, hash: 0; index: -1; unit: 0xFFFF;
/// void: no effect. An output parameter keeps its value when a handle argument is null.
///
/// ### Locale arguments
/// The factories of formatters and parsers take a locale: null or "" selects ICU's default
/// locale, exactly "C" selects en_US_POSIX, any other text is an ICU locale id.
///
/// ### Threads
/// The library keeps no state and takes no locks. A handle is used by one thread at a time;
/// operations that change arguments they only read (marked below) count as writes.
#ifndef QOVAICUC_H
#define QOVAICUC_H

/// \name Version
/// The release of the library that this header belongs to. The CMake build refuses to configure
/// when these differ from its project version. Releases with the same major version keep the
/// binary interface: a program built against this header runs with any later 1.x library.
///@{
#define QOVAICUC_VERSION_MAJOR 1        ///< Changes when the binary interface changes.
#define QOVAICUC_VERSION_MINOR 0        ///< Changes when operations are added.
#define QOVAICUC_VERSION_PATCH 0        ///< Changes for fixes only.
#define QOVAICUC_VERSION_STRING "1.0.0" ///< "MAJOR.MINOR.PATCH".
///@}

/// \def QOVAICUC_API
/// Marks what the library exports: default visibility on ELF; on Windows dllexport while the
/// library itself is built (QOVAICUC_BUILDING) and dllimport for its callers.
#if defined(_WIN32)
#if defined(QOVAICUC_BUILDING)
#define QOVAICUC_API __declspec(dllexport)
#else
#define QOVAICUC_API __declspec(dllimport)
#endif
#else
#define QOVAICUC_API __attribute__((visibility("default")))
#endif

/// Marker export: returns 1, does nothing else.
extern "C" QOVAICUC_API int QOVAicuC_InternalMarker(void);

// ---------------------------------------------------------------------------------------------
/// String handles: one heap UnicodeString each. No make overload appends a terminator.
class QOVAICUC_API QOVAUnicodeStringFactory {
public:
    /// An empty string.
    static void* make(void);
    /// Exactly one unit equal to `unit` (0 and surrogate values included).
    static void* make(unsigned short unit);
    /// The code point `codePoint`: one unit up to 0xFFFF, a surrogate pair up to 0x10FFFF,
    /// an empty string for any other value.
    static void* make(int codePoint);
    /// The NUL-terminated bytes `data` decoded from `codepage` (null: ICU's default codepage,
    /// "": invariant characters). A null `data` gives an empty string; an unknown codepage gives
    /// an empty (bogus) string. Null only when memory runs out.
    static void* make(const char* data, const char* codepage);
    /// The UTF-16 units of `text` before its first U+0000 unit; null `text` gives an empty string.
    static void* make(const unsigned short* text);
    /// The UTF-32 text `text` up to its first 0. `failed` is set to false, or to true when the
    /// text holds a value that is no Unicode scalar value or `text` is null; the result is then
    /// an empty string handle (not null).
    static void* make(const int* text, bool& failed);
    /// A copy of `source`, terminator included; null for a null source.
    static void* makeCopy(const void* source);
    /// `text` read as invariant characters: `length` bytes, or up to its NUL when negative.
    static void* makeInvariant(const char* text, int length);
    /// Releases the string and sets `handle` to null; no effect for null.
    static void destroy(void*& handle);

    ///@{
    /// Assignment of a class that holds no data: does nothing and returns `*this`. Part of the
    /// binary interface.
    QOVAUnicodeStringFactory& operator=(const QOVAUnicodeStringFactory&);
    QOVAUnicodeStringFactory& operator=(QOVAUnicodeStringFactory&&);
    ///@}
};

// ---------------------------------------------------------------------------------------------
/// Operations on string handles. Positions and lengths count UTF-16 units.
class QOVAICUC_API QOVAUnicodeStringServices {
public:
    /// Appends one U+0000 unless the last unit already is U+0000. Null: no effect.
    static void nullTerminateString(void* str);
    /// Removes every trailing U+0000 unit. Null: no effect.
    static void removeNullTerminator(void* str);

    /// The number of units minus one (the text length of a terminated string); 0 for null.
    static int length(void* str);
    /// The unit at `index` (the terminator included); 0xFFFF for null or an index out of range.
    static unsigned short charAt(void* str, int index);
    /// Hash of the whole content, terminator included; 0 for null.
    static int hashCode(void* str);

    /// First position at or after `start` of the text of `needle` in the whole of `str`;
    /// -1 if none or a handle is null. Strips `needle` for the search and terminates it again.
    static int indexOf(void* str, void* needle, int start);
    /// First position at or after `start` of `unit` (0 finds the terminator); -1 if none or null.
    static int indexOf(void* str, unsigned short unit, int start);
    /// Last occurrence beginning at or after `start`; -1 if none or null. Changes `needle` as
    /// indexOf does.
    static int lastIndexOf(void* str, void* needle, int start);
    /// Last position at or after `start` of `unit`; -1 if none or null.
    static int lastIndexOf(void* str, unsigned short unit, int start);

    /// Code point order of the whole contents in `result` (-1, 0, 1); false if a handle is null
    /// (`result` untouched).
    static bool compareCodePointOrder(void* first, void* second, int& result);
    /// Case-insensitive (default folding) code point order in `result`; false if a handle is null.
    static bool compareIgnoringCase(void* first, void* second, int& result);
    ///@{
    /// Case mapping in place with the default locale's rules; false for null.
    static bool convertToLower(void* str);
    static bool convertToUpper(void* str);
    ///@}

    /// Appends the text of `source` to `target`; both come out terminated (so `source` is
    /// changed when it was not). false if a handle is null, or if the joined text and its
    /// terminator would pass INT32_MAX units (both then keep their text), or if ICU cannot
    /// allocate the joined text (the target then has lost its text).
    static bool append(void* target, void* source);
    /// A new terminated string joining the texts of `first` and `second` in `result` (owned by
    /// the caller; the earlier value of `result` is overwritten, not released). Both inputs come
    /// out terminated. false if a handle is null, memory runs out or the joined text and its
    /// terminator would pass INT32_MAX units; `result` then untouched.
    static bool concatenate(void* first, void* second, void*& result);
    /// Replaces every unit `from` by `to`. With `from` 0 the string is terminated again; with `to`
    /// 0 it is cut right after its first U+0000. false for null.
    static bool replace(void* str, unsigned short from, unsigned short to);
    /// A new terminated string of at most `length` units of `str` from `start` (negative start:
    /// 0; negative length: none) in `result` (owned by the caller). `str` is not changed.
    /// false for null or when memory runs out; `result` then untouched.
    static bool substring(void* str, void*& result, int start, int length);

    /// \name Export
    /// UTF-16 copies every unit (terminator included) and needs capacity >= size.
    /// The other four read the text up to the first U+0000 unit, write a zero after it, and need
    /// capacity >= size + 1; a buffer of exactly the size fails. They succeed only on ICU's plain
    /// success (a warning counts as failure); on failure the buffer may hold a partial result.
    /// Sizes are 0 for null handles and for text that cannot be converted, and 0 as well where
    /// the export would pass INT32_MAX units (UTF-8 or codepage bytes of a text of more than about
    /// 716 million units; never for UTF-16, UTF-32 or wide text); the export then returns false
    /// without writing past `capacity`.
    ///@{
    /// The size for getAsUTF16, in UTF-16 units.
    static int getAsUTF16size(void* str);
    /// Copies every unit of `str` into `buffer`.
    static bool getAsUTF16(void* str, unsigned short* buffer, int capacity);
    /// The size for getAsUTF8, in bytes.
    static int getAsUTF8size(void* str);
    /// The text as UTF-8 into `buffer`, then a zero byte.
    static bool getAsUTF8(void* str, char* buffer, int capacity);
    /// The size for getAsUTF32, in code points.
    static int getAsUTF32size(void* str);
    /// The text as UTF-32 into `buffer`, then a zero.
    static bool getAsUTF32(void* str, int* buffer, int capacity);
    /// The size for getAsWCS, in `wchar_t` units.
    static int getAsWCSsize(void* str);
    /// The text as a wide-character string into `buffer`, then a zero.
    static bool getAsWCS(void* str, wchar_t* buffer, int capacity);
    /// The size for getAsMBCS, in bytes: codepage export through a converter handle, whose
    /// state each call resets and uses.
    /// ICU's own preflight undercounts for its ISCII converters, which are counted here without
    /// it; ICU's compound-text converter ignores a reset and is brought back to ASCII first.
    static int getAsMBCSsize(void* str, void* converter);
    /// The text in the converter's codepage into `buffer`, then a zero byte.
    /// After conversion, when `substitute` is not 0, every output byte equal to one of the
    /// converter's substitution bytes below 0x80 becomes `substitute` (bytes of the text too).
    /// false for null handles, null buffer or capacity <= 0.
    static bool getAsMBCS(void* str, void* converter, char* buffer, int capacity, char substitute);
    ///@}
    /// ICU's default converter name; the storage belongs to ICU.
    static const char* getDefaultCodepage(void);

    ///@{
    /// Assignment of a class that holds no data: does nothing and returns `*this`. Part of the
    /// binary interface.
    QOVAUnicodeStringServices& operator=(const QOVAUnicodeStringServices&);
    QOVAUnicodeStringServices& operator=(QOVAUnicodeStringServices&&);
    ///@}
};

// ---------------------------------------------------------------------------------------------
/// Converter handles for the codepage export.
class QOVAICUC_API QOVAUnicodeCodepageConverter {
public:
    /// Opens the converter `name` (null: ICU's default) into `converter`, overwriting it without
    /// closing it. false and null in `converter` when ICU cannot open it.
    static bool open(const char* name, void*& converter);
    /// Resets both conversion directions; false for null.
    static bool reset(void* converter);
    /// Closes the converter and sets `converter` to null; false for null.
    static bool close(void*& converter);

    ///@{
    /// Assignment of a class that holds no data: does nothing and returns `*this`. Part of the
    /// binary interface.
    QOVAUnicodeCodepageConverter& operator=(const QOVAUnicodeCodepageConverter&);
    QOVAUnicodeCodepageConverter& operator=(QOVAUnicodeCodepageConverter&&);
    ///@}
};

// ---------------------------------------------------------------------------------------------
/// Matcher handles: a compiled pattern bound to an input string.
/// The matcher refers to its input string without copying it: that string handle must stay
/// alive and unchanged until the matcher is destroyed or given another input with
/// QOVAUnicodeRegexServices::reset(matcher, input).
class QOVAICUC_API QOVAUnicodeRegexFactory {
public:
    /// Compiles `pattern` with `flags` (ICU's URegexpFlag bits, passed unchanged) and binds the
    /// matcher to `input`. Strips the trailing U+0000 units of both strings in place (even when
    /// null is then returned). Null if a handle is null (nothing touched), the pattern does not
    /// compile, a flag is rejected, or memory runs out.
    static void* make(void* pattern, void* input, unsigned int flags);
    /// As above, bound to an empty input.
    static void* make(void* pattern, unsigned int flags);
    /// Destroys the matcher (not its input) and sets `matcher` to null; no effect for null.
    static void destroy(void*& matcher);

    ///@{
    /// Assignment of a class that holds no data: does nothing and returns `*this`. Part of the
    /// binary interface.
    QOVAUnicodeRegexFactory& operator=(const QOVAUnicodeRegexFactory&);
    QOVAUnicodeRegexFactory& operator=(QOVAUnicodeRegexFactory&&);
    ///@}
};

/// Operations on matcher handles. Positions count UTF-16 units of the input.
class QOVAICUC_API QOVAUnicodeRegexServices {
public:
    /// Next match after the previous one; false for null or failure.
    static bool find(void* matcher);
    /// Resets the matcher and searches from `start`; false for null or an index out of range.
    static bool find(void* matcher, int start);
    ///@{
    /// A match that begins at the start of the input (or at `start`).
    static bool lookingAt(void* matcher);
    static bool lookingAt(void* matcher, int start);
    ///@}
    ///@{
    /// A match of the whole input (from `start` to its end).
    static bool matches(void* matcher);
    static bool matches(void* matcher, int start);
    ///@}
    ///@{
    /// Start and end (one past) of the last match; -1 for null or when there is no match.
    static int start(void* matcher);
    static int end(void* matcher);
    ///@}
    /// Replaces `output` by the text of the last match and terminates it, also on failure (then
    /// it holds only the terminator). false for null handles (nothing written) or no match.
    static bool group(void* matcher, void* output);
    ///@{
    /// Replaces `output` by the input with every (the first) match replaced by `replacement`
    /// ($n refers to capture group n), terminated. `replacement` is read without its trailing
    /// U+0000 units and not changed. false for null handles (nothing written) or ICU failure.
    static bool replaceAll(void* matcher, void* replacement, void* output);
    static bool replaceFirst(void* matcher, void* replacement, void* output);
    ///@}
    /// Forgets the last match; the next find starts at the beginning. No effect for null.
    static void reset(void* matcher);
    /// Strips the trailing U+0000 units of `input` in place (even when `matcher` is null) and
    /// makes it the matcher's input (see the lifetime rule above). false for null handles.
    static bool reset(void* matcher, void* input);
    /// Forgets the last match; the next find starts at `index`. false for null or out of range.
    static bool reset(void* matcher, int index);
    /// Splits the text of `input` (read without its trailing U+0000 units, not changed) at the
    /// pattern's matches into `dest`, an array of `destCapacity` icu::UnicodeString objects (a
    /// single string handle serves as an array of one). Returns the number of fields; when there
    /// are more fields than capacity the last element receives the rest of the text; elements
    /// after the last field are left as they were. 0 for null handles or failure.
    /// Afterwards the matcher has an empty input until reset(matcher, input) gives it another.
    /// A capacity below 1 gives 0 and leaves the matcher as it was (input and position).
    static int split(void* matcher, void* input, void* dest, int destCapacity);

    ///@{
    /// Assignment of a class that holds no data: does nothing and returns `*this`. Part of the
    /// binary interface.
    QOVAUnicodeRegexServices& operator=(const QOVAUnicodeRegexServices&);
    QOVAUnicodeRegexServices& operator=(QOVAUnicodeRegexServices&&);
    ///@}
};

// ---------------------------------------------------------------------------------------------
// Locale argument of the formatter and parser factories: null or "" selects ICU's default
// locale, exactly "C" selects en_US_POSIX, any other text is an ICU locale id.

/// Number formatter handles.
class QOVAICUC_API QOVAUnicodeNumFormatterFactory {
public:
    /// A formatter for `locale` with ICU's defaults; null if memory runs out.
    static void* make(const char* locale);
    /// An independent copy with the same locale and settings; null for null.
    static void* makeCopy(const void* formatter);
    /// Destroys the formatter and sets `formatter` to null; no effect for null.
    static void destroy(void*& formatter);

    ///@{
    /// Assignment of a class that holds no data: does nothing and returns `*this`. Part of the
    /// binary interface.
    QOVAUnicodeNumFormatterFactory& operator=(const QOVAUnicodeNumFormatterFactory&);
    QOVAUnicodeNumFormatterFactory& operator=(QOVAUnicodeNumFormatterFactory&&);
    ///@}
};

/// Formatting and settings. Formatting replaces the whole content of `out` with the text and a
/// terminator; when ICU fails (bad decimal text, a rejected setting) `out` ends up empty. Null
/// handles: no effect. Settings accumulate on the handle; a value without a row does nothing.
class QOVAICUC_API QOVAUnicodeNumFormatterServices {
public:
    /// Digit grouping, for SetGroupingType: ICU's UNumberGroupingStrategy, same numbering.
    enum GroupingType : int {
        GroupingOff = 0,
        GroupingMin2 = 1,
        GroupingAuto = 2,
        GroupingOnAligned = 3,
        GroupingThousands = 4,
    };

    /// Integer digits, for SetIntegerWidthType (ICU's IntegerWidth). Numbers come from the
    /// argument list (see SetIntegerWidthType).
    enum IntegerWidthType : int {
        IntegerWidthZeroFill = 0,          ///< slot 0: minimum integer digits
        IntegerWidthZeroFillTruncate = 1,  ///< slot 0: minimum, slot 1: maximum integer digits
    };

    /// Notation, for SetNotationType (ICU's Notation kinds).
    enum NotationType : int {
        NotationScientific = 0,
        NotationCompactShort = 1,
        NotationCompactLong = 2,
        NotationEngineering = 3,
        NotationSimple = 4,
    };

    /// Rounding precision, for SetPrecisionType (ICU's Precision kinds). Numbers come from the
    /// argument list (see SetIntegerWidthType).
    enum PrecisionType : int {
        PrecisionUnlimited = 0,
        PrecisionInteger = 1,
        PrecisionFixedFraction = 2,            ///< slot 0 (int)
        PrecisionMinFraction = 3,              ///< slot 0 (int)
        PrecisionMaxFraction = 4,              ///< slot 0 (int)
        PrecisionMinMaxFraction = 5,           ///< slots 0, 1 (int)
        PrecisionFixedSignificantDigits = 6,   ///< slot 0 (int)
        PrecisionMinSignificantDigits = 7,     ///< slot 0 (int)
        PrecisionMaxSignificantDigits = 8,     ///< slot 0 (int)
        PrecisionMinMaxSignificantDigits = 9,  ///< slots 0, 1 (int)
        PrecisionIncrement = 10,               ///< slot 0 (double)
        PrecisionCurrencyStandard = 11,
        PrecisionCurrencyCash = 12,
    };

    /// Rounding mode, for SetRoundingModeType (ICU's UNumberFormatRoundingMode; ICU's numbering
    /// differs, and its half-odd, half-ceiling and half-floor modes have no value here).
    enum RoundingModeType : int {
        RoundingHalfEven = 0,
        RoundingHalfDown = 1,
        RoundingHalfUp = 2,
        RoundingCeiling = 3,
        RoundingFloor = 4,
        RoundingUp = 5,
        RoundingDown = 6,
        RoundingUnnecessary = 7,
    };

    /// Sign display, for SetSignDisplayType: ICU's UNumberSignDisplay, same numbering for these
    /// seven.
    enum SignDisplayType : int {
        SignAuto = 0,
        SignAlways = 1,
        SignNever = 2,
        SignAccounting = 3,
        SignAccountingAlways = 4,
        SignExceptZero = 5,
        SignAccountingExceptZero = 6,
    };

    /// Width of unit and currency names, for SetUnitWidthType (ICU's UNumberUnitWidth; hidden
    /// is 6 in ICU).
    enum UnitWidthType : int {
        UnitWidthNarrow = 0,
        UnitWidthShort = 1,
        UnitWidthFullName = 2,
        UnitWidthIsoCode = 3,
        UnitWidthHidden = 4,
    };

    /// Measurement unit (ICU's MeasureUnit of the same name) or currency, for SetUnitType.
    enum UnitType : int {
        // angle
        UnitDegree = 0, UnitRadian = 1, UnitRevolutionAngle = 2,
        // area
        UnitAcre = 3, UnitHectare = 4, UnitSquareCentimeter = 5, UnitSquareFoot = 6,
        UnitSquareInch = 7, UnitSquareKilometer = 8, UnitSquareMeter = 9, UnitSquareMile = 10,
        UnitSquareYard = 11,
        // concentration
        UnitPercent = 12,
        // digital information
        UnitBit = 13, UnitByte = 14, UnitGigabit = 15, UnitGigabyte = 16, UnitKilobit = 17,
        UnitKilobyte = 18, UnitMegabit = 19, UnitMegabyte = 20, UnitPetabyte = 21,
        UnitTerabit = 22, UnitTerabyte = 23,
        // duration
        UnitCentury = 24, UnitDay = 25, UnitDecade = 26, UnitHour = 27, UnitMicrosecond = 28,
        UnitMillisecond = 29, UnitMinute = 30, UnitMonth = 31, UnitNanosecond = 32,
        UnitSecond = 33, UnitWeek = 34, UnitYear = 35,
        // electric
        UnitAmpere = 36, UnitMilliampere = 37, UnitOhm = 38, UnitVolt = 39,
        // energy
        UnitCalorie = 40, UnitJoule = 41, UnitKilocalorie = 42, UnitKilojoule = 43,
        // force
        UnitNewton = 44,
        // frequency
        UnitGigahertz = 45, UnitHertz = 46, UnitKilohertz = 47, UnitMegahertz = 48,
        // graphics
        UnitDotPerCentimeter = 49, UnitDotPerInch = 50, UnitEm = 51, UnitMegapixel = 52,
        UnitPixel = 53, UnitPixelPerCentimeter = 54, UnitPixelPerInch = 55,
        // length
        UnitCentimeter = 56, UnitDecimeter = 57, UnitFoot = 58, UnitFurlong = 59, UnitInch = 60,
        UnitKilometer = 61, UnitMeter = 62, UnitMicrometer = 63, UnitMile = 64,
        UnitMillimeter = 65, UnitNanometer = 66, UnitPicometer = 67,
        // mass
        UnitCarat = 68, UnitGram = 69, UnitKilogram = 70, UnitMetricTon = 71,
        UnitMicrogram = 72, UnitMilligram = 73, UnitOunce = 74, UnitPound = 75, UnitTon = 76,
        // power
        UnitGigawatt = 77, UnitHorsepower = 78, UnitKilowatt = 79, UnitMegawatt = 80,
        UnitMilliwatt = 81, UnitWatt = 82,
        // pressure
        UnitAtmosphere = 83, UnitBar = 84, UnitHectopascal = 85, UnitKilopascal = 86,
        UnitMegapascal = 87, UnitMillibar = 88, UnitPascal = 89,
        // speed
        UnitKnot = 90,
        // temperature
        UnitCelsius = 91, UnitFahrenheit = 92, UnitKelvin = 93,
        // volume
        UnitGallon = 94, UnitHectoliter = 95, UnitLiter = 96, UnitMegaliter = 97,
        UnitMilliliter = 98,
        // special
        UnitCurrencyUSD = 99,    ///< the US dollar as a currency
        UnitNone = 100,          ///< no unit: plain numbers again
        UnitNonePercent = 101,   ///< percent (the number is not multiplied)
        UnitNonePermille = 102,  ///< permille (the number is not multiplied)
    };

    /// \name Formatting
    /// The three formatting calls: a failure leaves `out` empty and the handle usable (renewed,
    /// which counts as a write to the handle).
    ///@{
    /// Formats the decimal number in the NUL-terminated `decimalText` (only read).
    static void FormatDecimal(void* formatter, void* out, char* decimalText);
    /// Formats `value`. When either flag is true the handle's settings apply as they are; when
    /// both are false this call replaces the precision by "at least one fraction digit".
    static void FormatDouble(const void* formatter, void* out, double value, bool keepPrecisionA,
                             bool keepPrecisionB);
    /// Formats `value`.
    static void FormatInt(void* formatter, void* out, long long value);
    ///@}

    /// \name Settings
    /// Each sets one setting of the formatter's ICU skeleton.
    ///@{
    /// Sets the digit grouping.
    static void SetGroupingType(void* formatter, GroupingType type);
    /// Sets the minimum (and maximum) integer digits. `args` points to 8-byte slots: an int
    /// number in the low four bytes (little-endian) of its slot, a double filling its slot. It is
    /// not read for rows without numbers (may be null).
    static void SetIntegerWidthType(void* formatter, IntegerWidthType type, char* args);
    /// Sets the notation.
    static void SetNotationType(void* formatter, NotationType type);
    /// Sets the rounding precision. `args` as for SetIntegerWidthType. A number ICU rejects (a
    /// negative digit count) makes later formatting through the handle produce empty text until
    /// a valid value replaces it.
    static void SetPrecisionType(void* formatter, PrecisionType type, char* args);
    /// Sets the rounding mode.
    static void SetRoundingModeType(void* formatter, RoundingModeType type);
    /// Sets the sign display.
    static void SetSignDisplayType(void* formatter, SignDisplayType type);
    /// Sets the width of unit and currency names.
    static void SetUnitWidthType(void* formatter, UnitWidthType type);
    /// Sets the unit or currency; UnitNone returns to plain numbers.
    static void SetUnitType(void* formatter, UnitType unit);
    ///@}

    ///@{
    /// Assignment of a class that holds no data: does nothing and returns `*this`. Part of the
    /// binary interface.
    QOVAUnicodeNumFormatterServices& operator=(const QOVAUnicodeNumFormatterServices&);
    QOVAUnicodeNumFormatterServices& operator=(QOVAUnicodeNumFormatterServices&&);
    ///@}
};

// ---------------------------------------------------------------------------------------------
/// Number parser handles (format handles). makeCopy and destroy are the very operations of
/// QOVAUnicodeDateTimeFormatterFactory and accept both kinds of format handle.
class QOVAICUC_API QOVAUnicodeStrToNumFormatterFactory {
public:
    /// A parser with the locale's default number format; null if memory runs out. When ICU
    /// makes no number format the parser is still returned and reads no number from any text.
    static void* make(const char* locale);
    /// An independent copy of a number parser or date-time formatter handle; null for null.
    static void* makeCopy(const void* handle);
    /// Destroys a number parser or date-time formatter handle and sets `handle` to null.
    static void destroy(void*& handle);

    ///@{
    /// Assignment of a class that holds no data: does nothing and returns `*this`. Part of the
    /// binary interface.
    QOVAUnicodeStrToNumFormatterFactory& operator=(const QOVAUnicodeStrToNumFormatterFactory&);
    QOVAUnicodeStrToNumFormatterFactory& operator=(QOVAUnicodeStrToNumFormatterFactory&&);
    ///@}
};

/// Parsing. Each call trims white space from both ends of `text` and removes every '+' from it,
/// in place, for good; then reads the number at the start of the text (what follows is ignored).
/// `err` is set to ErrorInvalid when no number could be read (result 0) and when an integer
/// parse meets an infinite value (result 2147483647); it is never reset. Null handles: 0, `err`
/// and `text` untouched.
class QOVAICUC_API QOVAUnicodeStrToNumFormatterServices {
public:
    /// What the parse calls report in `err`.
    enum ErrorType : int {
        ErrorNone = 0,     ///< set by the caller before the call; never stored by the library
        ErrorInvalid = 1,  ///< no number read, or an infinite value for an integer result
    };

    /// Infinities and NaN are returned as they are.
    static double FormatStrToDouble(void* parser, void* text, ErrorType& err);
    /// 64-bit integers: their low 32 bits; other values truncated toward zero; out of range or
    /// NaN: -2147483648.
    static int FormatStrToInt32_t(void* parser, void* text, ErrorType& err);
    /// Truncated toward zero; out of range or NaN: -9223372036854775808.
    static long long FormatStrToInt64_t(void* parser, void* text, ErrorType& err);
    /// The low 32 bits of the 64-bit result (-1 gives 4294967295); always within 0..4294967295.
    static unsigned long FormatStrToULong(void* parser, void* text, ErrorType& err);

    ///@{
    /// Assignment of a class that holds no data: does nothing and returns `*this`. Part of the
    /// binary interface.
    QOVAUnicodeStrToNumFormatterServices& operator=(const QOVAUnicodeStrToNumFormatterServices&);
    QOVAUnicodeStrToNumFormatterServices& operator=(QOVAUnicodeStrToNumFormatterServices&&);
    ///@}
};

// ---------------------------------------------------------------------------------------------
/// Date-time formatter handles (format handles): locale, date style, time style and time zone
/// fixed at creation.
class QOVAICUC_API QOVAUnicodeDateTimeFormatterFactory {
public:
    /// Style values reach ICU unchanged (ICU's DateFormat::EStyle numbering): these, ICU's
    /// relative date styles (128 to 131) and any other number, for which ICU picks a pattern of
    /// the locale itself. make returns null for the date styles that send ICU 72 into endless
    /// recursion: the negative numbers whose bit of value 128 is set, except -1 and -5, that is
    /// -128 to -2 without -5, -384 to -257, -640 to -513 and so on every 256. Time styles are
    /// never refused.
    enum DateTimeStyle : int {
        StyleNone = -1,  ///< leaves the date or the time out
        StyleFull = 0,
        StyleLong = 1,
        StyleMedium = 2,
        StyleShort = 3,
    };

    /// Medium date and time, GMT. Null if ICU makes no formatter or memory runs out.
    static void* make(const char* locale);
    /// Medium date and time in the zone whose ICU id is the whole content of `timeZone` (only
    /// read). A terminator counts as part of the id, which ICU then does not know: pass the id
    /// unterminated (e.g. from makeInvariant). An unknown id gives offset zero. Null for a null
    /// `timeZone`.
    static void* make(const char* locale, void* timeZone);
    /// The given date and time styles in the zone of `timeZone`, read as by the overload
    /// above. Null for a null `timeZone`, for a refused date style (see DateTimeStyle), or when
    /// ICU makes no formatter.
    static void* make(DateTimeStyle dateStyle, DateTimeStyle timeStyle, const char* locale,
                      void* timeZone);
    /// An independent copy of a date-time formatter or number parser handle; null for null.
    static void* makeCopy(const void* handle);
    /// Destroys a date-time formatter or number parser handle and sets `handle` to null.
    static void destroy(void*& handle);

    ///@{
    /// Assignment of a class that holds no data: does nothing and returns `*this`. Part of the
    /// binary interface.
    QOVAUnicodeDateTimeFormatterFactory& operator=(const QOVAUnicodeDateTimeFormatterFactory&);
    QOVAUnicodeDateTimeFormatterFactory& operator=(QOVAUnicodeDateTimeFormatterFactory&&);
    ///@}
};

/// Formatting and parsing of instants through date-time formatter handles.
class QOVAICUC_API QOVAUnicodeDateTimeFormatterServices {
public:
    /// Replaces `out` by the instant `seconds` after 1970-01-01 00:00:00 UTC as text, with every
    /// U+202F turned into a space, and terminates it. Null handles: no effect.
    static void FormatDateTimeToString(void* formatter, void* out, long long seconds);
    /// The instant that the text denotes, in MILLISECONDS since 1970-01-01 00:00:00 UTC; 0 when
    /// nothing can be parsed or a handle is null. `text` is not changed.
    static long long FormatStringToDateTime(void* formatter, void* text);

    ///@{
    /// Assignment of a class that holds no data: does nothing and returns `*this`. Part of the
    /// binary interface.
    QOVAUnicodeDateTimeFormatterServices& operator=(const QOVAUnicodeDateTimeFormatterServices&);
    QOVAUnicodeDateTimeFormatterServices& operator=(QOVAUnicodeDateTimeFormatterServices&&);
    ///@}
};

#endif  // QOVAICUC_H
