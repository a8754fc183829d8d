#pragma once

#include <QByteArray>
#include <QString>

namespace framework {

// Rich-text files of the preparation texts: reading keeps the text and its paragraphs (the
// formatting is dropped), writing produces a plain RTF document with one paragraph per line.
bool isRtf(const QByteArray& data);
QString rtfToPlainText(const QByteArray& rtf);
QByteArray plainTextToRtf(const QString& text);

} // namespace framework
