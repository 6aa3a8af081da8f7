// The built-in functions of the query language. Each receives its arguments as
// texts with their types (7 text, 9 number) and returns the text of the token
// that replaces the call.

#include "core/query/QueryEngine.h"
#include "core/query/QueryText.h"

#include "platform/NumberText.h"

#include <cmath>

namespace CorvaleSQL {

namespace {

using Texts = std::vector<std::string>;
using Types = std::vector<std::int32_t>;

bool IsNumericType(std::int32_t type) { return type == 2 || type == 3 || type == 4 || type == 8 || type == 9; }

// sqrt(-1) or an overflowing average would otherwise be written as "nan" or
// "inf", a text that later steps would take for a column name.
double Finite(double value) {
    if (!std::isfinite(value))
        throw CQueryError("Result is not a finite number.");
    return value;
}

std::string Sqrt(const Texts& texts, const Types& types) {
    if (types[0] != QCT_Double)
        throw CQueryError("Function argument type mismatch in call to sqrt().\nExpected number.");
    return corvale::FormatFixed(Finite(std::sqrt(detail::ReadLeadingDouble(texts[0]))), 6);
}

// min and max: numbers compare by value and give back the text of the first
// argument holding the extreme value; texts compare by bytes and come back
// quoted.
std::string Extreme(const Texts& texts, const Types& types, bool largest, const char* tooFew, const char* mismatch) {
    if (texts.size() < 2)
        throw CQueryError(tooFew);
    for (const std::int32_t type : types)
        if (type != types[0])
            throw CQueryError(mismatch);
    std::size_t best = 0;
    if (types[0] == QCT_String) {
        for (std::size_t i = 1; i < texts.size(); ++i)
            if (largest ? texts[i] > texts[best] : texts[i] < texts[best])
                best = i;
        return "'" + texts[best] + "'";
    }
    double bestValue = detail::ReadLeadingDouble(texts[0]);
    for (std::size_t i = 1; i < texts.size(); ++i) {
        const double value = detail::ReadLeadingDouble(texts[i]);
        if (largest ? value > bestValue : value < bestValue) {
            best = i;
            bestValue = value;
        }
    }
    return texts[best];
}

std::string Min(const Texts& texts, const Types& types) {
    return Extreme(texts, types, false, "Too few parameters in call to min().\nExpected at least 2.",
                   "Function argument type mismatch in call to min().");
}

std::string Max(const Texts& texts, const Types& types) {
    return Extreme(texts, types, true, "Too few parameters in call to max().\nExpected at least 2.",
                   "Function argument type mismatch in call to max().");
}

std::string Avg(const Texts& texts, const Types& types) {
    if (texts.size() < 2)
        throw CQueryError("Too few parameters in call to avg().\nExpected at least 2.");
    double sum = 0.0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (!IsNumericType(types[i]))
            throw CQueryError("Expected numeric arguments in call to avg().");
        sum += detail::ReadLeadingDouble(texts[i]);
    }
    return detail::FormatShortDouble(Finite(sum / static_cast<double>(texts.size())));
}

std::string Strcat(const Texts& texts, const Types&) {
    if (texts.size() < 2)
        throw CQueryError("Too few parameters in call to strcat().\nExpected at least 2.");
    std::string result = "'";
    for (const std::string& text : texts)
        result += text;
    result += "'";
    return result;
}

std::string Strlen(const Texts& texts, const Types& types) {
    if (types[0] != QCT_String)
        throw CQueryError("Function argument type mismatch in call to strlen().");
    return corvale::FormatInt(static_cast<std::int64_t>(texts[0].size()));
}

std::string Mod(const Texts& texts, const Types& types) {
    if (texts.size() != 2)
        throw CQueryError("Incorrect parameter count in call to mod().\nExpected 2.");
    for (const std::int32_t type : types)
        if (type != 2 && type != 3 && type != 4 && type != 9)
            throw CQueryError("Function argument type mismatch in call to mod(). Expected mod(integer, integer).");
    // 64-bit, like every other integer of the language; a fraction is cut off.
    const std::int64_t dividend = detail::ReadLeadingInt64(texts[0]);
    const std::int64_t divisor = detail::ReadLeadingInt64(texts[1]);
    if (divisor == 0)
        throw CQueryError("Division by zero.");
    // The one quotient that overflows has remainder 0; computing it would trap.
    if (divisor == -1)
        return "0";
    return corvale::FormatInt(dividend % divisor);
}

} // namespace

const QueryFunctionInfo QueryFunctionTable[kQueryFunctionCount] = {
    {"sqrt", 1, Sqrt, "Square root.\r\n\r\nAccepts 1 parameter."},
    {"min", -1, Min, "Minimum value of given parameters.\r\n\r\nAccepts 2 or more parameters."},
    {"max", -1, Max, "Maximum value of given parameters.\r\n\r\nAccepts 2 or more parameters."},
    {"avg", -1, Avg, "Average value of given parameters.\r\n\r\nAccepts 2 or more numeric parameters."},
    {"strcat", -1, Strcat, "Concatenates parameters to a string.\r\n\r\nAccepts 2 or more parameters."},
    {"strlen", 1, Strlen, "Number of characters in string.\r\n\r\nAccepts 1 parameter."},
    {"mod", -1, Mod, "Performs modulus calculation.\r\n\r\nAccepts 2 parameters."},
};

const QueryFunctionInfo* FindQueryFunction(std::string_view name) {
    for (const QueryFunctionInfo& info : QueryFunctionTable)
        if (detail::EqualsNoCase(name, info.name))
            return &info;
    return nullptr;
}

} // namespace CorvaleSQL
