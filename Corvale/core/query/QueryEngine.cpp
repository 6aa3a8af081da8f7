// Preparing and reducing queries.
//
// The language is defined on token texts: every step reads a token's meaning
// from its text (a leading quote is a string, a leading digit or '-' a number,
// and so on), and every value it produces is the text it would be written as.
// To keep per-shape evaluation fast without changing any answer, a token here
// carries, beside its text, what its text says: the operator or keyword it
// spells, the number a C scan of it reads, and the column it names. Prepared
// tokens are classified once; tokens made during a reduction are classified
// when they are made. An integer result writes its text only when something
// needs the text; a double result is written with fifteen decimals at once,
// because it is that text, read back, that later steps see.
//
// Which tokens a reduction combines, and in what order, follows from the
// tokens' kinds alone, never from the values of the columns: a comparison
// always gives a boolean, arithmetic always a number. Only a function call can
// give a token of any kind. So the first shape whose reduction succeeds
// records the steps it took (evaluate these two tokens with this operator,
// fold this run of NOTs, ...), each result in a numbered slot, and the
// following shapes replay those steps on their own values without searching
// the list or shifting tokens. A replayed step raises exactly the message the
// reduction would raise at that step, and steps run in the same order, so the
// answers and messages are the same. Queries with a function call are always
// reduced in full.

#include "core/query/QueryEngine.h"

#include "core/Theme.h"
#include "core/query/QueryText.h"
#include "platform/NumberText.h"
#include "platform/Wildcard.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace CorvaleSQL {

using detail::EqualsNoCase;
using detail::ReadRightAlignedDouble;
using detail::ReadRightAlignedInt64;

namespace {

const char* const kMalformed = "Malformed SQL expression.";
const char* const kMalformedLogical = "Malformed (or unsupported functions in) SQL expression.";
const char* const kNoSense = "Expression makes no sense.\n\nIt does not evaluate to true or false.";
const char* const kNullLayer = "Internal error.\nLayer was a null pointer.";
const char* const kSelectWithoutColumn = "Malformed SQL expression. Expected column name after SELECT.";
const char* const kArithmeticMismatch = "Type mismatch in arithmetic expression.";
const char* const kSqlError = "Error in SQL expression.";
// Integer division by zero and INT64_MIN / -1 trap on x86, other integer
// overflow is undefined, and an infinite or NaN double would be written as
// "inf" or "nan", a text that the next step reads as a column name. These
// refuse all of them.
const char* const kDivisionByZero = "Division by zero.";
const char* const kIntegerOverflow = "Integer overflow.";
const char* const kNotFinite = "Result is not a finite number.";

// Token codes: operators and punctuation, then the reserved words, then the
// keywords that are no reserved words.
enum Code : std::uint8_t {
    C_None,
    C_Eq,
    C_Ne,
    C_Lt,
    C_Gt,
    C_Le,
    C_Ge,
    C_Plus,
    C_Minus,
    C_Mul,
    C_Div,
    C_Mod,
    C_LParen,
    C_RParen,
    C_Comma,
    C_And,
    C_Or,
    C_Like,
    C_Not,
    C_Select,
    C_In,
    C_True,
    C_False,
};

enum Flag : std::uint8_t {
    F_Quote = 1,   // begins with a quote: a string
    F_Numeric = 2, // begins with a digit or '-': a number; Token::number holds its value
    F_IntText = 4, // an integer result whose text is not written yet
};

// A comparison of two values by its code (1 =, 2 <>, 3 <, 4 >, 5 <=, 6 >=;
// any other code, LIKE among them, is false between numbers).
template <typename T> inline bool CompareByCode(int code, T x, T y) {
    switch (code) {
    case 1: return x == y;
    case 2: return x != y;
    case 3: return x < y;
    case 4: return x > y;
    case 5: return x <= y;
    case 6: return x >= y;
    default: return false;
    }
}

// Arithmetic operations, numbered as the reduction names them.
enum ArithmeticOp { OP_Add = 1, OP_Sub = 2, OP_Mod = 3, OP_Mul = 4, OP_Div = 5 };

constexpr std::uint32_t Bit(std::uint8_t code) { return std::uint32_t(1) << code; }
constexpr std::uint32_t kGroupCodes = Bit(C_LParen);
constexpr std::uint32_t kSignCodes = Bit(C_Plus) | Bit(C_Minus);
constexpr std::uint32_t kMultiplicativeCodes = Bit(C_Mul) | Bit(C_Div);
constexpr std::uint32_t kAdditiveCodes = Bit(C_Plus) | Bit(C_Minus) | Bit(C_Mod);
constexpr std::uint32_t kComparisonCodes =
    Bit(C_Eq) | Bit(C_Ne) | Bit(C_Lt) | Bit(C_Gt) | Bit(C_Le) | Bit(C_Ge) | Bit(C_Like) | Bit(C_In);
constexpr std::uint32_t kLogicalCodes = Bit(C_And) | Bit(C_Or) | Bit(C_Not);

constexpr std::int32_t kColumnUnknown = -2;
// Far beyond what phase 1 can reach (its groups hold no parentheses); only a
// guard should the reduction ever change.
constexpr int kMaxDepth = 16;

bool IsIntegerType(std::int32_t type) { return type == 2 || type == 3 || type == 4; }
bool IsDoubleType(std::int32_t type) { return type == 8 || type == 9; }

bool IsReservedCode(std::uint8_t code) { return code >= C_And && code <= C_Select; }
bool IsOperatorCode(std::uint8_t code) { return code >= C_Eq && code <= C_Comma; }

std::uint8_t CodeOf(std::string_view text) {
    switch (text.size()) {
    case 1:
        switch (text[0]) {
        case '=': return C_Eq;
        case '<': return C_Lt;
        case '>': return C_Gt;
        case '+': return C_Plus;
        case '-': return C_Minus;
        case '*': return C_Mul;
        case '/': return C_Div;
        case '%': return C_Mod;
        case '(': return C_LParen;
        case ')': return C_RParen;
        case ',': return C_Comma;
        default: return C_None;
        }
    case 2:
        if (text == "<=") return C_Le;
        if (text == ">=") return C_Ge;
        if (text == "<>") return C_Ne;
        if (EqualsNoCase(text, "OR")) return C_Or;
        if (EqualsNoCase(text, "IN")) return C_In;
        return C_None;
    case 3:
        if (EqualsNoCase(text, "AND")) return C_And;
        if (EqualsNoCase(text, "NOT")) return C_Not;
        return C_None;
    case 4:
        if (EqualsNoCase(text, "LIKE")) return C_Like;
        if (EqualsNoCase(text, "TRUE")) return C_True;
        return C_None;
    case 5:
        return EqualsNoCase(text, "FALSE") ? C_False : C_None;
    case 6:
        return EqualsNoCase(text, "SELECT") ? C_Select : C_None;
    default:
        return C_None;
    }
}

std::string_view Unquote(std::string_view text) {
    text.remove_prefix(1);
    if (!text.empty() && text.back() == '\'')
        text.remove_suffix(1);
    return text;
}

// Bump storage for the texts a reduction makes. Texts never move once stored,
// so tokens can point at them; Reset keeps the first block for the next shape.
class TextArena {
public:
    const char* Store(std::string_view text) {
        if (text.size() > kBlockSize / 4) {
            m_Large.emplace_back(new char[text.size()]);
            std::copy(text.begin(), text.end(), m_Large.back().get());
            return m_Large.back().get();
        }
        if (m_Blocks.empty() || m_Used + text.size() > kBlockSize) {
            if (m_Blocks.empty() || m_Current + 1 >= m_Blocks.size()) {
                m_Blocks.emplace_back(new char[kBlockSize]);
                m_Current = m_Blocks.size() - 1;
            } else {
                ++m_Current;
            }
            m_Used = 0;
        }
        char* at = m_Blocks[m_Current].get() + m_Used;
        std::copy(text.begin(), text.end(), at);
        m_Used += text.size();
        return at;
    }

    void Reset() {
        m_Current = 0;
        m_Used = 0;
        if (m_Blocks.size() > 4)
            m_Blocks.resize(4);
        m_Large.clear();
    }

private:
    static constexpr std::size_t kBlockSize = 4096;
    std::vector<std::unique_ptr<char[]>> m_Blocks;
    std::vector<std::unique_ptr<char[]>> m_Large;
    std::size_t m_Current = 0;
    std::size_t m_Used = 0;
};

} // namespace

struct CQueryEngine::Token {
    // Null only for an integer result whose text is not written yet.
    const char* text = nullptr;
    union {
        // For F_Numeric without F_IntText: the value a C scan of the text reads.
        double number;
        // For F_IntText: the exact value the text is (to be) written from.
        std::int64_t integer;
    };
    std::uint32_t size = 0;
    // The column the text names, -1 for none, kColumnUnknown until looked up.
    std::int32_t column = kColumnUnknown;
    std::uint8_t code = C_None;
    std::uint8_t flags = 0;
    // Where the recorded steps find this token: its index for a prepared
    // token, the number of the step that made it otherwise.
    std::uint32_t slot = 0;

    Token() : number(0.0) {}

    bool IsNumeric() const { return (flags & F_Numeric) != 0; }
    bool IsQuote() const { return (flags & F_Quote) != 0; }
    bool IsReserved() const { return IsReservedCode(code); }
    // False for a reserved word, an operator and punctuation.
    bool IsOperand() const { return !IsReservedCode(code) && !IsOperatorCode(code); }
    // What a C scan of the text reads; for an integer result that is the
    // integer rounded to a double, exactly as its decimal text would read.
    double Number() const { return (flags & F_IntText) != 0 ? static_cast<double>(integer) : number; }
};

namespace {

// One recorded step of a reduction. The token a step makes goes to the slot
// numbered prepared token count + step index.
enum StepKind : std::uint8_t { S_Arithmetic, S_Comparison, S_In, S_Logical, S_Not };

struct Step {
    StepKind kind;
    // Arithmetic op, comparison code, logical op, or for S_Not whether the
    // run of NOTs negates.
    std::uint8_t op;
    std::uint32_t left;
    // For S_In: where its items start in Plan::items.
    std::uint32_t right;
    // For S_In: the number of items.
    std::uint32_t count;
};

// The slot of the "0" a sign is folded with.
constexpr std::uint32_t kZeroSlot = 0xFFFFFFFFu;

struct Plan {
    std::vector<Step> steps;
    std::vector<std::uint32_t> items;
    std::uint32_t resultSlot = 0;
    bool ready = false;
    // Set for good once a reduction calls a function.
    bool disabled = false;
    bool recording = false;
};

} // namespace

// A value as the arithmetic and comparison steps see it.
struct CQueryEngine::Operand {
    // 0 none, 1 boolean, QCT_Integer, QCT_String, QCT_Double.
    std::int32_t type = 0;
    std::int64_t integer = 0;
    double number = 0.0;
    std::string_view text;
};

struct CQueryEngine::Work {
    // The texts of the prepared tokens, one after another; tokens point in.
    std::string preparedText;
    std::vector<Token> prepared;
    // The columns to read per shape: m_ColumnRefs without repeats.
    std::vector<std::int32_t> fetch;
    // Whether number columns are read as numbers: only a function call reads
    // their text, and a query whose tokens name no function makes no call.
    bool numbersAsNumbers = false;
    // TRUE and FALSE, made once: copying a finished token is cheaper than
    // building one on the stack for every comparison.
    Token trueToken;
    Token falseToken;
    // Bit per token code that the prepared list or a function result holds.
    std::uint32_t codesSeen = 0;
    std::vector<Token> tokens;
    // One token list per reduction depth, kept for their capacity.
    std::vector<std::vector<Token>> scratch;
    TextArena arena;
    // Function-call arguments, kept for their capacity.
    std::vector<std::string> argumentTexts;
    std::vector<std::int32_t> argumentTypes;
    Token zeroToken;
    // The text of a double result, kept for its capacity.
    std::string numberText;
    Plan plan;
    // The slots the replayed steps fill.
    std::vector<Token> results;
    // Each recorded step with what stays the same from shape to shape worked
    // out once (CompilePlan): its operands' places, and the operand of a
    // constant it reads.
    struct Compiled {
        enum Form : std::uint8_t {
            // Through the tokens, as the reduction does it.
            Generic,
            // A column compared with a string or number constant.
            CompareColumn,
            // Arithmetic on a number constant and another operand.
            ArithmeticConstant,
            // A number constant compared with the result of an earlier
            // step: when that result is a number, both meet as doubles.
            CompareResultNumber,
            // A text column LIKE a pattern of plain characters followed by
            // stars only: the column's text begins with them.
            LikePrefix,
            // AND or OR of the answers of two earlier steps that always give
            // TRUE or FALSE.
            LogicalTruths,
        };
        Form form = Generic;
        // The constant is the left operand.
        bool constantFirst = false;
        std::int32_t column = -1;
        Operand constant;
        Token* left = nullptr;
        Token* right = nullptr;
        // For LikePrefix: the characters before the stars.
        std::string_view prefix;
        // For LogicalTruths: the steps whose answers it joins.
        std::uint32_t leftStep = 0;
        std::uint32_t rightStep = 0;
        // Whether a later step reads this step's token (rather than its
        // answer in truth), so that the replay must write it.
        bool tokenRead = true;
    };
    std::vector<Compiled> compiled;
    // The answer of each step that gives TRUE or FALSE, as the replay
    // leaves it.
    std::vector<unsigned char> truth;
};

CQueryEngine::CQueryEngine() : m_Work(std::make_unique<Work>()) {
    // Tokens are copied and shifted for every replacement of every shape.
    static_assert(sizeof(void*) != 8 || sizeof(Token) == 32, "keep tokens small");
}

CQueryEngine::~CQueryEngine() = default;

std::int32_t CQueryEngine::FindColumn(std::string_view token) const {
    for (std::size_t i = 0; i < m_Columns.size(); ++i)
        if (EqualsNoCase(m_Columns[i].name, token))
            return static_cast<std::int32_t>(i);
    if (token.size() >= 3 && token.front() == '[' && token.back() == ']') {
        const std::string_view inner = token.substr(1, token.size() - 2);
        for (std::size_t i = 0; i < m_Columns.size(); ++i)
            if (EqualsNoCase(m_Columns[i].name, inner))
                return static_cast<std::int32_t>(i);
    }
    return -1;
}

std::size_t CQueryEngine::ApplySelect(std::vector<std::string>& tokens, std::size_t index) {
    if (index + 1 >= tokens.size())
        throw CQueryError(kSelectWithoutColumn);
    const std::string& columnName = tokens[index + 1];
    const int count = static_cast<int>(m_Layer->GetAttributeCount());
    int field = -1;
    for (int i = 0; i < count && field < 0; ++i)
        if (EqualsNoCase(m_Layer->GetAttributeName(i), columnName))
            field = i;
    std::set<std::string> values;
    if (field >= 0) {
        const int shapes = m_Layer->GetShapeCount();
        for (int position = 0; position < shapes; ++position)
            values.insert(m_Layer->GetAttributeTextAt(position, field));
    }
    std::vector<std::string> inserted;
    inserted.reserve(values.empty() ? 0 : values.size() * 2 - 1);
    for (const std::string& value : values) {
        if (!inserted.empty())
            inserted.emplace_back(",");
        inserted.push_back(value);
    }
    tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(index),
                 tokens.begin() + static_cast<std::ptrdiff_t>(index) + 2);
    tokens.insert(tokens.begin() + static_cast<std::ptrdiff_t>(index), inserted.begin(), inserted.end());
    // The values are data: a cell that reads "SELECT" is not expanded again,
    // which could otherwise go on for ever.
    return index + inserted.size();
}

CQueryEngine::Token CQueryEngine::MakeToken(std::string_view text) {
    Token token;
    Classify(text, token);
    return token;
}

void CQueryEngine::Classify(std::string_view text, Token& token) {
    token.column = kColumnUnknown;
    token.flags = 0;
    token.number = 0.0;
    token.text = text.data();
    token.size = static_cast<std::uint32_t>(text.size());
    token.code = CodeOf(text);
    if (!text.empty()) {
        const char first = text[0];
        if (first == '\'') {
            token.flags = F_Quote;
        } else if ((first >= '0' && first <= '9') || first == '-') {
            token.flags = F_Numeric;
            token.number = detail::ReadLeadingDouble(text);
        }
    }
}

inline CQueryEngine::Token& CQueryEngine::SlotToken(std::uint32_t slot) {
    Work& work = *m_Work;
    if (slot == kZeroSlot)
        return work.zeroToken;
    if (slot < work.prepared.size())
        return work.prepared[slot];
    return work.results[slot - work.prepared.size()];
}

inline const CQueryEngine::Token& CQueryEngine::MakeBool(bool value) const {
    return value ? m_Work->trueToken : m_Work->falseToken;
}

void CQueryEngine::BuildPreparedTokens() {
    Work& work = *m_Work;
    work.preparedText.clear();
    for (const std::string& token : m_Tokens)
        work.preparedText += token;
    work.prepared.clear();
    std::size_t offset = 0;
    for (const std::string& text : m_Tokens) {
        Token token = MakeToken(std::string_view(work.preparedText.data() + offset, text.size()));
        offset += text.size();
        if (!token.IsQuote() && !token.IsNumeric())
            token.column = FindColumn(text);
        token.slot = static_cast<std::uint32_t>(work.prepared.size());
        work.prepared.push_back(token);
    }
    work.trueToken = MakeToken("TRUE");
    work.trueToken.column = FindColumn("TRUE");
    work.falseToken = MakeToken("FALSE");
    work.falseToken.column = FindColumn("FALSE");
    work.zeroToken = MakeToken("0");
    work.zeroToken.slot = kZeroSlot;
    work.plan = Plan();
    work.codesSeen = Bit(C_True) | Bit(C_False);
    for (const Token& token : work.prepared)
        work.codesSeen |= Bit(token.code);
    work.fetch.clear();
    for (const std::int32_t column : m_ColumnRefs)
        if (std::find(work.fetch.begin(), work.fetch.end(), column) == work.fetch.end())
            work.fetch.push_back(column);

    work.numbersAsNumbers = std::none_of(work.prepared.begin(), work.prepared.end(), [](const Token& token) {
        return !token.IsQuote() && !token.IsNumeric() &&
               FindQueryFunction(std::string_view(token.text, token.size)) != nullptr;
    });
}

bool CQueryEngine::Prepare(CTheme* theme, const std::string& query, std::string& error) {
    if (theme == nullptr) {
        error = kNullLayer;
        return false;
    }
    m_Layer = theme;
    Work& work = *m_Work;
    work.prepared.clear();
    work.fetch.clear();
    work.plan = Plan();
    try {
        Tokenize(query);
        for (std::size_t k = 0; k < m_Tokens.size();) {
            if (EqualsNoCase(m_Tokens[k], "SELECT"))
                k = ApplySelect(m_Tokens, k);
            else
                ++k;
        }
        m_ColumnRefs.clear();
        const int count = static_cast<int>(theme->GetAttributeCount());
        m_Columns.assign(static_cast<std::size_t>(count), QueryColumn());
        for (int field = 0; field < count; ++field) {
            QueryColumn& column = m_Columns[static_cast<std::size_t>(field)];
            column.name = theme->GetAttributeName(field);
            const int type = theme->GetAttributeType(field);
            column.type = type == FT_Int ? QCT_Integer : type == FT_Double ? QCT_Double : QCT_String;
        }
        for (const std::string& name : m_NameTokens) {
            const std::int32_t column = FindColumn(name);
            if (column >= 0)
                m_ColumnRefs.push_back(column);
        }
        BuildPreparedTokens();
    } catch (const CQueryError& e) {
        // Whatever was half built is dropped: an Evaluate after a refused
        // Prepare finds an empty query.
        m_Tokens.clear();
        m_ColumnRefs.clear();
        work.prepared.clear();
        work.fetch.clear();
        work.plan = Plan();
        error = e.what();
        return false;
    }
    return true;
}

bool CQueryEngine::Evaluate(CTheme* theme, bool& result, int position, std::string& error) {
    if (theme == nullptr) {
        error = kNullLayer;
        return false;
    }
    m_Layer = theme;
    const bool numbers = m_Work->numbersAsNumbers;
    // Where the shape's cells are kept is found once; numbers are read
    // straight from the cells' bytes, and a text is copied only when it
    // would not stay put until the query is answered.
    CTheme::CAttributeRow row = theme->GetAttributeRowAt(position);
    const bool textsStay = row.TextsStay();
    // A dBase number cell in its usual right-aligned form is read here from
    // its bytes, saving the row's checks and a call per cell; any other form
    // is read by the row, which gives the same value for these.
    const CdBaseFile* const table = row.DBaseTable();
    const char* const record = row.RecordBytes();
    const std::int32_t tableFields = table != nullptr ? table->GetFieldCount() : 0;
    for (const std::int32_t column : m_Work->fetch) {
        QueryColumn& info = m_Columns[static_cast<std::size_t>(column)];
        // Only a function call reads a number column's text; without one
        // the number is all the query can see of it.
        if (numbers && IsIntegerType(info.type)) {
            info.numeric = true;
            if (column >= tableFields || !ReadRightAlignedInt64(table->GetFieldBytes(record, column), info.integer))
                info.integer = row.Integer(column);
        } else if (numbers && IsDoubleType(info.type)) {
            info.numeric = true;
            if (column >= tableFields || !ReadRightAlignedDouble(table->GetFieldBytes(record, column), info.number))
                info.number = row.Number(column);
        } else {
            info.numeric = false;
            const std::string_view text = row.Text(column);
            if (textsStay) {
                info.text = text;
            } else {
                info.value.assign(text.data(), text.size());
                info.text = info.value;
            }
        }
    }
    return Run(result, error);
}

bool CQueryEngine::CheckExpression(std::string& error) {
    for (const std::int32_t column : m_Work->fetch) {
        QueryColumn& info = m_Columns[static_cast<std::size_t>(column)];
        info.value = "0";
        info.text = info.value;
        info.numeric = false;
    }
    bool result = false;
    return Run(result, error);
}

bool CQueryEngine::Run(bool& result, std::string& error) {
    Work& work = *m_Work;
    Plan& plan = work.plan;
    work.arena.Reset();
    try {
        std::uint8_t code = C_None;
        if (plan.ready) {
            code = Replay().code;
        } else {
            plan.recording = !plan.disabled;
            plan.steps.clear();
            plan.items.clear();
            work.tokens = work.prepared;
            const Token last = Reduce(work.tokens, 0);
            code = last.code;
            if (plan.recording && (code == C_True || code == C_False)) {
                plan.resultSlot = last.slot;
                plan.ready = true;
                CompilePlan();
            }
            plan.recording = false;
        }
        if (code == C_True || code == C_False) {
            result = code == C_True;
            return true;
        }
        throw CQueryError(kNoSense);
    } catch (const CQueryError& e) {
        plan.recording = false;
        error = e.what();
        return false;
    }
}

void CQueryEngine::Record(Token& value, int kind, int op, std::uint32_t left, std::uint32_t right,
                          std::uint32_t count) {
    Work& work = *m_Work;
    if (!work.plan.recording)
        return;
    value.slot = static_cast<std::uint32_t>(work.prepared.size() + work.plan.steps.size());
    work.plan.steps.push_back(
        Step{static_cast<StepKind>(kind), static_cast<std::uint8_t>(op), left, right, count});
}

// What a replayed step reads is fixed by the recording: the prepared tokens
// do not change between shapes, nor do the columns' types; only the columns'
// values and the results of earlier steps do. So the operand of a constant is
// worked out here once, and a column compared with a constant is read without
// looking at its token. Every such step raises what the full step would raise:
// a constant's operand never raises anything, and the other operand is read
// as the full step reads it.
void CQueryEngine::CompilePlan() {
    Work& work = *m_Work;
    const Plan& plan = work.plan;
    work.results.resize(plan.steps.size());
    work.compiled.assign(plan.steps.size(), Work::Compiled());
    const auto isPrepared = [&](std::uint32_t slot) { return slot == kZeroSlot || slot < work.prepared.size(); };
    const auto isConstant = [&](std::uint32_t slot) {
        const Token& token = SlotToken(slot);
        return isPrepared(slot) && (token.IsQuote() || token.IsNumeric());
    };
    const auto columnOf = [&](std::uint32_t slot) -> std::int32_t {
        Token& token = SlotToken(slot);
        if (!isPrepared(slot) || token.IsQuote() || token.IsNumeric() || token.IsReserved())
            return -1;
        return ColumnOf(token);
    };
    for (std::size_t i = 0; i < plan.steps.size(); ++i) {
        const Step& step = plan.steps[i];
        Work::Compiled& compiled = work.compiled[i];
        if (step.kind != S_In)
            compiled.left = &SlotToken(step.left);
        if (step.kind == S_Arithmetic || step.kind == S_Comparison || step.kind == S_Logical)
            compiled.right = &SlotToken(step.right);
        if (step.kind == S_Comparison) {
            const bool leftConstant = isConstant(step.left);
            const bool rightConstant = isConstant(step.right);
            const std::int32_t column = leftConstant ? columnOf(step.right) : rightConstant ? columnOf(step.left) : -1;
            if (column >= 0) {
                compiled.form = Work::Compiled::CompareColumn;
                compiled.constantFirst = leftConstant;
                compiled.column = column;
                compiled.constant = ComparisonOperand(leftConstant ? *compiled.left : *compiled.right);
                // The greedy wildcard match of such a pattern comes down to
                // comparing the text's start with the plain characters.
                const std::string_view pattern = compiled.constant.text;
                const std::size_t stars = pattern.find('*');
                if (step.op == 7 && !leftConstant && m_Columns[static_cast<std::size_t>(column)].type == QCT_String &&
                    compiled.constant.type == QCT_String && stars != std::string_view::npos &&
                    pattern.find('?') == std::string_view::npos &&
                    pattern.find_first_not_of('*', stars) == std::string_view::npos) {
                    compiled.form = Work::Compiled::LikePrefix;
                    compiled.prefix = pattern.substr(0, stars);
                }
            } else if ((leftConstant && compiled.left->IsNumeric() && !isPrepared(step.right)) ||
                       (rightConstant && compiled.right->IsNumeric() && !isPrepared(step.left))) {
                compiled.form = Work::Compiled::CompareResultNumber;
                compiled.constantFirst = leftConstant && compiled.left->IsNumeric();
                compiled.constant = ComparisonOperand(compiled.constantFirst ? *compiled.left : *compiled.right);
            }
        } else if (step.kind == S_Arithmetic) {
            // The quote and keyword checks of the full step pass for a number
            // constant and for any operand that is no quote and no keyword.
            const bool leftConstant = isConstant(step.left) && compiled.left->IsNumeric();
            const bool rightConstant = !leftConstant && isConstant(step.right) && compiled.right->IsNumeric();
            if (leftConstant || rightConstant) {
                Token& other = leftConstant ? *compiled.right : *compiled.left;
                if (!other.IsQuote() && !other.IsReserved()) {
                    compiled.form = Work::Compiled::ArithmeticConstant;
                    compiled.constantFirst = leftConstant;
                    compiled.constant = ArithmeticOperand(leftConstant ? *compiled.left : *compiled.right);
                    // The other operand's column, when it is a prepared name.
                    compiled.column = columnOf(leftConstant ? step.right : step.left);
                }
            }
        }
    }

    // Steps that always give TRUE or FALSE; an AND or OR of two of them
    // reads their answers rather than their tokens. A step's token is
    // written only when some later step reads it.
    work.truth.assign(plan.steps.size(), 0);
    const auto givesTruth = [&](std::uint32_t slot) {
        if (isPrepared(slot))
            return false;
        const StepKind kind = plan.steps[slot - work.prepared.size()].kind;
        return kind == S_Comparison || kind == S_In || kind == S_Logical || kind == S_Not;
    };
    for (std::size_t i = 0; i < plan.steps.size(); ++i) {
        const Step& step = plan.steps[i];
        Work::Compiled& compiled = work.compiled[i];
        if (step.kind == S_Logical && (step.op == 1 || step.op == 2) && givesTruth(step.left) &&
            givesTruth(step.right)) {
            compiled.form = Work::Compiled::LogicalTruths;
            compiled.leftStep = static_cast<std::uint32_t>(step.left - work.prepared.size());
            compiled.rightStep = static_cast<std::uint32_t>(step.right - work.prepared.size());
        }
    }
    for (Work::Compiled& compiled : work.compiled)
        compiled.tokenRead = false;
    const auto tokenRead = [&](std::uint32_t slot) {
        if (!isPrepared(slot))
            work.compiled[slot - work.prepared.size()].tokenRead = true;
    };
    for (std::size_t i = 0; i < plan.steps.size(); ++i) {
        const Step& step = plan.steps[i];
        if (work.compiled[i].form == Work::Compiled::LogicalTruths)
            continue;
        if (step.kind == S_In) {
            tokenRead(step.left);
            for (std::uint32_t k = 0; k < step.count; ++k)
                tokenRead(plan.items[step.right + k]);
            continue;
        }
        tokenRead(step.left);
        if (step.kind == S_Arithmetic || step.kind == S_Comparison || step.kind == S_Logical)
            tokenRead(step.right);
    }
    // An arithmetic step always writes its token.
    for (std::size_t i = 0; i < plan.steps.size(); ++i)
        if (plan.steps[i].kind == S_Arithmetic)
            work.compiled[i].tokenRead = true;
}

namespace {
bool AsInteger(double value, std::int64_t& integer);
} // namespace

const CQueryEngine::Token& CQueryEngine::Replay() {
    Work& work = *m_Work;
    const Plan& plan = work.plan;
    // Locals, so that writing a result does not make the compiler fetch
    // the lists' places again for every step.
    const Step* const steps = plan.steps.data();
    const Work::Compiled* const compiledSteps = work.compiled.data();
    Token* const results = work.results.data();
    unsigned char* const truth = work.truth.data();
    const Token& trueToken = work.trueToken;
    const Token& falseToken = work.falseToken;
    const QueryColumn* const columns = m_Columns.data();
    const std::size_t count = plan.steps.size();
    for (std::size_t i = 0; i < count; ++i) {
        const Step& step = steps[i];
        const Work::Compiled& compiled = compiledSteps[i];
        Token& out = results[i];
        // A step that gives TRUE or FALSE leaves it in truth[i], and as a
        // token only when a later step reads its token.
        bool answer = false;
        switch (compiled.form) {
        case Work::Compiled::CompareColumn: {
            const QueryColumn& info = columns[compiled.column];
            if (info.numeric && compiled.constant.type == QCT_Double) {
                // A number column read as a number against a number: the
                // two meet as doubles, as CompareOperands has them meet.
                const double x = IsIntegerType(info.type) ? static_cast<double>(info.integer) : info.number;
                const double c = compiled.constant.number;
                answer = compiled.constantFirst ? CompareByCode(step.op, c, x) : CompareByCode(step.op, x, c);
            } else {
                const Operand value = ColumnComparisonOperand(info);
                answer = compiled.constantFirst ? CompareOperands(step.op, compiled.constant, value)
                                                : CompareOperands(step.op, value, compiled.constant);
            }
            break;
        }
        case Work::Compiled::LikePrefix: {
            // Every character of the prefix is compared, rather than
            // stopping at the first that differs: whether a row matches
            // changes from row to row, while the prefix's length does not.
            const std::string_view text = columns[compiled.column].text;
            const std::string_view prefix = compiled.prefix;
            if (text.size() >= prefix.size()) {
                unsigned differ = 0;
                for (std::size_t k = 0; k < prefix.size(); ++k)
                    differ |= static_cast<unsigned>(detail::FoldCase(text[k]) ^ detail::FoldCase(prefix[k]));
                answer = differ == 0;
            }
            break;
        }
        case Work::Compiled::ArithmeticConstant: {
            // Integers added, taken or multiplied as ArithmeticOnOperands
            // does it, when the other operand is an integer column read as a
            // number or an integer result that reads back as the same
            // integer; anything else takes the full step.
            std::int64_t x = 0;
            bool integer = false;
            if (compiled.constant.type == QCT_Integer &&
                (step.op == OP_Add || step.op == OP_Sub || step.op == OP_Mul)) {
                const Token& other = compiled.constantFirst ? *compiled.right : *compiled.left;
                if (compiled.column >= 0) {
                    const QueryColumn& info = columns[compiled.column];
                    integer = info.numeric && IsIntegerType(info.type);
                    x = info.integer;
                } else if ((other.flags & F_IntText) != 0) {
                    integer = AsInteger(static_cast<double>(other.integer), x);
                }
            }
            if (integer) {
                const std::int64_t a = compiled.constantFirst ? compiled.constant.integer : x;
                const std::int64_t b = compiled.constantFirst ? x : compiled.constant.integer;
                std::int64_t value = 0;
                const bool overflow = step.op == OP_Add   ? __builtin_add_overflow(a, b, &value)
                                      : step.op == OP_Sub ? __builtin_sub_overflow(a, b, &value)
                                                          : __builtin_mul_overflow(a, b, &value);
                if (overflow)
                    throw CQueryError(kIntegerOverflow);
                SetIntegerResult(out, value);
            } else if (compiled.constantFirst) {
                ArithmeticOnOperands(compiled.constant, ArithmeticOperand(*compiled.right), step.op, out);
            } else {
                ArithmeticOnOperands(ArithmeticOperand(*compiled.left), compiled.constant, step.op, out);
            }
            continue;
        }
        case Work::Compiled::CompareResultNumber: {
            const Token& other = compiled.constantFirst ? *compiled.right : *compiled.left;
            if (other.IsNumeric()) {
                const double x = other.Number();
                const double c = compiled.constant.number;
                answer = compiled.constantFirst ? CompareByCode(step.op, c, x) : CompareByCode(step.op, x, c);
            } else {
                answer = EvaluateComparison(step.op, *compiled.left, *compiled.right);
            }
            break;
        }
        case Work::Compiled::LogicalTruths:
            // Both operands are answers of earlier steps, TRUE or FALSE.
            // Both are 0 or 1, so the bitwise forms give the same answer
            // without a branch on data that changes from row to row.
            answer = step.op == 1 ? (truth[compiled.leftStep] & truth[compiled.rightStep]) != 0
                                  : (truth[compiled.leftStep] | truth[compiled.rightStep]) != 0;
            break;
        case Work::Compiled::Generic:
            switch (step.kind) {
            case S_Arithmetic:
                EvaluateArithmetic(*compiled.left, *compiled.right, step.op, out);
                continue;
            case S_Comparison:
                answer = EvaluateComparison(step.op, *compiled.left, *compiled.right);
                break;
            case S_In:
                for (std::uint32_t k = 0; k < step.count && !answer; ++k)
                    answer = EvaluateComparison(1, SlotToken(step.left), SlotToken(plan.items[step.right + k]));
                break;
            case S_Logical:
                answer = EvaluateLogical(*compiled.left, *compiled.right, step.op).code == C_True;
                break;
            case S_Not:
                answer = (compiled.left->code == C_True) != (step.op != 0);
                break;
            }
            break;
        }
        truth[i] = answer ? 1 : 0;
        if (compiled.tokenRead)
            out = answer ? trueToken : falseToken;
    }
    if (plan.resultSlot != kZeroSlot && plan.resultSlot >= work.prepared.size()) {
        const std::size_t last = plan.resultSlot - work.prepared.size();
        if (!work.compiled[last].tokenRead && plan.steps[last].kind != S_Arithmetic)
            return truth[last] != 0 ? trueToken : falseToken;
    }
    return SlotToken(plan.resultSlot);
}

std::string_view CQueryEngine::TextOf(Token& token) {
    if (token.text == nullptr) {
        const std::string text = corvale::FormatInt(token.integer);
        token.text = m_Work->arena.Store(text);
        token.size = static_cast<std::uint32_t>(text.size());
    }
    return std::string_view(token.text, token.size);
}

std::int32_t CQueryEngine::ColumnOf(Token& token) const {
    if (token.column == kColumnUnknown)
        token.column = FindColumn(std::string_view(token.text, token.size));
    return token.column;
}

// ---- the reduction --------------------------------------------------------

CQueryEngine::Token CQueryEngine::Reduce(std::vector<Token>& tokens, int depth) {
    if (depth > kMaxDepth)
        throw CQueryError("SQL expression too complex.");
    // A phase whose tokens occur nowhere in the list has nothing to do; the
    // codes seen are a superset of those present, so skipping is exact.
    const std::uint32_t& seen = m_Work->codesSeen;
    while (tokens.size() > 1) {
        const std::size_t before = tokens.size();
        if (seen & kGroupCodes)
            ReduceGroups(tokens, depth);
        if (seen & kSignCodes)
            ReduceSigns(tokens);
        if (seen & kMultiplicativeCodes)
            ReduceArithmetic(tokens, true);
        if (seen & kAdditiveCodes)
            ReduceArithmetic(tokens, false);
        if (!tokens.empty() && tokens[0].code == C_Not)
            ReduceNot(tokens, 0);
        const bool inReplaced = (seen & kComparisonCodes) != 0 && ReduceComparisons(tokens);
        if (!inReplaced && (seen & kLogicalCodes) != 0)
            ReduceLogical(tokens);
        if (tokens.size() == before)
            throw CQueryError(kMalformed);
    }
    if (tokens.empty())
        throw CQueryError(kMalformed);
    return tokens[0];
}

CQueryEngine::Token CQueryEngine::ReduceRange(std::vector<Token>& tokens, std::size_t begin, std::size_t end,
                                              int depth) {
    Work& work = *m_Work;
    const auto level = static_cast<std::size_t>(depth) + 1;
    if (work.scratch.size() <= level)
        work.scratch.resize(level + 1);
    std::vector<Token>& part = work.scratch[level];
    part.assign(tokens.begin() + static_cast<std::ptrdiff_t>(begin), tokens.begin() + static_cast<std::ptrdiff_t>(end));
    return Reduce(part, depth + 1);
}

namespace {

// The count tokens from index become one.
template <class T>
void ReplaceTokens(std::vector<T>& tokens, std::size_t index, std::size_t count, const T& value) {
    tokens[index] = value;
    tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(index) + 1,
                 tokens.begin() + static_cast<std::ptrdiff_t>(index + count));
}

// A phase that "restarts" after each replacement would find nothing new
// before the replaced group: the tokens there were looked at and left alone,
// and the group's value is no operator. So the scan goes on from the value,
// which gives the same replacements in the same order without going over the
// front of the list again and again.
std::size_t ResumeAfterReplacing(std::size_t k) { return k > 1 ? k - 1 : 1; }

} // namespace

// Phase 1: the innermost parenthesised groups. A group after IN that is a
// proper list stays for the comparison phase; a group after a function name
// is the call; any other group is reduced to its value.
void CQueryEngine::ReduceGroups(std::vector<Token>& tokens, int depth) {
restart:
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].code != C_LParen)
            continue;
        std::size_t open = i;
        std::size_t argument = i + 1;
        std::size_t j = i + 1;
        for (; j < tokens.size(); ++j) {
            const std::uint8_t code = tokens[j].code;
            if (code == C_LParen) {
                open = j;
                argument = j + 1;
                continue;
            }
            if (code != C_Comma && code != C_RParen)
                continue;
            const std::size_t length = j - argument;
            if (code == C_Comma && length == 0)
                throw CQueryError("Expected value before ','.");
            if (length > 1) {
                const Token value = ReduceRange(tokens, argument, j, depth);
                ReplaceTokens(tokens, argument, length, value);
                goto restart;
            }
            if (code == C_Comma) {
                argument = j + 1;
                continue;
            }
            // The group closes.
            if (open > 0) {
                const Token& before = tokens[open - 1];
                const bool isIn = before.code == C_In;
                const QueryFunctionInfo* function =
                    isIn || before.IsNumeric() ? nullptr : FindQueryFunction(std::string_view(before.text, before.size));
                if ((isIn || function != nullptr) && CountArguments(tokens, open + 1, j) >= 0) {
                    if (isIn)
                        break;
                    EvaluateFunctionCall(tokens, open - 1, *function);
                    goto restart;
                }
            }
            const Token value = ReduceRange(tokens, open + 1, j, depth);
            ReplaceTokens(tokens, open, j - open + 1, value);
            goto restart;
        }
        if (j >= tokens.size())
            return; // a "(" without ")" is left for the later phases
        i = j;      // an IN list: go on after its ")"
    }
}

int CQueryEngine::CountArguments(const std::vector<Token>& tokens, std::size_t begin, std::size_t end) {
    if (begin == end)
        return 0;
    int count = 0;
    for (std::size_t k = begin; k < end; k += 2) {
        if (tokens[k].IsReserved() || tokens[k].code == C_Comma)
            return -1;
        if (k + 1 < end && tokens[k + 1].code != C_Comma)
            return -1;
        if (k + 1 == end - 1)
            return -1; // ends with ","
        ++count;
    }
    return count;
}

void CQueryEngine::EvaluateFunctionCall(std::vector<Token>& tokens, std::size_t index,
                                        const QueryFunctionInfo& function) {
    Work& work = *m_Work;
    // A function's result may be a token of any kind, so later steps depend
    // on values: such a query is reduced in full for every shape.
    work.plan.disabled = true;
    work.plan.recording = false;
    if (index + 1 >= tokens.size() || tokens[index + 1].code != C_LParen)
        throw CQueryError("Missing '(' after function call.");
    std::vector<std::string>& texts = work.argumentTexts;
    std::vector<std::int32_t>& types = work.argumentTypes;
    texts.clear();
    types.clear();
    std::size_t j = index + 2;
    for (; j < tokens.size() && tokens[j].code != C_RParen; ++j) {
        Token& argument = tokens[j];
        if (argument.code == C_Comma)
            continue;
        if (argument.IsQuote()) {
            texts.emplace_back(Unquote(TextOf(argument)));
            types.push_back(QCT_String);
        } else if (argument.IsNumeric()) {
            texts.emplace_back(TextOf(argument));
            types.push_back(QCT_Double);
        } else {
            const std::int32_t column = argument.IsReserved() ? -1 : ColumnOf(argument);
            if (column < 0)
                throw CQueryError("'" + std::string(TextOf(argument)) + "', invalid column name.");
            const QueryColumn& info = m_Columns[static_cast<std::size_t>(column)];
            texts.emplace_back(info.text);
            const std::int32_t type = info.type;
            types.push_back(type == 2 || type == 3 || type == 4 || type == 8 ? QCT_Double : type);
        }
    }
    if (j >= tokens.size())
        throw CQueryError("Missing ')'.");
    if (function.argumentCount >= 0 && static_cast<int>(texts.size()) != function.argumentCount)
        throw CQueryError(std::string("Wrong number of parameters in call to ") + function.name + "().\nExpected " +
                          std::to_string(function.argumentCount) + ".");
    const std::string result = function.handler(texts, types);
    const Token value = MakeToken(std::string_view(work.arena.Store(result), result.size()));
    work.codesSeen |= Bit(value.code);
    ReplaceTokens(tokens, index, j - index + 1, value);
}

// Phase 2: a "+" or "-" that follows no operand is a sign.
void CQueryEngine::ReduceSigns(std::vector<Token>& tokens) {
    for (std::size_t k = 0; k + 1 < tokens.size(); ++k) {
        const std::uint8_t code = tokens[k].code;
        if (code != C_Plus && code != C_Minus)
            continue;
        if (k > 0 && tokens[k - 1].IsOperand())
            continue;
        const int op = code == C_Plus ? OP_Add : OP_Sub;
        Token value;
        EvaluateArithmetic(m_Work->zeroToken, tokens[k + 1], op, value);
        Record(value, S_Arithmetic, op, kZeroSlot, tokens[k + 1].slot);
        ReplaceTokens(tokens, k, 2, value);
    }
}

// Phases 3 and 4: "*" and "/", then "+", "-" and "%", each left to right.
void CQueryEngine::ReduceArithmetic(std::vector<Token>& tokens, bool multiplicative) {
    for (std::size_t k = 1; k + 1 < tokens.size();) {
        const std::uint8_t code = tokens[k].code;
        int op = 0;
        if (multiplicative)
            op = code == C_Mul ? OP_Mul : code == C_Div ? OP_Div : 0;
        else
            op = code == C_Plus ? OP_Add : code == C_Minus ? OP_Sub : code == C_Mod ? OP_Mod : 0;
        if (op == 0) {
            ++k;
            continue;
        }
        Token value;
        EvaluateArithmetic(tokens[k - 1], tokens[k + 1], op, value);
        Record(value, S_Arithmetic, op, tokens[k - 1].slot, tokens[k + 1].slot);
        ReplaceTokens(tokens, k - 1, 3, value);
        k = ResumeAfterReplacing(k);
    }
}

// A run of NOTs before a boolean folds into one boolean; before anything else
// it waits for a later pass. Done without recursion: a fuzzer's thousand NOTs
// must not use a thousand stack frames.
void CQueryEngine::ReduceNot(std::vector<Token>& tokens, std::size_t index) {
    std::size_t operand = index;
    while (operand < tokens.size() && tokens[operand].code == C_Not)
        ++operand;
    if (operand >= tokens.size())
        throw CQueryError(kMalformed);
    const std::uint8_t code = tokens[operand].code;
    if (code != C_True && code != C_False)
        return;
    const bool negate = (operand - index) % 2 == 1;
    Token value = MakeBool((code == C_True) != negate);
    Record(value, S_Not, negate ? 1 : 0, tokens[operand].slot);
    ReplaceTokens(tokens, index, operand - index + 1, value);
}

// Phase 6: comparisons, LIKE and IN, left to right. True when an IN was
// replaced, which ends the pass.
bool CQueryEngine::ReduceComparisons(std::vector<Token>& tokens) {
    bool inReplaced = false;
    for (std::size_t k = 1; k < tokens.size();) {
        int code = 0;
        switch (tokens[k].code) {
        case C_Eq: code = 1; break;
        case C_Ne: code = 2; break;
        case C_Lt: code = 3; break;
        case C_Gt: code = 4; break;
        case C_Le: code = 5; break;
        case C_Ge: code = 6; break;
        case C_Like: code = 7; break;
        case C_In: code = 8; break;
        default: ++k; continue;
        }
        if (k + 1 >= tokens.size())
            throw CQueryError(kMalformed);
        if (code != 8) {
            Token value = MakeBool(EvaluateComparison(code, tokens[k - 1], tokens[k + 1]));
            Record(value, S_Comparison, code, tokens[k - 1].slot, tokens[k + 1].slot);
            ReplaceTokens(tokens, k - 1, 3, value);
            k = ResumeAfterReplacing(k);
            continue;
        }
        if (tokens[k + 1].code != C_LParen)
            throw CQueryError("Missing '(' after 'IN'.");
        bool match = false;
        std::size_t items = 0;
        Plan& plan = m_Work->plan;
        const auto firstItem = static_cast<std::uint32_t>(plan.items.size());
        std::size_t j = k + 2;
        for (; j < tokens.size() && tokens[j].code != C_RParen; ++j) {
            if (tokens[j].code == C_Comma)
                continue;
            ++items;
            if (plan.recording)
                plan.items.push_back(tokens[j].slot);
            if (!match)
                match = EvaluateComparison(1, tokens[k - 1], tokens[j]);
        }
        if (j >= tokens.size())
            throw CQueryError("Missing ')'.");
        if (items == 0)
            throw CQueryError("Expected value between parantheses.");
        Token value = MakeBool(match);
        Record(value, S_In, 8, tokens[k - 1].slot, firstItem, static_cast<std::uint32_t>(items));
        ReplaceTokens(tokens, k - 1, j - k + 2, value);
        inReplaced = true;
        k = ResumeAfterReplacing(k);
    }
    return inReplaced;
}

// Phase 7: AND and OR on one level, left to right.
void CQueryEngine::ReduceLogical(std::vector<Token>& tokens) {
    // Resuming at the value rather than after it also applies a NOT that now
    // follows the value, as a restart would.
    for (std::size_t k = 1; k < tokens.size();) {
        if (k + 1 < tokens.size() && tokens[k + 1].code == C_Not)
            ReduceNot(tokens, k + 1);
        const std::uint8_t code = tokens[k].code;
        if (code != C_And && code != C_Or) {
            ++k;
            continue;
        }
        if (k + 1 >= tokens.size())
            throw CQueryError(kMalformedLogical);
        const int op = code == C_And ? 1 : 2;
        Token value = EvaluateLogical(tokens[k - 1], tokens[k + 1], op);
        Record(value, S_Logical, op, tokens[k - 1].slot, tokens[k + 1].slot);
        ReplaceTokens(tokens, k - 1, 3, value);
        k = ResumeAfterReplacing(k);
    }
}

const CQueryEngine::Token& CQueryEngine::EvaluateLogical(const Token& left, const Token& right, int op) const {
    const auto isBool = [](const Token& t) { return t.code == C_True || t.code == C_False; };
    if (!isBool(left) || !isBool(right))
        throw CQueryError(kSqlError);
    const bool a = left.code == C_True;
    const bool b = right.code == C_True;
    if (op == 1)
        return MakeBool(a && b);
    if (op == 2)
        return MakeBool(a || b);
    throw CQueryError("SQL expression too complex.");
}

// ---- values ---------------------------------------------------------------

namespace {

// LIKE: '*' any run, '?' one character, letters without regard to case, the
// whole text. The same matcher serves file-name patterns.
bool MatchLike(std::string_view text, std::string_view pattern) {
    if (pattern.empty())
        return text.empty();
    return corvale::MatchWildcard(text, pattern);
}


// A scanned number that equals its floor is an integer, so 2.0 and
// -3.000000000000000 take part in integer arithmetic. One beyond the 64-bit
// range stays a double rather than being cast into nonsense.
bool AsInteger(double value, std::int64_t& integer) {
    if (!(value == std::floor(value)) || !(value >= -9223372036854775808.0 && value < 9223372036854775808.0))
        return false;
    integer = static_cast<std::int64_t>(value);
    return true;
}

} // namespace

inline void CQueryEngine::SetIntegerResult(Token& out, std::int64_t value) {
    out.text = nullptr;
    out.size = 0;
    out.code = C_None;
    out.flags = F_Numeric | F_IntText;
    out.integer = value;
    out.column = -1;
}

inline CQueryEngine::Operand CQueryEngine::ArithmeticOperand(Token& token) {
    Operand operand;
    if (token.IsNumeric()) {
        operand.number = token.Number();
        operand.type = AsInteger(operand.number, operand.integer) ? QCT_Integer : QCT_Double;
        return operand;
    }
    const std::int32_t column = ColumnOf(token);
    if (column < 0)
        return operand;
    const QueryColumn& info = m_Columns[static_cast<std::size_t>(column)];
    if (IsIntegerType(info.type)) {
        operand.type = QCT_Integer;
        operand.integer = info.numeric ? info.integer : detail::ReadLeadingInt64(info.text);
    } else if (IsDoubleType(info.type)) {
        operand.type = QCT_Double;
        operand.number = info.numeric ? info.number : detail::ReadLeadingDouble(info.text);
    } else if (info.type == QCT_String) {
        throw CQueryError(kArithmeticMismatch);
    }
    return operand;
}

// The result is written straight into out: a token returned by value and
// then copied costs more than the arithmetic when it runs per shape.
void CQueryEngine::EvaluateArithmetic(Token& left, Token& right, int op, Token& out) {
    if (left.IsQuote() || right.IsQuote())
        throw CQueryError(kArithmeticMismatch);
    if (left.IsReserved() || right.IsReserved())
        throw CQueryError("Illegal use of reserved keyword.");
    const Operand a = ArithmeticOperand(left);
    const Operand b = ArithmeticOperand(right);
    ArithmeticOnOperands(a, b, op, out);
}

void CQueryEngine::ArithmeticOnOperands(const Operand& left, const Operand& right, int op, Token& out) {
    // Plain locals rather than copies of the operands: the operands were
    // just written, and reading them back whole stalls.
    std::int32_t type = left.type;
    const std::int64_t ai = left.integer;
    const std::int64_t bi = right.integer;
    double x = left.number;
    double y = right.number;
    if (left.type != right.type) {
        if (left.type == QCT_Integer && right.type == QCT_Double)
            x = static_cast<double>(ai);
        else if (left.type == QCT_Double && right.type == QCT_Integer)
            y = static_cast<double>(bi);
        else
            throw CQueryError(kArithmeticMismatch);
        type = QCT_Double;
    }
    if (type == 0)
        throw CQueryError(kSqlError);

    if (type == QCT_Integer) {
        std::int64_t value = 0;
        bool overflow = false;
        switch (op) {
        case OP_Add: overflow = __builtin_add_overflow(ai, bi, &value); break;
        case OP_Sub: overflow = __builtin_sub_overflow(ai, bi, &value); break;
        case OP_Mul: overflow = __builtin_mul_overflow(ai, bi, &value); break;
        case OP_Div:
        case OP_Mod:
            if (bi == 0)
                throw CQueryError(kDivisionByZero);
            if (bi == -1) {
                // INT64_MIN / -1 does not fit and traps on x86; its remainder is 0.
                if (op == OP_Mod)
                    value = 0;
                else
                    overflow = __builtin_sub_overflow(std::int64_t(0), ai, &value);
            } else {
                value = op == OP_Div ? ai / bi : ai % bi;
            }
            break;
        default: throw CQueryError(kSqlError);
        }
        if (overflow)
            throw CQueryError(kIntegerOverflow);
        SetIntegerResult(out, value);
        return;
    }

    double value = 0.0;
    switch (op) {
    case OP_Add: value = x + y; break;
    case OP_Sub: value = x - y; break;
    case OP_Mul: value = x * y; break;
    case OP_Div:
        if (y == 0.0)
            throw CQueryError(kDivisionByZero);
        value = x / y;
        break;
    case OP_Mod: throw CQueryError("Modulus only supported for integers.");
    default: throw CQueryError(kSqlError);
    }
    // "inf" or "nan" would read back as a name, and so as a column.
    if (!std::isfinite(value))
        throw CQueryError(kNotFinite);
    std::string& text = m_Work->numberText;
    double readBack = 0.0;
    detail::FormatFifteenDecimals(value, text, readBack);
    out.text = m_Work->arena.Store(text);
    out.size = static_cast<std::uint32_t>(text.size());
    out.code = C_None;
    out.flags = F_Numeric;
    out.number = readBack;
    out.column = -1;
}

inline CQueryEngine::Operand CQueryEngine::ColumnComparisonOperand(const QueryColumn& info) {
    Operand operand;
    if (info.type == QCT_String) {
        operand.type = QCT_String;
        operand.text = info.text;
    } else if (IsIntegerType(info.type)) {
        operand.type = QCT_Integer;
        operand.integer = info.numeric ? info.integer : detail::ReadLeadingInt64(info.text);
    } else if (IsDoubleType(info.type)) {
        operand.type = QCT_Double;
        operand.number = info.numeric ? info.number : detail::ReadLeadingDouble(info.text);
    }
    return operand;
}

inline CQueryEngine::Operand CQueryEngine::ComparisonOperand(Token& token) {
    Operand operand;
    if (token.IsQuote()) {
        operand.type = QCT_String;
        operand.text = Unquote(TextOf(token));
        return operand;
    }
    if (token.IsNumeric()) {
        operand.type = QCT_Double;
        operand.number = token.Number();
        return operand;
    }
    if (token.IsReserved())
        throw CQueryError("'" + std::string(TextOf(token)) + "', invalid column name.");
    const std::int32_t column = ColumnOf(token);
    if (column >= 0)
        return ColumnComparisonOperand(m_Columns[static_cast<std::size_t>(column)]);
    if (token.code == C_True || token.code == C_False) {
        operand.type = 1;
        operand.text = TextOf(token);
    }
    return operand;
}

bool CQueryEngine::EvaluateComparison(int code, Token& left, Token& right) {
    const Operand a = ComparisonOperand(left);
    const Operand b = ComparisonOperand(right);
    return CompareOperands(code, a, b);
}

bool CQueryEngine::CompareOperands(int code, const Operand& left, const Operand& right) {
    const Operand& a = left;
    const Operand& b = right;
    // An integer meets a double as a double; other mixed types do not meet.
    std::int32_t type = a.type;
    double x = a.number;
    double y = b.number;
    if (a.type != b.type) {
        if (a.type == QCT_Integer && b.type == QCT_Double)
            x = static_cast<double>(a.integer);
        else if (a.type == QCT_Double && b.type == QCT_Integer)
            y = static_cast<double>(b.integer);
        else
            throw CQueryError("Type mismatch.");
        type = QCT_Double;
    }
    switch (type) {
    case QCT_String: {
        if (code == 7)
            return MatchLike(a.text, b.text);
        return CompareByCode(code, detail::CompareNoCase(a.text, b.text), 0);
    }
    case QCT_Integer:
        return CompareByCode(code, a.integer, b.integer);
    case QCT_Double:
        return CompareByCode(code, x, y);
    case 1:
        if (code == 1)
            return EqualsNoCase(a.text, b.text);
        if (code == 2)
            return !EqualsNoCase(a.text, b.text);
        throw CQueryError("Illegal comparison operator on boolean type.");
    default:
        return false;
    }
}

} // namespace CorvaleSQL
