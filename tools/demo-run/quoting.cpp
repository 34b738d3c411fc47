#include "tools/demo-run/quoting.h"

#include <cstdio>

namespace {

bool IsContinuationByte(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

std::string QuotedText(const std::string& utf8) {
    std::string quoted = "\"";
    for (char c : utf8) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (c == '\n') {
            quoted += "\\n";
        } else if (c == '\r') {
            quoted += "\\r";
        } else if (c == '\t') {
            quoted += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            quoted += escaped;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

std::string QuotedWord(const std::string& word) {
    if (word.size() <= kShownWordBytes) return QuotedText(word);
    size_t cut = kShownWordBytes;
    while (cut > 0 && IsContinuationByte(static_cast<unsigned char>(word[cut]))) --cut;
    return QuotedText(word.substr(0, cut)) + "...";
}
