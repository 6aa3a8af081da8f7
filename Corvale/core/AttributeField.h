#pragma once
// Attribute columns and values shared by the dBase tables of shape-file themes,
// the native tables of drawn themes and the attribute dialogs.

#include <cstdint>
#include <string>

// Attribute field types. The numbers are stored in workspaces and handed to
// plug-ins, so they never change.
constexpr std::int32_t FT_String = 0;
constexpr std::int32_t FT_Int = 1;
constexpr std::int32_t FT_Double = 2;
constexpr std::int32_t FT_Date = 3;
constexpr std::int32_t FT_Boolean = 4;

// One column of an attribute table.
class CAttributeFieldInfo {
public:
    std::string m_Name;
    // Width of the column in characters.
    std::int32_t m_Length = 0;
    // Digits after the decimal point; meaningful for numeric columns.
    std::int32_t m_Decimals = 0;
    // One of the FT_* codes.
    std::int32_t m_Type = FT_String;
    // Set only for columns of a native table that form the theme's primary
    // key; dBase columns never carry it.
    bool m_PrimaryKey = false;
};

// One value as text, with the width and type it is to be written in.
class CAttributeFieldValue {
public:
    std::string m_Text;
    std::int32_t m_Length = 0;
    std::int32_t m_Type = FT_String;
};
