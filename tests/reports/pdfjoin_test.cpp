// Joining a long report's parts: parts written by another writer, whose objects sit compressed in
// object streams behind a cross-reference stream, are joined page by page with their own fonts.
#include "framework/abort.h"
#include "framework/forms/pdfjoin.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>

using namespace framework;

namespace {

const QStringList partNames{QStringLiteral("um"), QStringLiteral("dois"), QStringLiteral("três")};

// A part of two pages; each part's words differ, so each part's font holds other glyphs.
QByteArray paintedPart(int part)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(QStringLiteral("Receitas por produto"));
        QPainter painter(&writer);
        painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 14, part == 1 ? QFont::Bold : QFont::Normal));
        for (int page = 1; page <= 2; ++page) {
            if (page > 1)
                writer.newPage();
            painter.drawText(QPointF(200, 400), QStringLiteral("Parte %1, página %2").arg(partNames[part], page == 1 ? "ímpar" : "par"));
        }
    }
    return buffer.data();
}

QByteArray inObjectStreams(const QByteArray& pdf)
{
    QPDF in;
    in.processMemoryFile("parte", pdf.constData(), size_t(pdf.size()));
    QPDFWriter writer(in);
    writer.setOutputMemory();
    writer.setObjectStreamMode(qpdf_o_generate);
    writer.write();
    const std::shared_ptr<Buffer> out = writer.getBufferSharedPointer();
    return QByteArray(reinterpret_cast<const char*>(out->getBuffer()), qsizetype(out->getSize()));
}

QString run(const QString& program, const QStringList& args, QString* errors = nullptr)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(10000))
        return QStringLiteral("(%1 did not finish)").arg(program);
    if (errors)
        *errors = QString::fromUtf8(p.readAllStandardError());
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(PdfJoin, PartsInObjectStreamsKeepTheirPagesInOrderAndTheirFonts)
{
    QList<QByteArray> parts;
    for (int part = 0; part < 3; ++part) {
        parts << inObjectStreams(paintedPart(part));
        ASSERT_TRUE(parts.last().contains("/ObjStm"));
        ASSERT_FALSE(parts.last().contains("\nxref"));
    }
    QTemporaryDir dir;
    const QString pdf = dir.filePath("juntas.pdf");
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(joinPdfs(parts));
    file.close();

    QString errors;
    const QString info = run(QStringLiteral("pdfinfo"), {pdf}, &errors);
    EXPECT_EQ(errors, QString());
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages: +6\n")))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Title: +Receitas por produto\n")))) << info.toStdString();

    const QStringList pages = run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).split(u'\f', Qt::SkipEmptyParts);
    ASSERT_EQ(pages.size(), 6);
    for (int page = 0; page < 6; ++page)
        EXPECT_EQ(pages[page].trimmed(),
                  QStringLiteral("Parte %1, página %2").arg(partNames[page / 2], page % 2 == 0 ? "ímpar" : "par"));

    // One font per part, each with its own glyphs.
    const QStringList fonts = run(QStringLiteral("pdffonts"), {pdf}).split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(fonts.size(), 2 + 3) << fonts.join(u'\n').toStdString();
}

TEST(PdfJoin, ADamagedPartIsRefusedByItsNumber)
{
    QByteArray broken = inObjectStreams(paintedPart(1));
    broken.replace("/ObjStm", "/ObjStx");
    try {
        joinPdfs({inObjectStreams(paintedPart(0)), broken, paintedPart(2)});
        FAIL() << "joined";
    } catch (const Error& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Não foi possível juntar as partes do PDF (parte 2:"))) << e.message().toStdString();
    }
}

} // namespace
