#pragma once
// The one file-name pattern matcher of the program. The query language's LIKE,
// the folder listings and the image-type test all match names the way the
// Windows shell did, so a workspace or a query written there finds the same
// things here:
//
//   '*' matches any run of bytes, the empty run included;
//   '?' matches exactly one byte;
//   every other byte matches itself, ASCII letters without regard to case;
//   the pattern must cover the whole text.
//
// Bytes 128-255 match only themselves, so accented letters are compared
// exactly: folding them would need the text's code page, which cells do not
// carry.

#include <string_view>

namespace corvale {

// Whether the whole text matches one pattern. An empty pattern matches only
// the empty text. ';' has no special meaning here: a LIKE pattern or a file
// name may hold it.
bool MatchWildcard(std::string_view text, std::string_view pattern);

// Whether the text matches any alternative of a pattern list separated by ';'
// ("*.jpg;*.jpeg"), as image decoders list their file types. An empty
// alternative matches only the empty text.
bool MatchWildcardList(std::string_view text, std::string_view patterns);

} // namespace corvale
