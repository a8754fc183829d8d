#include "rtftext.h"

#include <QList>
#include <cctype>
#include <cstdlib>

namespace framework {

bool isRtf(const QByteArray& data)
{
    return data.trimmed().startsWith("{\\rtf");
}

QString rtfToPlainText(const QByteArray& rtf)
{
    // Groups whose text is not part of the document (tables, pictures, information).
    static const QList<QByteArray> skipped = {"fonttbl", "colortbl", "stylesheet", "info", "pict", "*"};
    QString text;
    int depth = 0;
    int skipDepth = -1; // depth at which an ignored group started
    int unicodeSkip = 0; // characters that follow a \u as its fallback
    const qsizetype n = rtf.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = rtf[i];
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (depth == skipDepth)
                skipDepth = -1;
            --depth;
        } else if (c == '\\' && i + 1 < n) {
            const char next = rtf[i + 1];
            if (next == '\\' || next == '{' || next == '}') {
                if (skipDepth < 0)
                    text += QLatin1Char(next);
                ++i;
                continue;
            }
            if (next == '\'' && i + 3 < n) { // \'hh: a character of the Windows-1252 page
                const char hex[3] = {rtf[i + 2], rtf[i + 3], 0};
                if (skipDepth >= 0)
                    ; // inside an ignored group
                else if (unicodeSkip > 0)
                    --unicodeSkip;
                else
                    text += QString::fromLatin1(QByteArray(1, char(std::strtol(hex, nullptr, 16))));
                i += 3;
                continue;
            }
            qsizetype j = i + 1;
            while (j < n && std::isalpha(static_cast<unsigned char>(rtf[j])))
                ++j;
            const QByteArray word = rtf.mid(i + 1, j - i - 1);
            qsizetype k = j;
            if (k < n && (rtf[k] == '-' || std::isdigit(static_cast<unsigned char>(rtf[k])))) {
                ++k;
                while (k < n && std::isdigit(static_cast<unsigned char>(rtf[k])))
                    ++k;
            }
            const int parameter = rtf.mid(j, k - j).toInt();
            if (k < n && rtf[k] == ' ')
                ++k;
            if (word.isEmpty() && next == '*')
                k = i + 2;
            if (skipped.contains(word.isEmpty() ? QByteArray(1, next) : word) && skipDepth < 0)
                skipDepth = depth;
            if (skipDepth < 0) {
                if (word == "par" || word == "line")
                    text += QLatin1Char('\n');
                else if (word == "tab")
                    text += QLatin1Char('\t');
                else if (word == "u") {
                    text += QChar(char16_t(parameter < 0 ? parameter + 65536 : parameter));
                    unicodeSkip = 1;
                }
            }
            i = k - 1;
        } else if (skipDepth < 0 && c != '\r' && c != '\n') {
            if (unicodeSkip > 0)
                --unicodeSkip;
            else
                text += QLatin1Char(c);
        }
    }
    return text.trimmed();
}

QByteArray plainTextToRtf(const QString& text)
{
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ";
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (c == QLatin1Char('\n'))
            rtf += "\\par\n";
        else if (c == QLatin1Char('\\') || c == QLatin1Char('{') || c == QLatin1Char('}'))
            rtf += '\\' + QByteArray(1, char(u));
        else if (u == '\t')
            rtf += "\\tab ";
        else if (u < 0x80)
            rtf += char(u);
        else
            rtf += "\\u" + QByteArray::number(qint16(u)) + "?";
    }
    return rtf + "}";
}

} // namespace framework
