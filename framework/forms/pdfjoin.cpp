#include "pdfjoin.h"

#include "framework/abort.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <exception>
#include <memory>
#include <vector>

namespace framework {

namespace {

[[noreturn]] void refuse(const QString& where, const std::exception& e)
{
    // The library's own faults already name the part; the detail alone says what is wrong.
    const auto* fault = dynamic_cast<const QPDFExc*>(&e);
    const std::string detail = fault ? fault->getMessageDetail() : e.what();
    throw Error(QStringLiteral("Não foi possível juntar as partes do PDF (%1: %2).").arg(where, QString::fromStdString(detail)));
}

QString partName(qsizetype index)
{
    return QStringLiteral("parte %1").arg(index + 1);
}

// A part is read strictly: a damaged one is refused rather than guessed at, and the library's
// warnings stay off the console. Its objects are read when first used, so faults inside it may
// only show while its pages are copied or written.
std::unique_ptr<QPDF> open(const QByteArray& pdf, qsizetype index)
{
    auto part = std::make_unique<QPDF>();
    part->setSuppressWarnings(true);
    part->setAttemptRecovery(false);
    try {
        part->processMemoryFile(partName(index).toUtf8().constData(), pdf.constData(), size_t(pdf.size()));
    } catch (const std::exception& e) {
        refuse(partName(index), e);
    }
    return part;
}

} // namespace

QByteArray joinPdfs(const QList<QByteArray>& pdfs)
{
    if (pdfs.size() <= 1)
        return pdfs.value(0);

    // The later parts' pages are appended to the first part's page list. A page copied from a part
    // brings the objects it uses, shared by that part's pages and copied once; their stream data
    // is read from the part while writing, so every part stays open until then.
    std::vector<std::unique_ptr<QPDF>> parts;
    for (qsizetype i = 0; i < pdfs.size(); ++i)
        parts.push_back(open(pdfs[i], i));
    QPDF& whole = *parts.front();
    QPDFPageDocumentHelper pages(whole);
    for (size_t i = 1; i < parts.size(); ++i) {
        try {
            for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(*parts[i]).getAllPages())
                pages.addPage(page, false);
        } catch (const std::exception& e) {
            refuse(partName(qsizetype(i)), e);
        }
    }

    std::shared_ptr<Buffer> joined;
    try {
        QPDFWriter writer(whole);
        writer.setOutputMemory();
        // The parts' streams are already compressed: copied as they are rather than decoded and
        // compressed again, which would add much of the painting's time.
        writer.setDecodeLevel(qpdf_dl_none);
        writer.write();
        joined = writer.getBufferSharedPointer();
    } catch (const std::exception& e) {
        refuse(QStringLiteral("ao gravar"), e);
    }
    // Even reading strictly, some faults (an object missing from its object stream) are only
    // warned about and read as nothing: a page would come out blank.
    for (size_t i = 0; i < parts.size(); ++i)
        if (parts[i]->anyWarnings())
            refuse(partName(qsizetype(i)), parts[i]->getWarnings().front());
    return QByteArray(reinterpret_cast<const char*>(joined->getBuffer()), qsizetype(joined->getSize()));
}

} // namespace framework
