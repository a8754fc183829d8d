#pragma once

#include <QByteArray>
#include <QList>

namespace framework {

// Joins PDF files written by Qt's PDF writer into one whose pages are the parts' pages in order:
// a long report is painted in parts on several cores and saved as one file.
//
// It reads exactly what that writer produces (one cross-reference table, a flat page list,
// objects numbered from 1) and throws framework::Error on anything else. Each part keeps its own
// fonts; the parts' own catalogs and page lists become empty objects.
QByteArray joinPdfs(const QList<QByteArray>& parts);

} // namespace framework
