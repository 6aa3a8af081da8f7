// Column statistics and the check of an edited cell's text. The expected
// numbers of the "mixed" and "wide" sets come from
// tests/data/column_statistics/expected.py (Python's statistics module).

#include "core/AttributeField.h"
#include "core/ColumnStatistics.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Message(ColumnStatistic statistic, const std::vector<double>& values) {
    return FormatColumnStatisticMessage(statistic, "POP", values);
}

// The number on the second line of a message.
std::string Number(ColumnStatistic statistic, const std::vector<double>& values) {
    const std::string text = Message(statistic, values);
    const std::size_t start = text.find("\r\n");
    if (start == std::string::npos)
        return text;
    const std::size_t end = text.find("\r\n", start + 2);
    return text.substr(start + 2, end == std::string::npos ? std::string::npos : end - start - 2);
}

} // namespace

TEST(ColumnStatistics, ParsesOnlyWholeFiniteNumbers) {
    struct Case {
        const char* text;
        bool number;
        double value;
    } cases[] = {
        {"12", true, 12.0},       {" 2.5 ", true, 2.5}, {"-1e3", true, -1000.0}, {"+4", true, 4.0},
        {"12abc", false, 0.0},    {"inf", false, 0.0},  {"-inf", false, 0.0},    {"nan", false, 0.0},
        {"", false, 0.0},         {"abc", false, 0.0},  {"1,5", false, 0.0},     {"1e999", false, 0.0},
    };
    for (const Case& c : cases) {
        double value = -7.0;
        EXPECT_EQ(ParseStatisticsNumber(c.text, value), c.number) << c.text;
        EXPECT_EQ(value, c.number ? c.value : -7.0) << c.text;
    }
}

TEST(ColumnStatistics, MatchesValuesComputedOutside) {
    const std::vector<double> mixed = {3.5, 1.0, 7.0, 7.0, 2.25, 10.0, 4.0};
    const std::vector<double> wide = {1e6, 2.5e6, 3.75e6, 0.125, 42.0};
    struct Case {
        const std::vector<double>* values;
        ColumnStatistic statistic;
        const char* expected;
    } cases[] = {
        {&mixed, CS_Sum, "34.750000"},
        {&mixed, CS_ArithmeticMean, "4.964286"},
        {&mixed, CS_GeometricMean, "3.966049"},
        {&mixed, CS_Median, "4.000000"},
        {&mixed, CS_StandardDeviation, "3.157097"},
        {&mixed, CS_Min, "1.000000"},
        {&mixed, CS_Max, "10.000000"},
        {&wide, CS_Sum, "7250042.125000"},
        {&wide, CS_ArithmeticMean, "1450008.425000"},
        {&wide, CS_GeometricMean, "8678.129287"},
        {&wide, CS_Median, "1000000.000000"},
        {&wide, CS_StandardDeviation, "1643158.379380"},
        {&wide, CS_Min, "0.125000"},
        {&wide, CS_Max, "3750000.000000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Number(c.statistic, *c.values), c.expected) << c.statistic;
}

TEST(ColumnStatistics, MessagesOfTheSmallCases) {
    EXPECT_EQ(Message(CS_Median, {4, 1, 3, 2}), "The median of all numeric fields in column 'POP' was:\r\n2.500000");
    EXPECT_EQ(Message(CS_Max, {5, 7, 7}),
              "Maximum value of all numeric fields in column 'POP' was:\r\n7.000000\r\n\r\nIt occurred 2 time(s).");
    EXPECT_EQ(Message(CS_Min, {5, 7, 5, 5}),
              "Minimum value of all numeric fields in column 'POP' was:\r\n5.000000\r\n\r\nIt occurred 3 time(s).");
    EXPECT_EQ(Message(CS_Sum, {1, 2}), "The sum of all numeric fields in column 'POP' was:\r\n3.000000");
    EXPECT_EQ(Message(CS_ArithmeticMean, {1, 2}),
              "The arithmetic mean of all numeric fields in column 'POP' was:\r\n1.500000");
    EXPECT_EQ(Message(CS_StandardDeviation, {1, 2}),
              "The standard deviation of all numeric fields in column 'POP' was:\r\n0.707107");
    // One number: no deviation, the median is that number.
    EXPECT_EQ(Number(CS_StandardDeviation, {8.5}), "0.000000");
    EXPECT_EQ(Number(CS_Median, {8.5}), "8.500000");
    // Negative extremes are found: the search starts below every finite value.
    EXPECT_EQ(Number(CS_Max, {-5, -3, -9}), "-3.000000");
    EXPECT_EQ(Number(CS_Min, {5, 3, 9}), "3.000000");
}

TEST(ColumnStatistics, NoNumbers) {
    const std::vector<double> none;
    for (ColumnStatistic statistic : {CS_Sum, CS_ArithmeticMean, CS_GeometricMean, CS_StandardDeviation})
        EXPECT_EQ(Number(statistic, none), "0.000000") << statistic;
    for (ColumnStatistic statistic : {CS_Min, CS_Max, CS_Median}) {
        EXPECT_EQ(Message(statistic, none), "No numeric data found in selected column.") << statistic;
        EXPECT_FALSE(ComputeColumnStatistic(statistic, none).m_Defined);
    }
}

TEST(ColumnStatistics, GeometricMeanOfZeroOrNegativeIsUndefined) {
    for (const std::vector<double>& values : {std::vector<double>{2, 0, 8}, std::vector<double>{-2, -8}}) {
        const CColumnStatisticResult result = ComputeColumnStatistic(CS_GeometricMean, values);
        EXPECT_FALSE(result.m_Defined);
        EXPECT_NE(Message(CS_GeometricMean, values).find("is undefined"), std::string::npos);
    }
    EXPECT_EQ(Number(CS_GeometricMean, {2, 8}), "4.000000");
}

TEST(ColumnStatistics, ValidCellTextByFieldType) {
    struct Case {
        int type;
        const char* text;
        bool valid;
    } cases[] = {
        {FT_String, "anything 12abc", true}, {FT_Int, "42", true},        {FT_Int, " -7 ", true},
        {FT_Int, "12abc", false},            {FT_Int, "1.5", false},      {FT_Int, "", true},
        {FT_Double, "2.75", true},           {FT_Double, "1e3", true},    {FT_Double, "inf", false},
        {FT_Double, "nan", false},           {FT_Double, "3,5", false},   {FT_Date, "20240229", true},
        {FT_Date, "20230229", false},        {FT_Date, "2024-01-01", false}, {FT_Date, "20241301", false},
        {FT_Boolean, "T", true},             {FT_Boolean, "n", true},     {FT_Boolean, "?", true},
        {FT_Boolean, "yes", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsValidAttributeText(c.type, c.text), c.valid) << c.type << " '" << c.text << "'";
}
