#include "scripting/ConsoleBuffer.h"

#include "ConsoleTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// What a ring of the given size shows after the whole text was appended: all
// of it until the ring wraps (size - 1 characters), then the newest size - 2,
// without a first line feed whose carriage return went out before it.
std::string Expected(std::size_t size, const std::string& all) {
    if (all.size() < size - 1)
        return all;
    std::string kept = all.substr(all.size() - (size - 2));
    const char dropped = all[all.size() - (size - 2) - 1];
    if (!kept.empty() && kept.front() == '\n' && dropped == '\r')
        kept.erase(0, 1);
    return kept;
}

TEST(ConsoleBuffer, StartsEmptyAndIgnoresNullText) {
    CConsoleBuffer buffer(16);
    EXPECT_EQ(buffer.GetText(), "");
    buffer.Append(static_cast<const char*>(nullptr));
    EXPECT_EQ(buffer.GetText(), "");
    buffer.Append("");
    EXPECT_EQ(buffer.GetText(), "");
    EXPECT_FALSE(buffer.IsWrapped());
}

struct WrapCase {
    std::size_t size;
    std::vector<std::string> chunks;
    const char* shown;
};
void PrintTo(const WrapCase& c, std::ostream* os) {
    *os << "size " << c.size << ": \"";
    for (const std::string& chunk : c.chunks)
        *os << Escaped(chunk);
    *os << '"';
}

class ConsoleBufferWrap : public ::testing::TestWithParam<WrapCase> {};

TEST_P(ConsoleBufferWrap, KeepsTheNewestText) {
    CConsoleBuffer buffer(GetParam().size);
    for (const std::string& chunk : GetParam().chunks)
        buffer.Append(chunk);
    EXPECT_EQ(buffer.GetText(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConsoleBufferWrap,
    ::testing::Values(WrapCase{8, {"abc"}, "abc"},
                      // Six characters fit before the ring wraps...
                      WrapCase{8, {"abcdef"}, "abcdef"},
                      // ...the seventh wraps it and pushes the first out.
                      WrapCase{8, {"abcdefg"}, "bcdefg"},
                      WrapCase{8, {"abcdefghijklmnop"}, "klmnop"},
                      WrapCase{8, {"abc", "defghij", "k"}, "fghijk"},
                      // The oldest kept character is a line feed whose CR went out.
                      WrapCase{8, {"abc\r", "\nuvwxy"}, "uvwxy"},
                      // A line feed after something else stays.
                      WrapCase{8, {"abcd", "\nuvwxy"}, "\nuvwxy"},
                      // A line feed at the very start of an unwrapped ring is text.
                      WrapCase{8, {"\nab"}, "\nab"},
                      // CR LF pairs all the way round the ring.
                      WrapCase{8, {"1\r\n2\r\n3\r\n4\r\n"}, "3\r\n4\r\n"},
                      WrapCase{8, {"1\r\n2\r\n3\r\n45"}, "3\r\n45"},
                      WrapCase{8, {"1\r\n2\r\n3\r\n456"}, "3\r\n456"},
                      WrapCase{8, {"1\r\n2\r\n3\r\n4567"}, "\r\n4567"},
                      WrapCase{8, {"1\r\n2\r\n3\r\n45678"}, "45678"}));

TEST(ConsoleBuffer, OneKilobyteRingKeepsTheNewest1022Characters) {
    CConsoleBuffer buffer(1024);
    std::string all;
    for (int i = 0; all.size() < 1022; ++i)
        all += "line " + std::to_string(i) + "\r\n";
    all.resize(1022);
    buffer.Append(all);
    EXPECT_EQ(buffer.GetText(), all);

    buffer.Append("!");
    all += "!";
    EXPECT_EQ(buffer.GetText(), all.substr(1));
    EXPECT_TRUE(buffer.IsWrapped());
}

TEST(ConsoleBuffer, MatchesItsModelOverManyWraps) {
    // Chunks of every length against rings of several sizes; the text cycles
    // through CR LF so that line ends land on every position of the ring.
    const std::string pattern = "ab\r\ncd\r\n\r\nefg\nh\r";
    for (std::size_t size : {3u, 4u, 5u, 9u, 64u}) {
        CConsoleBuffer buffer(size);
        std::string all;
        std::size_t at = 0;
        for (std::size_t length = 0; length < 40; ++length) {
            std::string chunk;
            for (std::size_t i = 0; i < length; ++i)
                chunk += pattern[at++ % pattern.size()];
            buffer.Append(chunk);
            all += chunk;
            ASSERT_EQ(buffer.GetText(), Expected(size, all))
                << "size " << size << " after " << all.size();
        }
    }
}

TEST(ConsoleBuffer, ClearStartsAfresh) {
    CConsoleBuffer buffer(8);
    buffer.Append("abcdefg\r"); // wraps; the ring's oldest text is pushed out
    buffer.Clear();
    EXPECT_EQ(buffer.GetText(), "");
    EXPECT_FALSE(buffer.IsWrapped());
    // No memory of the CR pushed out before the clear.
    buffer.Append("\nxy");
    EXPECT_EQ(buffer.GetText(), "\nxy");
}

} // namespace
