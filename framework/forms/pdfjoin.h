#pragma once

#include <QByteArray>
#include <QList>

namespace framework {

// Joins PDF files into one whose pages are the parts' pages in order: a long report is painted in
// parts on several cores and saved as one file.
//
// The first part keeps its catalog and document information; every page brings the fonts and
// images its part gave it. A part that cannot be read whole throws framework::Error; a single
// part is returned as it is.
QByteArray joinPdfs(const QList<QByteArray>& parts);

} // namespace framework
