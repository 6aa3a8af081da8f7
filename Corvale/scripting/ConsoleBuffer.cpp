#include "scripting/ConsoleBuffer.h"

#include <algorithm>

CConsoleBuffer::CConsoleBuffer(std::size_t size) : m_Data(std::max<std::size_t>(size, 3), '\0') {
    m_End = m_Data.size() - 1;
}

void CConsoleBuffer::Append(const char* text) {
    if (text != nullptr)
        Append(std::string_view(text));
}

void CConsoleBuffer::Append(std::string_view text) {
    for (char c : text)
        AppendChar(c);
    m_Data[m_Write] = '\0';
}

void CConsoleBuffer::AppendChar(char c) {
    m_Data[m_Write] = c;
    ++m_Write;
    if (m_Wrapped) {
        m_Dropped = m_Data[m_Read];
        if (++m_Read == m_End)
            m_Read = 0;
    }
    if (m_Write == m_End) {
        m_Write = 0;
        if (!m_Wrapped) {
            m_Dropped = m_Data[m_Read];
            ++m_Read;
            m_Wrapped = true;
        }
    }
}

std::string CConsoleBuffer::GetText() const {
    if (m_Read == m_Write)
        return std::string();
    std::size_t first = m_Read;
    if (m_Wrapped && m_Data[first] == '\n' && m_Dropped == '\r') {
        if (++first == m_End)
            first = 0;
    }
    const char* data = m_Data.data();
    if (first <= m_Write)
        return std::string(data + first, data + m_Write);
    std::string text(data + first, data + m_End);
    text.append(data, data + m_Write);
    return text;
}

void CConsoleBuffer::Clear() {
    m_Write = 0;
    m_Read = 0;
    m_Wrapped = false;
    m_Dropped = '\0';
    m_Data[0] = '\0';
}
