// How demo-run writes text it did not choose itself (texts a program drew, words from the
// command line or a script) so that each stays on one line and cannot drive the terminal.
#pragma once

#include <cstddef>
#include <string>

// UTF-8 text in double quotes: '"' and '\' escaped with '\', line breaks and tabs as \n, \r
// and \t, every other control byte as \xNN. Everything else, UTF-8 included, stays as it is.
std::string QuotedText(const std::string& utf8);

// A word echoed in an error message: QuotedText of at most kShownWordBytes bytes of it (cut
// at a character boundary), followed by "..." when it was longer.
constexpr size_t kShownWordBytes = 40;
std::string QuotedWord(const std::string& word);
