#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace framework {

// Rich text as the preparation texts are stored and exchanged: RTF.
//
// The writer covers what the text-formatting bar produces: font name and size, bold, italic,
// underline, text colour, left/centre/right alignment, bulleted paragraphs and line breaks.
// Characters outside ASCII are written as \'xx (Windows-1252) or \uN. Reading back what the
// writer wrote gives the same document. Any other RTF is read for its text and the formatting
// above; the rest (styles, tables, pictures, fields' instructions) is skipped.
bool isRtf(const QByteArray& data);
QByteArray documentToRtf(const QTextDocument& document);
// Replaces the content of `document` with the RTF read from `rtf`.
void rtfToDocument(const QByteArray& rtf, QTextDocument& document);

QString rtfToPlainText(const QByteArray& rtf);
QByteArray plainTextToRtf(const QString& text);

} // namespace framework
