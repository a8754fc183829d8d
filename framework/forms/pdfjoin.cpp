#include "pdfjoin.h"

#include "framework/abort.h"

#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace framework {

namespace {

[[noreturn]] void unexpected(int part, const char* what)
{
    throw Error(QStringLiteral("Não foi possível juntar as partes do PDF (parte %1: %2).").arg(part + 1).arg(QLatin1String(what)));
}

// An object reference or an object's opening line, never the digits that end a name like /F7.
const QRegularExpression& referencePattern()
{
    static const QRegularExpression pattern(QStringLiteral(R"((?<![\w/.+\-])(\d+)(\s+0\s+)(R|obj)\b)"));
    return pattern;
}

int capturedNumber(const QByteArray& text, const char* pattern)
{
    const QRegularExpressionMatch match = QRegularExpression(QLatin1String(pattern)).match(QLatin1String(text));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

struct Part {
    QByteArray header;              // what comes before the first object
    QMap<int, QByteArray> objects;  // by number, each from "n 0 obj" to its end
    int size = 0;                   // the highest object number plus one
    int root = -1, info = -1, pages = -1;
    QList<int> kids;                // the page objects in order
    QSet<int> isKid;
};

// Reads the cross-reference table and cuts the file into its objects.
Part parse(const QByteArray& pdf, int index)
{
    Part part;
    const qsizetype startxref = pdf.lastIndexOf("startxref");
    if (startxref < 0)
        unexpected(index, "sem startxref");
    const qsizetype xref = pdf.mid(startxref + 9, 24).trimmed().split('\n').value(0).trimmed().toLongLong();
    if (xref <= 0 || xref >= startxref || !pdf.mid(xref).startsWith("xref"))
        unexpected(index, "tabela de referências");
    const qsizetype trailer = pdf.indexOf("trailer", xref);
    if (trailer < 0)
        unexpected(index, "sem trailer");

    const QList<QByteArray> tokens = pdf.mid(xref + 4, trailer - xref - 4).simplified().split(' ');
    QMap<qsizetype, int> byOffset; // object numbers in file order
    for (qsizetype t = 0; t + 1 < tokens.size();) {
        const int first = tokens[t].toInt(), count = tokens[t + 1].toInt();
        t += 2;
        for (int n = first; n < first + count; ++n, t += 3) {
            if (t + 2 >= tokens.size())
                unexpected(index, "tabela de referências incompleta");
            if (tokens[t + 2] == "n")
                byOffset.insert(tokens[t].toLongLong(), n);
        }
    }
    for (auto it = byOffset.cbegin(); it != byOffset.cend(); ++it) {
        const auto next = std::next(it);
        const qsizetype end = next == byOffset.cend() ? xref : next.key();
        const QByteArray object = pdf.mid(it.key(), end - it.key());
        if (!object.startsWith(QByteArray::number(it.value()) + " 0 obj"))
            unexpected(index, "objeto fora do lugar");
        part.objects.insert(it.value(), object);
    }
    if (byOffset.isEmpty())
        unexpected(index, "sem objetos");
    part.header = pdf.left(byOffset.firstKey());

    const QByteArray trailerText = pdf.mid(trailer, startxref - trailer);
    part.size = capturedNumber(trailerText, R"(/Size\s+(\d+))");
    part.root = capturedNumber(trailerText, R"(/Root\s+(\d+)\s+0\s+R)");
    part.info = capturedNumber(trailerText, R"(/Info\s+(\d+)\s+0\s+R)");
    part.pages = capturedNumber(part.objects.value(part.root), R"(/Pages\s+(\d+)\s+0\s+R)");
    if (part.size <= 0 || part.pages < 0)
        unexpected(index, "sem catálogo de páginas");
    const QRegularExpressionMatch kids = QRegularExpression(QStringLiteral(R"(/Kids\s*\[([^\]]*)\])"))
                                             .match(QLatin1String(part.objects.value(part.pages)));
    if (!kids.hasMatch())
        unexpected(index, "sem lista de páginas");
    for (auto it = referencePattern().globalMatch(kids.captured(1)); it.hasNext();)
        part.kids << it.next().captured(1).toInt();
    part.isKid = QSet<int>(part.kids.cbegin(), part.kids.cend());
    for (int kid : std::as_const(part.kids))
        if (part.objects.value(kid).contains("/Type /Pages"))
            unexpected(index, "páginas aninhadas");
    return part;
}

// Where an object's dictionary ends: before its stream data, if it has any.
qsizetype headEnd(const QByteArray& object)
{
    for (qsizetype at = object.indexOf("stream"); at >= 0; at = object.indexOf("stream", at + 1)) {
        qsizetype before = at;
        while (before > 0 && QByteArrayView(" \r\n").contains(object[before - 1]))
            --before;
        const qsizetype after = at + 6;
        if (before >= 2 && object.mid(before - 2, 2) == ">>" && after < object.size()
            && (object[after] == '\n' || object[after] == '\r'))
            return object.indexOf('\n', after) + 1;
    }
    return object.size();
}

// The object with every reference moved by shift; stream data is left as it is.
QByteArray renumbered(const QByteArray& object, int shift)
{
    const qsizetype end = headEnd(object);
    const QString head = QString::fromLatin1(object.left(end));
    QString moved;
    qsizetype at = 0;
    for (auto it = referencePattern().globalMatch(head); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        moved += QStringView(head).mid(at, match.capturedStart() - at);
        moved += QString::number(match.captured(1).toInt() + shift) + match.captured(2) + match.captured(3);
        at = match.capturedEnd();
    }
    moved += QStringView(head).mid(at);
    return moved.toLatin1() + object.mid(end);
}

QByteArray emptyObject(int number)
{
    return QByteArray::number(number) + " 0 obj\nnull\nendobj\n";
}

QByteArray reference(int number)
{
    return QByteArray::number(number) + " 0 R";
}

} // namespace

QByteArray joinPdfs(const QList<QByteArray>& pdfs)
{
    if (pdfs.size() <= 1)
        return pdfs.value(0);
    QList<Part> parts;
    for (qsizetype i = 0; i < pdfs.size(); ++i)
        parts << parse(pdfs[i], int(i));

    // Later parts' objects follow the first's: part k's object n becomes n + shift[k].
    QList<int> shift{0};
    for (qsizetype i = 1; i < parts.size(); ++i)
        shift << shift.last() + parts[i - 1].size - 1;
    const int size = shift.last() + parts.last().size;
    const Part& first = parts.first();

    QByteArray kids;
    for (qsizetype i = 0; i < parts.size(); ++i)
        for (int kid : std::as_const(parts[i].kids))
            kids += reference(kid + shift[i]) + '\n';
    const int pageCount = int(std::count(kids.cbegin(), kids.cend(), '\n'));

    QByteArray out = first.header;
    QList<qsizetype> offsets(size, -1);
    const auto append = [&](int number, const QByteArray& object) {
        offsets[number] = out.size();
        out += object;
        if (!out.endsWith('\n'))
            out += '\n';
    };
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const Part& part = parts[i];
        for (auto it = part.objects.cbegin(); it != part.objects.cend(); ++it) {
            const int number = it.key() + shift[i];
            if (i == 0 && it.key() == part.pages) {
                QString pages = QString::fromLatin1(it.value());
                pages.replace(QRegularExpression(QStringLiteral(R"(/Kids\s*\[[^\]]*\])")),
                              QStringLiteral("/Kids\n[\n%1]").arg(QString::fromLatin1(kids)));
                pages.replace(QRegularExpression(QStringLiteral(R"(/Count\s+\d+)")), QStringLiteral("/Count %1").arg(pageCount));
                append(number, pages.toLatin1());
            } else if (i > 0 && (it.key() == part.root || it.key() == part.pages || it.key() == part.info)) {
                append(number, emptyObject(number));
            } else if (i > 0 && part.isKid.contains(it.key())) {
                QString page = QString::fromLatin1(renumbered(it.value(), shift[i]));
                page.replace(QRegularExpression(QStringLiteral(R"(/Parent\s+\d+\s+0\s+R)")),
                             QStringLiteral("/Parent %1").arg(QLatin1String(reference(first.pages))));
                append(number, page.toLatin1());
            } else {
                append(number, i == 0 ? it.value() : renumbered(it.value(), shift[i]));
            }
        }
    }

    const qsizetype xref = out.size();
    out += "xref\n0 " + QByteArray::number(size) + "\n0000000000 65535 f \n";
    for (int n = 1; n < size; ++n)
        out += offsets[n] < 0 ? QByteArray("0000000000 65535 f \n")
                              : QByteArray::number(offsets[n]).rightJustified(10, '0') + " 00000 n \n";
    out += "trailer\n<<\n/Size " + QByteArray::number(size) + '\n';
    if (first.info > 0)
        out += "/Info " + reference(first.info) + '\n';
    out += "/Root " + reference(first.root) + "\n>>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return out;
}

} // namespace framework
