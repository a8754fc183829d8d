#include "rtftext.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <cctype>
#include <cmath>

namespace framework {

namespace {

// Windows-1252 from 0x80 to 0x9F; 0 where the page has no character.
constexpr char16_t cp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

QChar fromCp1252(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0)
        return cp1252High[byte - 0x80] ? QChar(cp1252High[byte - 0x80]) : QChar(QChar::ReplacementCharacter);
    return QChar(char16_t(byte));
}

// ---- Writing ----------------------------------------------------------------------------

void appendText(QByteArray& out, const QString& text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\\' || u == u'{' || u == u'}') {
            out += '\\';
            out += char(u);
        } else if (u == u'\t') {
            out += "\\tab ";
        } else if (u == QChar::LineSeparator || u == u'\n') {
            out += "\\line ";
        } else if (u >= 0x20 && u < 0x80) {
            out += char(u);
        } else if (u >= 0xA0 && u <= 0xFF) {
            out += "\\'" + QByteArray::number(int(u), 16).rightJustified(2, '0');
        } else if (u >= 0x80) {
            out += "\\u" + QByteArray::number(qint16(u)) + '?';
        } // other control characters carry nothing
    }
}

class Writer {
public:
    explicit Writer(const QTextDocument& doc) : m_doc(doc), m_base(doc.defaultFont()) {}

    QByteArray write()
    {
        QByteArray body;
        for (QTextBlock block = m_doc.begin(); block.isValid(); block = block.next())
            paragraph(body, block);
        QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl";
        for (int i = 0; i < m_fonts.size(); ++i) {
            rtf += "{\\f" + QByteArray::number(i) + "\\fnil ";
            appendText(rtf, m_fonts[i]);
            rtf += ";}";
        }
        rtf += "}\n{\\colortbl ;";
        for (const QColor& color : m_colors)
            rtf += "\\red" + QByteArray::number(color.red()) + "\\green" + QByteArray::number(color.green()) + "\\blue"
                   + QByteArray::number(color.blue()) + ';';
        return rtf + "}\n" + body + "}";
    }

private:
    void paragraph(QByteArray& out, const QTextBlock& block)
    {
        out += "\\pard";
        if (block.textList())
            out += "{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnindent360{\\pntxtb\\'b7}}\\li720\\fi-360";
        const Qt::Alignment align = block.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        if (align & Qt::AlignHCenter)
            out += "\\qc";
        else if (align & Qt::AlignRight)
            out += "\\qr";
        else if (align & Qt::AlignJustify)
            out += "\\qj";
        else
            out += "\\ql";
        out += ' ';
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            out += '{' + characters(fragment.charFormat()) + ' ';
            appendText(out, fragment.text());
            out += '}';
        }
        out += "\\par\n";
    }

    QByteArray characters(const QTextCharFormat& f)
    {
        const QStringList families = f.fontFamilies().toStringList();
        const QString family = families.isEmpty() ? m_base.family() : families.first();
        const double points = f.fontPointSize() > 0 ? f.fontPointSize() : m_base.pointSizeF();
        QByteArray out = "\\f" + QByteArray::number(index(m_fonts, family)) + "\\fs"
                         + QByteArray::number(qRound(points * 2));
        if (f.fontWeight() >= QFont::DemiBold)
            out += "\\b";
        if (f.fontItalic())
            out += "\\i";
        if (f.fontUnderline())
            out += "\\ul";
        if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush)
            out += "\\cf" + QByteArray::number(index(m_colors, f.foreground().color().toRgb()) + 1);
        return out;
    }

    template <class T>
    static int index(QList<T>& list, const T& value)
    {
        const qsizetype at = list.indexOf(value);
        if (at >= 0)
            return int(at);
        list.append(value);
        return int(list.size() - 1);
    }

    const QTextDocument& m_doc;
    QFont m_base;
    QStringList m_fonts;
    QList<QColor> m_colors;
};

// ---- Reading ----------------------------------------------------------------------------

enum class Destination { Text, Skip, FontTable, ColorTable };

struct CharState {
    int font = -1;       // -1: the document's default font
    double points = 12;  // RTF's default size
    bool bold = false, italic = false, underline = false;
    int color = 0;       // index into the colour table; 0 is "automatic"
    bool operator==(const CharState&) const = default;
};

struct GroupState {
    CharState chars;
    Destination destination = Destination::Text;
    int unicodeSkip = 1; // \ucN: fallback characters that follow each \u
};

struct Paragraph {
    Qt::Alignment alignment = Qt::AlignLeft;
    bool bullet = false;
};

// Groups whose content is not document text.
bool skippedDestination(const QByteArray& word)
{
    static const QList<QByteArray> words = {
        "stylesheet", "info",       "pict",       "pntext",   "listtext",   "pn",          "header",          "footer",
        "headerl",    "headerr",    "headerf",    "footerl",  "footerr",     "footerf",         "listtable",
        "listoverridetable",        "object",     "fldinst",  "themedata",   "colorschememapping",
        "latentstyles",             "datastore",  "xmlnstbl", "rsidtbl",     "generator",       "filetbl",
        "revtbl",     "footnote",   "bkmkstart",  "bkmkend",  "nonshppict",  "shp",             "template"};
    return words.contains(word);
}

class Reader {
public:
    Reader(const QByteArray& rtf, QTextDocument& doc) : m_rtf(rtf), m_doc(doc), m_cursor(&doc) {}

    void read()
    {
        m_doc.clear();
        m_cursor = QTextCursor(&m_doc);
        const qsizetype n = m_rtf.size();
        for (m_pos = 0; m_pos < n; ++m_pos) {
            const char c = m_rtf[m_pos];
            if (c == '{') {
                m_stack.append(m_state);
                m_pendingSkip = 0;
            } else if (c == '}') {
                flush();
                if (m_stack.isEmpty())
                    break;
                m_state = m_stack.takeLast();
                m_pendingSkip = 0;
                if (m_stack.isEmpty())
                    break; // the document's closing brace; whatever follows is not RTF
            } else if (c == '\\') {
                control();
            } else if (c != '\r' && c != '\n') {
                character(fromCp1252(static_cast<unsigned char>(c)));
            }
        }
        flush();
        if (!m_breakPending)
            applyParagraph();
    }

private:
    void control()
    {
        const qsizetype n = m_rtf.size();
        if (m_pos + 1 >= n)
            return;
        const char next = m_rtf[m_pos + 1];
        if (!std::isalpha(static_cast<unsigned char>(next))) {
            m_pos += 1;
            switch (next) {
            case '\\':
            case '{':
            case '}':
                character(QChar(char16_t(next)));
                break;
            case '~':
                character(QChar(char16_t(0xA0)));
                break;
            case '_':
                character(QChar(char16_t(0x2011)));
                break;
            case '*':
                m_state.destination = Destination::Skip;
                break;
            case '\r':
            case '\n':
                word("par", 0, false);
                break;
            case '\'':
                if (m_pos + 2 < n) {
                    bool ok = false;
                    const int byte = m_rtf.mid(m_pos + 1, 2).toInt(&ok, 16);
                    m_pos += 2;
                    if (ok)
                        character(fromCp1252(static_cast<unsigned char>(byte)));
                }
                break;
            default: // \- optional hyphen, \: index entries and the like
                break;
            }
            return;
        }
        qsizetype j = m_pos + 1;
        while (j < n && std::isalpha(static_cast<unsigned char>(m_rtf[j])))
            ++j;
        const QByteArray name = m_rtf.mid(m_pos + 1, j - m_pos - 1);
        qsizetype k = j;
        if (k < n && (m_rtf[k] == '-' || std::isdigit(static_cast<unsigned char>(m_rtf[k])))) {
            ++k;
            while (k < n && std::isdigit(static_cast<unsigned char>(m_rtf[k])))
                ++k;
        }
        const bool hasParameter = k > j;
        const int parameter = hasParameter ? m_rtf.mid(j, k - j).toInt() : 0;
        if (k < n && m_rtf[k] == ' ')
            ++k;
        m_pos = k - 1;
        if (name == "bin") { // binary data inside a picture or object
            m_pos += qMax(0, parameter);
            return;
        }
        word(name, parameter, hasParameter);
    }

    void word(const QByteArray& name, int parameter, bool hasParameter)
    {
        const bool on = !hasParameter || parameter != 0;
        // Bullets are announced inside the skipped \pn group.
        if (name == "pnlvlblt" || (name == "ls" && m_state.destination == Destination::Text)) {
            m_paragraph.bullet = true;
            return;
        }
        if (name == "uc") {
            m_state.unicodeSkip = qMax(0, parameter);
            return;
        }
        if (name == "fonttbl") {
            m_state.destination = Destination::FontTable;
            return;
        }
        if (name == "colortbl") {
            m_state.destination = Destination::ColorTable;
            m_red = m_green = m_blue = -1;
            return;
        }
        if (skippedDestination(name)) {
            m_state.destination = Destination::Skip;
            return;
        }
        if (m_state.destination == Destination::FontTable) {
            if (name == "f") {
                m_fontId = parameter;
                m_fontName.clear();
            }
            return;
        }
        if (m_state.destination == Destination::ColorTable) {
            if (name == "red")
                m_red = parameter;
            else if (name == "green")
                m_green = parameter;
            else if (name == "blue")
                m_blue = parameter;
            return;
        }
        if (m_state.destination == Destination::Skip)
            return;

        CharState& ch = m_state.chars;
        if (name == "par" || name == "sect" || name == "page" || name == "row") {
            paragraphBreak();
        } else if (name == "line") {
            character(QChar(QChar::LineSeparator));
        } else if (name == "tab" || name == "cell") {
            character(QLatin1Char('\t'));
        } else if (name == "u") {
            character(QChar(char16_t(parameter < 0 ? parameter + 65536 : parameter)));
            m_pendingSkip = m_state.unicodeSkip;
            return;
        } else if (name == "pard") {
            m_paragraph = Paragraph{};
        } else if (name == "ql") {
            m_paragraph.alignment = Qt::AlignLeft;
        } else if (name == "qc") {
            m_paragraph.alignment = Qt::AlignHCenter;
        } else if (name == "qr") {
            m_paragraph.alignment = Qt::AlignRight;
        } else if (name == "qj") {
            m_paragraph.alignment = Qt::AlignJustify;
        } else if (name == "plain") {
            ch = CharState{};
        } else if (name == "f") {
            ch.font = parameter;
        } else if (name == "deff") {
            m_defaultFont = parameter;
        } else if (name == "fs") {
            if (parameter > 0)
                ch.points = parameter / 2.0;
        } else if (name == "b") {
            ch.bold = on;
        } else if (name == "i") {
            ch.italic = on;
        } else if (name == "ul") {
            ch.underline = on;
        } else if (name == "ulnone") {
            ch.underline = false;
        } else if (name == "cf") {
            ch.color = parameter;
        } else if (name == "emdash") {
            character(QChar(char16_t(0x2014)));
        } else if (name == "endash") {
            character(QChar(char16_t(0x2013)));
        } else if (name == "bullet") {
            character(QChar(char16_t(0x2022)));
        } else if (name == "lquote") {
            character(QChar(char16_t(0x2018)));
        } else if (name == "rquote") {
            character(QChar(char16_t(0x2019)));
        } else if (name == "ldblquote") {
            character(QChar(char16_t(0x201C)));
        } else if (name == "rdblquote") {
            character(QChar(char16_t(0x201D)));
        }
        m_pendingSkip = 0;
    }

    void character(QChar c)
    {
        if (m_pendingSkip > 0) { // the fallback of a \u just read
            --m_pendingSkip;
            return;
        }
        switch (m_state.destination) {
        case Destination::Skip:
            return;
        case Destination::FontTable:
            if (c == QLatin1Char(';'))
                m_fonts.insert(m_fontId, m_fontName.trimmed());
            else
                m_fontName += c;
            return;
        case Destination::ColorTable:
            if (c == QLatin1Char(';')) {
                m_colors.append(m_red < 0 && m_green < 0 && m_blue < 0
                                    ? QColor()
                                    : QColor(qMax(0, m_red), qMax(0, m_green), qMax(0, m_blue)));
                m_red = m_green = m_blue = -1;
            }
            return;
        case Destination::Text:
            break;
        }
        startParagraph();
        // Runs are cut where the character state changes; the format is built once per run.
        if (!m_pending.isEmpty() && !(m_state.chars == m_pendingChars))
            flush();
        if (m_pending.isEmpty())
            m_pendingChars = m_state.chars;
        m_pending += c;
    }

    QTextCharFormat charFormat(const CharState& ch) const
    {
        QTextCharFormat f;
        const QString family = m_fonts.value(ch.font < 0 ? m_defaultFont : ch.font);
        if (!family.isEmpty())
            f.setFontFamilies(QStringList{family});
        f.setFontPointSize(ch.points);
        f.setFontWeight(ch.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(ch.italic);
        f.setFontUnderline(ch.underline);
        if (const QColor color = m_colors.value(ch.color); ch.color > 0 && color.isValid())
            f.setForeground(color);
        return f;
    }

    void flush()
    {
        if (m_pending.isEmpty())
            return;
        m_cursor.insertText(m_pending, charFormat(m_pendingChars));
        m_pending.clear();
    }

    // A \par ends the paragraph; the next one starts only when something follows, so that the
    // customary \par at the end of a document does not leave an empty paragraph behind.
    void paragraphBreak()
    {
        startParagraph();
        flush();
        applyParagraph();
        m_breakPending = true;
    }

    void startParagraph()
    {
        if (!m_breakPending)
            return;
        m_breakPending = false;
        m_cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    }

    void applyParagraph()
    {
        QTextBlockFormat format = m_cursor.blockFormat();
        format.setAlignment(m_paragraph.alignment);
        m_cursor.setBlockFormat(format);
        if (!m_paragraph.bullet)
            return;
        const QTextBlock previous = m_cursor.block().previous();
        if (previous.isValid() && previous.textList())
            previous.textList()->add(m_cursor.block());
        else
            m_cursor.createList(QTextListFormat::ListDisc);
    }

    const QByteArray& m_rtf;
    QTextDocument& m_doc;
    QTextCursor m_cursor;
    qsizetype m_pos = 0;
    GroupState m_state;
    QList<GroupState> m_stack;
    Paragraph m_paragraph;
    bool m_breakPending = false;
    int m_pendingSkip = 0;
    QString m_pending;
    CharState m_pendingChars;
    QHash<int, QString> m_fonts;
    int m_defaultFont = 0;
    int m_fontId = 0;
    QString m_fontName;
    QList<QColor> m_colors;
    int m_red = -1, m_green = -1, m_blue = -1;
};

} // namespace

bool isRtf(const QByteArray& data)
{
    return data.trimmed().startsWith("{\\rtf");
}

QByteArray documentToRtf(const QTextDocument& document)
{
    return Writer(document).write();
}

void rtfToDocument(const QByteArray& rtf, QTextDocument& document)
{
    Reader(rtf, document).read();
}

QString rtfToPlainText(const QByteArray& rtf)
{
    QTextDocument document;
    rtfToDocument(rtf, document);
    return document.toPlainText();
}

QByteArray plainTextToRtf(const QString& text)
{
    QTextDocument document;
    document.setPlainText(text);
    return documentToRtf(document);
}

} // namespace framework
