#pragma once
// The console's output: a ring of characters of fixed size. Once full, every
// new character pushes out the oldest one, so the console keeps the newest
// output and never grows.
//
// The ring holds size - 1 characters plus a NUL at its last byte; the write
// position always holds a NUL as well, so at most size - 2 characters are
// readable once the ring has wrapped.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class CConsoleBuffer {
public:
    // size: bytes of the ring, at least 3.
    explicit CConsoleBuffer(std::size_t size);

    // Appends the text character by character; a null text appends nothing.
    void Append(const char* text);
    void Append(std::string_view text);
    // The kept text, oldest first. When the oldest kept character is a line
    // feed whose carriage return was pushed out, the text starts after it, so
    // that it never begins with half a line end.
    std::string GetText() const;
    // Empties the ring.
    void Clear();

    std::size_t GetSize() const { return m_Data.size(); }
    bool IsWrapped() const { return m_Wrapped; }

private:
    void AppendChar(char c);

    std::vector<char> m_Data;
    // Index of the last byte, which always holds a NUL.
    std::size_t m_End;
    std::size_t m_Write = 0;
    std::size_t m_Read = 0;
    bool m_Wrapped = false;
    // The character pushed out last. The slot before the read position holds
    // the write position's NUL, not that character, so it is kept here.
    char m_Dropped = '\0';
};
