#include "core/ColumnStatistics.h"

#include "core/AttributeField.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdint>

bool ParseStatisticsNumber(std::string_view text, double& value) {
    double parsed = 0.0;
    if (!corvale::ParseDouble(text, parsed) || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

CColumnStatisticResult ComputeColumnStatistic(ColumnStatistic statistic, const std::vector<double>& values) {
    CColumnStatisticResult result;
    const std::size_t n = values.size();
    double sum = 0.0;
    for (double v : values)
        sum += v;
    switch (statistic) {
    case CS_Min:
    case CS_Max: {
        if (n == 0) {
            result.m_Defined = false;
            break;
        }
        const bool max = statistic == CS_Max;
        result.m_Value = max ? -DBL_MAX : DBL_MAX;
        for (double v : values) {
            if (max ? v > result.m_Value : v < result.m_Value) {
                result.m_Value = v;
                result.m_Occurrences = 1;
            } else if (v == result.m_Value) {
                ++result.m_Occurrences;
            }
        }
        break;
    }
    case CS_Sum:
        result.m_Value = sum;
        break;
    case CS_ArithmeticMean:
        if (n > 0)
            result.m_Value = sum / static_cast<double>(n);
        break;
    case CS_GeometricMean: {
        if (n == 0)
            break;
        // log10 of zero or a negative number has no finite value.
        if (std::any_of(values.begin(), values.end(), [](double v) { return v <= 0.0; })) {
            result.m_Defined = false;
            break;
        }
        double logSum = 0.0;
        for (double v : values)
            logSum += std::log10(v);
        result.m_Value = std::pow(10.0, logSum / static_cast<double>(n));
        break;
    }
    case CS_Median: {
        if (n == 0) {
            result.m_Defined = false;
            break;
        }
        std::vector<double> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        result.m_Value = n % 2 == 1 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) * 0.5;
        break;
    }
    case CS_StandardDeviation: {
        if (n < 2)
            break;
        const double mean = sum / static_cast<double>(n);
        double squares = 0.0;
        for (double v : values)
            squares += (v - mean) * (v - mean);
        result.m_Value = std::sqrt(squares / static_cast<double>(n - 1));
        break;
    }
    }
    return result;
}

namespace {

const char* const kNoNumericData = "No numeric data found in selected column.";

const char* StatisticName(ColumnStatistic statistic) {
    switch (statistic) {
    case CS_Sum: return "sum";
    case CS_ArithmeticMean: return "arithmetic mean";
    case CS_GeometricMean: return "geometric mean";
    case CS_Median: return "median";
    case CS_StandardDeviation: return "standard deviation";
    default: return "";
    }
}

} // namespace

std::string FormatColumnStatisticMessage(ColumnStatistic statistic, const std::string& heading,
                                         const std::vector<double>& values) {
    const CColumnStatisticResult result = ComputeColumnStatistic(statistic, values);
    const std::string number = corvale::FormatFixed(result.m_Value, 6);
    if (statistic == CS_Min || statistic == CS_Max) {
        if (!result.m_Defined)
            return kNoNumericData;
        return std::string(statistic == CS_Max ? "Maximum" : "Minimum") + " value of all numeric fields in column '" +
               heading + "' was:\r\n" + number + "\r\n\r\nIt occurred " + std::to_string(result.m_Occurrences) +
               " time(s).";
    }
    if (!result.m_Defined) {
        if (statistic == CS_Median)
            return kNoNumericData;
        return std::string("The geometric mean of all numeric fields in column '") + heading +
               "' is undefined:\r\nthe column holds a value of zero or less.";
    }
    return std::string("The ") + StatisticName(statistic) + " of all numeric fields in column '" + heading +
           "' was:\r\n" + number;
}

namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

bool IsDateText(const std::string& text) {
    if (text.size() != 8 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    const int year = std::stoi(text.substr(0, 4));
    const int month = std::stoi(text.substr(4, 2));
    const int day = std::stoi(text.substr(6, 2));
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1)
        return false;
    const int days = kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
    return day <= days;
}

} // namespace

bool IsValidAttributeText(int fieldType, const std::string& text) {
    if (text.empty())
        return true;
    switch (fieldType) {
    case FT_Int: {
        std::int64_t value = 0;
        return corvale::ParseInt64(text, value);
    }
    case FT_Double: {
        double value = 0.0;
        return ParseStatisticsNumber(text, value);
    }
    case FT_Date:
        return IsDateText(text);
    case FT_Boolean:
        return text.size() == 1 && std::string("TtFfYyNn?").find(text[0]) != std::string::npos;
    default:
        return true;
    }
}
