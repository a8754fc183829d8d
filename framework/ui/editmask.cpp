#include "editmask.h"

namespace framework {

namespace {

// Letters Qt reads as mask characters; a literal of these needs a backslash.
bool isQtMaskLetter(QChar c)
{
    return QStringLiteral("AaNnXx90Dd#HhBb><!\\[]{}").contains(c);
}

QChar qtLetterOf(QChar c)
{
    switch (c.unicode()) {
    case u'0': return QLatin1Char('9');
    case u'9': return QLatin1Char('0');
    case u'#': return QLatin1Char('#');
    case u'L': return QLatin1Char('A');
    case u'l': return QLatin1Char('a');
    case u'A': return QLatin1Char('N');
    case u'a': return QLatin1Char('n');
    case u'C': return QLatin1Char('X');
    case u'c': return QLatin1Char('x');
    default: return QChar();
    }
}

} // namespace

EditMask::EditMask(const QString& mask) : m_source(mask)
{
    // "mask;save;blank": the blank is the character after the second ';' (it may be a blank).
    QString body = mask;
    const qsizetype first = mask.indexOf(QLatin1Char(';'));
    if (first >= 0) {
        body = mask.left(first);
        const QString rest = mask.mid(first + 1);
        const qsizetype second = rest.indexOf(QLatin1Char(';'));
        const QString save = second >= 0 ? rest.left(second) : rest;
        m_saveLiterals = save.trimmed() != QLatin1String("0");
        if (second >= 0 && second + 1 < rest.size())
            m_blank = rest[second + 1];
    }

    for (qsizetype i = 0; i < body.size(); ++i) {
        const QChar c = body[i];
        if (c == QLatin1Char('!')) {
            m_alignRight = true;
        } else if (c == QLatin1Char('<') && i + 1 < body.size() && body[i + 1] == QLatin1Char('>')) {
            m_qtMask += QLatin1Char('!');
            ++i;
        } else if (c == QLatin1Char('>') || c == QLatin1Char('<')) {
            m_qtMask += c;
        } else if (const QChar letter = qtLetterOf(c); !letter.isNull()) {
            m_qtMask += letter;
            m_slots.append({false, letter});
        } else {
            const QChar literal = (c == QLatin1Char('\\') && i + 1 < body.size()) ? body[++i] : c;
            if (isQtMaskLetter(literal))
                m_qtMask += QLatin1Char('\\');
            m_qtMask += literal;
            m_slots.append({true, literal});
        }
    }
}

QString EditMask::qtInputMask() const
{
    if (isEmpty())
        return {};
    return m_qtMask + QLatin1Char(';') + m_blank;
}

int EditMask::endOfInput(const QString& displayText) const
{
    int end = 0;
    for (int i = 0; i < m_slots.size() && i < displayText.size(); ++i)
        if (!m_slots[i].literal && displayText[i] != m_blank && !displayText[i].isSpace())
            end = i + 1;
    return end;
}

QString EditMask::valueOf(const QString& displayText) const
{
    if (isEmpty())
        return displayText;
    QString value;
    bool anyInput = false;
    for (int i = 0; i < m_slots.size(); ++i) {
        const QChar c = i < displayText.size() ? displayText[i] : m_blank;
        if (m_slots[i].literal) {
            if (m_saveLiterals)
                value += m_slots[i].character;
        } else if (c == m_blank || c.isSpace()) {
            value += QLatin1Char(' ');
        } else {
            value += c;
            anyInput = true;
        }
    }
    if (!anyInput)
        return {};
    qsizetype from = 0, to = value.size();
    if (m_alignRight) {
        while (from < to && value[from] == QLatin1Char(' '))
            ++from;
    } else {
        while (to > from && value[to - 1] == QLatin1Char(' '))
            --to;
    }
    return value.mid(from, to - from);
}

QString EditMask::displayOf(const QString& value) const
{
    if (isEmpty())
        return value;
    // Bring the value to one character per stored position, aligned as the mask says.
    qsizetype stored = 0;
    for (const Slot& slot : m_slots)
        stored += (!slot.literal || m_saveLiterals) ? 1 : 0;
    QString text = value.left(stored);
    text = m_alignRight ? text.rightJustified(stored, QLatin1Char(' ')) : text.leftJustified(stored, QLatin1Char(' '));

    QString display;
    qsizetype next = 0;
    for (const Slot& slot : m_slots) {
        if (slot.literal) {
            display += slot.character;
            next += m_saveLiterals ? 1 : 0;
            continue;
        }
        const QChar c = text[next++];
        display += c == QLatin1Char(' ') ? m_blank : c;
    }
    return display;
}

} // namespace framework
