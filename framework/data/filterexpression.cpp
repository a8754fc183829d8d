#include "framework/data/filterexpression.h"

#include "framework/abort.h"
#include "framework/data/numberformat.h"

#include <QDateTime>
#include <optional>
#include <utility>
#include <vector>

namespace framework {

namespace {

// Deeper nesting than any form writes; the limit keeps recursion off the stack's edge.
constexpr int maxNesting = 100;

[[noreturn]] void fail(const QString& problem, qsizetype position)
{
    throw Error(QStringLiteral("Filtro inválido: %1 (posição %2)").arg(problem).arg(position + 1));
}

// ---------------------------------------------------------------------------------------------
// Tokens

enum class TokenKind {
    End, Name, Text, Number, OpenParen, CloseParen,
    Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual, Minus, Plus
};

struct Token {
    TokenKind kind = TokenKind::End;
    QString text; // names and numbers as written, texts without their quotes
    qsizetype position = 0;

    bool isKeyword(QLatin1StringView word) const
    {
        return kind == TokenKind::Name && text.compare(word, Qt::CaseInsensitive) == 0;
    }
    bool isComparison() const { return kind >= TokenKind::Equal && kind <= TokenKind::GreaterEqual; }
};

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

std::vector<Token> tokenize(const QString& text)
{
    std::vector<Token> tokens;
    qsizetype i = 0;
    const auto size = text.size();
    while (i < size) {
        const QChar c = text.at(i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        Token token;
        token.position = i;
        if (c == QLatin1Char('\'')) {
            token.kind = TokenKind::Text;
            for (++i;; ++i) {
                if (i >= size)
                    fail(QStringLiteral("texto entre aspas sem a aspa de fechamento"), token.position);
                if (text.at(i) == QLatin1Char('\'')) {
                    if (i + 1 < size && text.at(i + 1) == QLatin1Char('\'')) {
                        token.text += QLatin1Char('\'');
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                token.text += text.at(i);
            }
        } else if (isAsciiDigit(c) || (c == QLatin1Char('.') && i + 1 < size && isAsciiDigit(text.at(i + 1)))) {
            // Both '.' and ',' are taken as the decimal separator: the forms may write either.
            token.kind = TokenKind::Number;
            bool separatorSeen = false;
            while (i < size) {
                const QChar d = text.at(i);
                const bool separator = d == QLatin1Char('.') || d == QLatin1Char(',');
                if (!isAsciiDigit(d) && !(separator && !separatorSeen))
                    break;
                separatorSeen = separatorSeen || separator;
                token.text += separator ? QLatin1Char('.') : d;
                ++i;
            }
            if (i < size && isNameChar(text.at(i)))
                fail(QStringLiteral("número mal formado"), token.position);
        } else if (isNameChar(c)) {
            token.kind = TokenKind::Name;
            while (i < size && isNameChar(text.at(i)))
                token.text += text.at(i++);
        } else {
            const QChar next = i + 1 < size ? text.at(i + 1) : QChar();
            ++i;
            switch (c.unicode()) {
            case '(': token.kind = TokenKind::OpenParen; break;
            case ')': token.kind = TokenKind::CloseParen; break;
            case '=': token.kind = TokenKind::Equal; break;
            case '-': token.kind = TokenKind::Minus; break;
            case '+': token.kind = TokenKind::Plus; break;
            case '<':
                token.kind = next == QLatin1Char('>') ? TokenKind::NotEqual
                    : next == QLatin1Char('=')        ? TokenKind::LessEqual
                                                      : TokenKind::Less;
                i += token.kind == TokenKind::Less ? 0 : 1;
                break;
            case '>':
                token.kind = next == QLatin1Char('=') ? TokenKind::GreaterEqual : TokenKind::Greater;
                i += token.kind == TokenKind::Greater ? 0 : 1;
                break;
            case '!':
                if (next != QLatin1Char('='))
                    fail(QStringLiteral("caractere inesperado '!'"), token.position);
                token.kind = TokenKind::NotEqual;
                ++i;
                break;
            default:
                fail(QStringLiteral("caractere inesperado '%1'").arg(c), token.position);
            }
            token.text = text.mid(token.position, i - token.position);
        }
        tokens.push_back(std::move(token));
    }
    Token end;
    end.position = size;
    tokens.push_back(end);
    return tokens;
}

// ---------------------------------------------------------------------------------------------
// Values

// A field of the row or a constant written in the filter.
struct Operand {
    bool isField = false;
    QString text; // the field's name, or the constant as written
    qsizetype position = 0;
    int column = -1;
    // The constant read as a number and as a date-time, once, so that rows only compare.
    std::optional<double> number;
    QDateTime dateTime;
};

Operand constant(const QString& text, bool writtenAsNumber, qsizetype position)
{
    Operand operand;
    operand.text = text;
    operand.position = position;
    bool ok = false;
    const double number = text.toDouble(&ok); // C form, as numbers are written in filters
    double brazilian = 0;
    if (ok)
        operand.number = number;
    else if (parseNumber(text, brazilian))
        operand.number = brazilian;
    else if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        operand.number = 1;
    else if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        operand.number = 0;
    if (!writtenAsNumber)
        operand.dateTime = QDateTime::fromString(text, Qt::ISODateWithMs);
    return operand;
}

enum class Category { Text, Number, DateTime, Other };

Category categoryOf(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QString:
        return Category::Text;
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        return Category::Number;
    case QMetaType::QDateTime:
    case QMetaType::QDate:
        return Category::DateTime;
    default:
        return Category::Other;
    }
}

bool isNull(const QVariant& value)
{
    return !value.isValid() || value.isNull();
}

template <typename T>
int order(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

// Date-times are wall-clock values: compared by date and time whatever zone they are tagged with,
// so that a constant read in local time meets a value the dataset keeps in UTC.
int orderDateTimes(const QDateTime& a, const QDateTime& b)
{
    return order(std::pair(a.date(), a.time()), std::pair(b.date(), b.time()));
}

int orderTexts(const QString& a, const QString& b)
{
    return order(QString::compare(a, b, Qt::CaseSensitive), 0);
}

const QString& textOf(const QVariant& value, QString& scratch)
{
    if (value.typeId() == QMetaType::QString)
        return *static_cast<const QString*>(value.constData());
    scratch = value.toString();
    return scratch;
}

// The field's type decides how a constant is read: as text beside a text field, as a number
// beside a number, as an ISO date-time beside a date-time. A constant that cannot be read so is
// compared as text.
int orderFieldAndConstant(const QVariant& field, const Operand& constant)
{
    switch (categoryOf(field)) {
    case Category::Text:
        return orderTexts(*static_cast<const QString*>(field.constData()), constant.text);
    case Category::Number:
        if (constant.number)
            return order(field.toDouble(), *constant.number);
        break;
    case Category::DateTime:
        if (constant.dateTime.isValid())
            return orderDateTimes(field.toDateTime(), constant.dateTime);
        break;
    case Category::Other:
        break;
    }
    return orderTexts(field.toString(), constant.text);
}

int orderFields(const QVariant& a, const QVariant& b)
{
    const Category ca = categoryOf(a);
    const Category cb = categoryOf(b);
    if (ca == Category::Number && cb == Category::Number)
        return order(a.toDouble(), b.toDouble());
    if (ca == Category::DateTime && cb == Category::DateTime)
        return orderDateTimes(a.toDateTime(), b.toDateTime());
    QString scratchA;
    QString scratchB;
    return orderTexts(textOf(a, scratchA), textOf(b, scratchB));
}

int orderConstants(const Operand& a, const Operand& b)
{
    if (a.number && b.number)
        return order(*a.number, *b.number);
    return orderTexts(a.text, b.text);
}

// SQL's LIKE: '%' matches any run of characters, '_' exactly one; case counts.
bool likeMatch(QStringView text, QStringView pattern)
{
    qsizetype t = 0;
    qsizetype p = 0;
    qsizetype starAt = -1; // pattern position after the last '%'
    qsizetype starText = 0; // text position that '%' is matching up to
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == QLatin1Char('%')) {
            starAt = ++p;
            starText = t;
        } else if (p < pattern.size() && (pattern[p] == QLatin1Char('_') || pattern[p] == text[t])) {
            ++p;
            ++t;
        } else if (starAt >= 0) {
            p = starAt;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('%'))
        ++p;
    return p == pattern.size();
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Tree

struct FilterExpression::Node {
    enum class Kind { And, Or, Not, Compare, Like, IsNull };
    Kind kind = Kind::Compare;
    std::vector<std::unique_ptr<Node>> children; // And, Or: the terms; Not: the one negated
    Operand left;
    Operand right;            // Compare: right side; Like: the pattern
    TokenKind comparison = TokenKind::Equal;
    bool negated = false;     // NOT LIKE, IS NOT NULL

    using Values = std::function<QVariant(int column)>;

    bool evaluate(const Values& value) const
    {
        switch (kind) {
        case Kind::And:
            for (const auto& child : children)
                if (!child->evaluate(value))
                    return false;
            return true;
        case Kind::Or:
            for (const auto& child : children)
                if (child->evaluate(value))
                    return true;
            return false;
        case Kind::Not:
            return !children.front()->evaluate(value);
        case Kind::IsNull:
            return isNull(fieldValue(left, value)) != negated;
        case Kind::Like:
            return like(value);
        case Kind::Compare:
            return compare(value);
        }
        return false;
    }

    void bind(const std::function<int(const QString&)>& resolve)
    {
        for (const auto& child : children)
            child->bind(resolve);
        for (Operand* operand : {&left, &right}) {
            if (!operand->isField)
                continue;
            operand->column = resolve(operand->text);
            if (operand->column < 0)
                fail(QStringLiteral("campo '%1' não existe").arg(operand->text), operand->position);
        }
    }

private:
    static QVariant fieldValue(const Operand& field, const Values& value)
    {
        return field.column >= 0 ? value(field.column) : QVariant();
    }

    bool like(const Values& value) const
    {
        bool matched = false;
        if (left.isField) {
            const QVariant v = fieldValue(left, value);
            if (isNull(v))
                return false; // null is neither LIKE nor NOT LIKE anything
            QString scratch;
            matched = likeMatch(textOf(v, scratch), right.text);
        } else {
            matched = likeMatch(left.text, right.text);
        }
        return matched != negated;
    }

    bool compare(const Values& value) const
    {
        int result = 0;
        if (left.isField && right.isField) {
            const QVariant a = fieldValue(left, value);
            const QVariant b = fieldValue(right, value);
            if (isNull(a) || isNull(b))
                return false;
            result = orderFields(a, b);
        } else if (left.isField || right.isField) {
            const QVariant v = fieldValue(left.isField ? left : right, value);
            if (isNull(v))
                return false;
            result = orderFieldAndConstant(v, left.isField ? right : left);
            if (!left.isField)
                result = -result;
        } else {
            result = orderConstants(left, right);
        }
        switch (comparison) {
        case TokenKind::Equal: return result == 0;
        case TokenKind::NotEqual: return result != 0;
        case TokenKind::Less: return result < 0;
        case TokenKind::LessEqual: return result <= 0;
        case TokenKind::Greater: return result > 0;
        case TokenKind::GreaterEqual: return result >= 0;
        default: return false;
        }
    }
};

// filter    := or
// or        := and { OR and }
// and       := unary { AND unary }
// unary     := NOT unary | '(' or ')' | condition
// condition := operand ( comparison operand | [NOT] LIKE text | IS [NOT] NULL )
// operand   := name | text | [ '-' | '+' ] number
class FilterExpression::Parser {
    using NodePtr = std::unique_ptr<Node>;
    using Kind = Node::Kind;

public:
    explicit Parser(const QString& text) : m_tokens(tokenize(text)) {}

    NodePtr parse()
    {
        NodePtr root = parseOr();
        if (current().kind == TokenKind::CloseParen)
            fail(QStringLiteral("')' sem o '(' correspondente"), current().position);
        if (current().kind != TokenKind::End)
            fail(QStringLiteral("texto inesperado '%1'").arg(current().text), current().position);
        return root;
    }

private:
    const Token& current() const { return m_tokens[m_next]; }
    const Token& take() { return m_tokens[m_next++]; }

    NodePtr parseOr() { return parseList(Kind::Or, QLatin1StringView("or")); }
    NodePtr parseAnd() { return parseList(Kind::And, QLatin1StringView("and")); }

    NodePtr parseList(Kind kind, QLatin1StringView keyword)
    {
        NodePtr first = kind == Kind::Or ? parseAnd() : parseUnary();
        if (!current().isKeyword(keyword))
            return first;
        auto list = std::make_unique<Node>();
        list->kind = kind;
        list->children.push_back(std::move(first));
        while (current().isKeyword(keyword)) {
            take();
            list->children.push_back(kind == Kind::Or ? parseAnd() : parseUnary());
        }
        return list;
    }

    NodePtr parseUnary()
    {
        if (++m_depth > maxNesting)
            fail(QStringLiteral("aninhamento excessivo"), current().position);
        NodePtr node;
        if (current().isKeyword(QLatin1StringView("not"))) {
            take();
            node = std::make_unique<Node>();
            node->kind = Kind::Not;
            node->children.push_back(parseUnary());
        } else if (current().kind == TokenKind::OpenParen) {
            const qsizetype open = take().position;
            node = parseOr();
            if (current().kind != TokenKind::CloseParen)
                fail(current().kind == TokenKind::End ? QStringLiteral("parêntese aberto sem fechamento")
                                                      : QStringLiteral("texto inesperado '%1'").arg(current().text),
                     current().kind == TokenKind::End ? open : current().position);
            take();
        } else {
            node = parseCondition();
        }
        --m_depth;
        return node;
    }

    NodePtr parseCondition()
    {
        auto node = std::make_unique<Node>();
        node->left = parseOperand(nullptr);
        const Token& op = current();
        if (op.isComparison()) {
            node->kind = Kind::Compare;
            node->comparison = take().kind;
            node->right = parseOperand(&op);
        } else if (op.isKeyword(QLatin1StringView("is"))) {
            take();
            node->kind = Kind::IsNull;
            if (current().isKeyword(QLatin1StringView("not"))) {
                take();
                node->negated = true;
            }
            if (!current().isKeyword(QLatin1StringView("null")))
                fail(QStringLiteral("esperado NULL depois de IS"), current().position);
            take();
            if (!node->left.isField)
                fail(QStringLiteral("IS NULL se aplica a um campo"), node->left.position);
        } else if (op.isKeyword(QLatin1StringView("like"))
                   || (op.isKeyword(QLatin1StringView("not")) && m_tokens[m_next + 1].isKeyword(QLatin1StringView("like")))) {
            node->kind = Kind::Like;
            node->negated = take().isKeyword(QLatin1StringView("not"));
            if (node->negated)
                take();
            if (current().kind != TokenKind::Text)
                fail(QStringLiteral("LIKE espera um texto entre aspas"), current().position);
            node->right = constant(current().text, false, current().position);
            take();
        } else if (op.kind == TokenKind::End) {
            fail(QStringLiteral("falta o operador depois de '%1'").arg(node->left.text), op.position);
        } else {
            fail(QStringLiteral("operador esperado em vez de '%1'").arg(op.text), op.position);
        }
        return node;
    }

    // after: the comparison the operand follows, for the message when it is missing.
    Operand parseOperand(const Token* after)
    {
        const Token& token = current();
        const auto missing = [&] {
            return after ? QStringLiteral("falta o valor depois de '%1'").arg(after->text)
                         : QStringLiteral("falta uma condição");
        };
        switch (token.kind) {
        case TokenKind::Name: {
            if (token.isKeyword(QLatin1StringView("null")))
                fail(QStringLiteral("compare com nulo usando IS NULL"), token.position);
            static const QLatin1StringView reserved[] = {QLatin1StringView("and"), QLatin1StringView("or"),
                                                         QLatin1StringView("not"), QLatin1StringView("like"),
                                                         QLatin1StringView("is")};
            for (const auto word : reserved)
                if (token.isKeyword(word))
                    fail(missing(), token.position);
            Operand field;
            field.isField = true;
            field.text = token.text;
            field.position = token.position;
            take();
            return field;
        }
        case TokenKind::Text:
            take();
            return constant(token.text, false, token.position);
        case TokenKind::Number:
            take();
            return constant(token.text, true, token.position);
        case TokenKind::Minus:
        case TokenKind::Plus: {
            const Token& sign = take();
            if (current().kind != TokenKind::Number)
                fail(QStringLiteral("número esperado depois de '%1'").arg(sign.text), current().position);
            const Token& number = take();
            const QString text = sign.kind == TokenKind::Minus ? QLatin1Char('-') + number.text : number.text;
            return constant(text, true, sign.position);
        }
        default:
            fail(missing(), token.position);
        }
    }

    std::vector<Token> m_tokens;
    std::size_t m_next = 0;
    int m_depth = 0;
};

FilterExpression::FilterExpression() = default;
FilterExpression::FilterExpression(FilterExpression&&) noexcept = default;
FilterExpression& FilterExpression::operator=(FilterExpression&&) noexcept = default;
FilterExpression::~FilterExpression() = default;

FilterExpression FilterExpression::parse(const QString& text)
{
    FilterExpression expression;
    // A blank filter lets every row through, as a dataset without a filter does.
    if (!text.trimmed().isEmpty())
        expression.m_root = Parser(text).parse();
    return expression;
}

void FilterExpression::bind(const std::function<int(const QString& fieldName)>& resolveField)
{
    if (m_root)
        m_root->bind(resolveField);
}

bool FilterExpression::evaluate(const std::function<QVariant(int column)>& value) const
{
    return !m_root || m_root->evaluate(value);
}

} // namespace framework
