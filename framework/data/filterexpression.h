#pragma once

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

namespace framework {

// The filter language of datasets: comparisons (= <> < > <= >=) of fields with quoted texts
// (quotes doubled inside), numbers or other fields; LIKE with % (any run) and _ (one character);
// IS NULL / IS NOT NULL; and, or, not; parentheses. Keywords and field names ignore case.
// A comparison with a null value is false (only IS NULL matches it).
class FilterExpression {
public:
    // Throws framework::Error with a message in Portuguese naming the problem and its position.
    static FilterExpression parse(const QString& text);

    FilterExpression(FilterExpression&&) noexcept;
    FilterExpression& operator=(FilterExpression&&) noexcept;
    ~FilterExpression();

    // Resolves field names to column numbers once, before evaluating many rows. The resolver
    // returns -1 for an unknown name, which throws framework::Error.
    void bind(const std::function<int(const QString& fieldName)>& resolveField);

    // Evaluates for one row; value(column) gives that row's value (invalid QVariant = null).
    bool evaluate(const std::function<QVariant(int column)>& value) const;

private:
    struct Node;
    class Parser;
    FilterExpression();
    std::unique_ptr<Node> m_root;
};

} // namespace framework
