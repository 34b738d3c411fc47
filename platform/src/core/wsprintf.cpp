// wsprintfW / wvsprintfW with the Windows rules, which differ from swprintf: %s takes a wide
// string and %S a narrow one, there is no floating point and no '*' width, long is 32 bits,
// and the output stops at 1024 characters including the terminator.
#include <windows.h>

#include <algorithm>
#include <string>

#include "core/text.h"

namespace {

constexpr size_t kMaxOutput = 1024;  // characters, terminator included

enum class Size { Default, Short, Long, Wide64 };

struct Conversion {
    bool leftAlign = false;
    bool alternate = false;  // '#': 0x / 0X before hexadecimal numbers
    bool zeroPad = false;
    size_t width = 0;
    bool hasPrecision = false;
    size_t precision = 0;
    Size size = Size::Default;
    wchar_t type = 0;
};

// Widths and precisions stop growing here, far past any output, so that no number of digits
// wraps them around.
constexpr size_t kLargestNumber = size_t{1} << 30;

size_t ReadNumber(const wchar_t*& format) {
    size_t value = 0;
    while (*format >= L'0' && *format <= L'9') {
        value = std::min(value * 10 + static_cast<size_t>(*format++ - L'0'), kLargestNumber);
    }
    return value;
}

// Padding or zeros to add: never more than the whole output holds, since the output stops
// there, so a field of any width costs no more than that.
size_t FillCount(size_t wanted, size_t present) {
    return wanted > present ? std::min(wanted - present, kMaxOutput) : 0;
}

// Reads the flags, width, precision, size prefix and type that follow a '%'.
Conversion ParseConversion(const wchar_t*& format) {
    Conversion conversion;
    for (;; ++format) {
        if (*format == L'-') conversion.leftAlign = true;
        else if (*format == L'#') conversion.alternate = true;
        else if (*format == L'0') conversion.zeroPad = true;
        else break;
    }
    conversion.width = ReadNumber(format);
    if (*format == L'.') {
        ++format;
        conversion.hasPrecision = true;
        conversion.precision = ReadNumber(format);
    }
    if (*format == L'h') {
        conversion.size = Size::Short;
        ++format;
    } else if (*format == L'l' || *format == L'w') {
        conversion.size = Size::Long;
        ++format;
    } else if (format[0] == L'I' && format[1] == L'6' && format[2] == L'4') {
        conversion.size = Size::Wide64;
        format += 3;
    }
    conversion.type = *format;
    if (*format != L'\0') ++format;
    return conversion;
}

void AppendPadded(std::wstring& out, const Conversion& conversion, const std::wstring& text, wchar_t fill = L' ') {
    size_t padding = FillCount(conversion.width, text.size());
    if (conversion.leftAlign) {
        out += text;
        out.append(padding, L' ');
    } else {
        out.append(padding, fill);
        out += text;
    }
}

std::wstring NarrowToWide(const char* text, size_t maxLength) {
    if (text == nullptr) return L"(null)";
    size_t length = 0;
    while (length < maxLength && text[length] != '\0') ++length;
    return platform::WideFromUtf8(text, length);
}

std::wstring WideString(const wchar_t* text, size_t maxLength) {
    if (text == nullptr) return L"(null)";
    size_t length = 0;
    while (length < maxLength && text[length] != L'\0') ++length;
    return std::wstring(text, length);
}

// Strings and characters: the type letter and the size prefix choose wide or narrow, as in
// Windows (lowercase follows the function's own character width, uppercase the other one).
void FormatText(std::wstring& out, const Conversion& conversion, va_list& args) {
    bool isString = conversion.type == L's' || conversion.type == L'S';
    bool lowercase = conversion.type == L's' || conversion.type == L'c';
    bool wide = conversion.size == Size::Long || (conversion.size != Size::Short && lowercase);
    size_t maxLength = conversion.hasPrecision ? conversion.precision : static_cast<size_t>(-1);
    std::wstring text;
    if (isString) {
        text = wide ? WideString(va_arg(args, const wchar_t*), maxLength) : NarrowToWide(va_arg(args, const char*), maxLength);
    } else {
        int character = va_arg(args, int);
        if (wide) {
            text.assign(1, static_cast<wchar_t>(character));
        } else {
            char narrow = static_cast<char>(character);
            text = platform::WideFromUtf8(&narrow, 1);
        }
    }
    AppendPadded(out, conversion, text);
}

std::wstring Digits(unsigned long long magnitude, unsigned base, bool upper) {
    const wchar_t* digitSet = upper ? L"0123456789ABCDEF" : L"0123456789abcdef";
    std::wstring digits;
    do {
        digits.insert(digits.begin(), digitSet[magnitude % base]);
        magnitude /= base;
    } while (magnitude != 0);
    return digits;
}

// Reads an integer argument of the conversion's size. Windows' long is 32 bits, and the
// arguments behind %ld here are LONG or DWORD; reading 32 bits also gives Windows' truncation
// for a 64-bit long, whose low half occupies the same argument slot.
void ReadInteger(const Conversion& conversion, bool isSigned, va_list& args, unsigned long long* magnitude,
                 bool* negative) {
    long long value;
    if (conversion.size == Size::Wide64) {
        value = va_arg(args, long long);
    } else {
        int raw = va_arg(args, int);
        bool isShort = conversion.size == Size::Short;
        if (isSigned) value = isShort ? static_cast<short>(raw) : raw;
        else value = isShort ? static_cast<unsigned short>(raw) : static_cast<unsigned int>(raw);
    }
    *negative = isSigned && value < 0;
    *magnitude = *negative ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
}

void FormatInteger(std::wstring& out, const Conversion& conversion, va_list& args) {
    bool isSigned = conversion.type == L'd' || conversion.type == L'i';
    bool hex = conversion.type == L'x' || conversion.type == L'X';
    unsigned long long magnitude;
    bool negative;
    ReadInteger(conversion, isSigned, args, &magnitude, &negative);

    std::wstring digits = Digits(magnitude, hex ? 16 : 10, conversion.type == L'X');
    if (conversion.hasPrecision) digits.insert(0, FillCount(conversion.precision, digits.size()), L'0');
    std::wstring prefix = negative ? L"-" : L"";
    if (hex && conversion.alternate && magnitude != 0) prefix = conversion.type == L'X' ? L"0X" : L"0x";

    if (conversion.zeroPad && !conversion.leftAlign && !conversion.hasPrecision)
        digits.insert(0, FillCount(conversion.width, prefix.size() + digits.size()), L'0');
    AppendPadded(out, conversion, prefix + digits);
}

void FormatPointer(std::wstring& out, const Conversion& conversion, va_list& args) {
    auto address = reinterpret_cast<uintptr_t>(va_arg(args, void*));
    std::wstring digits = Digits(address, 16, true);
    digits.insert(0, sizeof(void*) * 2 - digits.size(), L'0');
    AppendPadded(out, conversion, digits);
}

}  // namespace

int wvsprintfW(LPWSTR buffer, LPCWSTR format, va_list args) {
    if (buffer == nullptr) return 0;
    std::wstring out;
    va_list remaining;
    va_copy(remaining, args);
    for (const wchar_t* f = format; f != nullptr && *f != L'\0' && out.size() < kMaxOutput;) {
        if (*f != L'%') {
            out.push_back(*f++);
            continue;
        }
        ++f;
        Conversion conversion = ParseConversion(f);
        switch (conversion.type) {
            case L'\0': break;
            case L'%': out.push_back(L'%'); break;
            case L's': case L'S': case L'c': case L'C': FormatText(out, conversion, remaining); break;
            case L'd': case L'i': case L'u': case L'x': case L'X': FormatInteger(out, conversion, remaining); break;
            case L'p': FormatPointer(out, conversion, remaining); break;
            // Not a wsprintf conversion (%f, %e, %g among them): the letter is copied as it
            // stands and no argument is consumed.
            default: out.push_back(conversion.type); break;
        }
    }
    va_end(remaining);
    if (out.size() > kMaxOutput - 1) out.resize(kMaxOutput - 1);
    out.copy(buffer, out.size());
    buffer[out.size()] = L'\0';
    return static_cast<int>(out.size());
}

int wsprintfW(LPWSTR buffer, LPCWSTR format, ...) {
    va_list args;
    va_start(args, format);
    int written = wvsprintfW(buffer, format, args);
    va_end(args);
    return written;
}
