#pragma once
// The seven statistics of one attribute column (Min, Max, Sum, the two means,
// Median, Standard Deviation) and the check that a text is a valid value for
// a field type. Pure computations over the cell texts, so the attribute pane
// only gathers the cells and shows the message.

#include <string>
#include <string_view>
#include <vector>

// In the order of their command ids (Min 33030 ... Standard Deviation 33036).
enum ColumnStatistic : int {
    CS_Min = 0,
    CS_Max = 1,
    CS_Sum = 2,
    CS_ArithmeticMean = 3,
    CS_GeometricMean = 4,
    CS_Median = 5,
    CS_StandardDeviation = 6,
};
constexpr int kColumnStatisticCount = 7;

// A cell counts as a number when its whole text (blanks around it allowed) is
// one finite number: "12abc", "inf" and "nan" are not numbers.
bool ParseStatisticsNumber(std::string_view text, double& value);

struct CColumnStatisticResult {
    // False when the statistic has no value for these numbers: Min, Max and
    // Median of no numbers, the geometric mean when a number is zero or less.
    bool m_Defined = true;
    double m_Value = 0.0;
    // Min and Max: how often the extreme value occurs.
    int m_Occurrences = 0;
};

// Sum, means and deviation of no numbers are 0.0; the standard deviation is
// the sample deviation (divisor n - 1), 0.0 for fewer than two numbers.
CColumnStatisticResult ComputeColumnStatistic(ColumnStatistic statistic, const std::vector<double>& values);

// The text shown for the result, values printed with six decimals; lines end
// with "\r\n".
std::string FormatColumnStatisticMessage(ColumnStatistic statistic, const std::string& heading,
                                         const std::vector<double>& values);

// Whether the text may be stored in a cell of a column of the FT_* type. An
// empty text (a blank cell) always may; integers and doubles must be whole
// finite numbers, dates eight digits YYYYMMDD of a real day, booleans one of
// T F Y N ? in either case.
bool IsValidAttributeText(int fieldType, const std::string& text);
