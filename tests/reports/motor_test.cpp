// The report engine on a small table: a definition with a group and totals, its PDF read back
// with pdftotext, its CSV, a missing definition and faults in a definition.
#include "framework/abort.h"
#include "framework/forms/filereportengine.h"
#include "framework/forms/pdfjoin.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace framework;

namespace {

const char* const definicao = R"(# Vendas por grupo
[relatorio]
titulo = Vendas do Mês
filtro = A partir de {P_MIN}
filtro = Loja: {P_LOJA}
total = Total geral

[consulta]
SELECT GRUPO, ITEM, QTD FROM VENDA WHERE QTD >= :P_MIN ORDER BY GRUPO, ITEM

[grupo]
campo = GRUPO
cabecalho = Grupo {GRUPO}
total = Total do grupo

[coluna]
campo = ITEM
titulo = Item
largura = 20

[coluna]
campo = QTD
titulo = Quantidade ({P_UNIDADE})
largura = 10
alinhamento = direita
formato = #,##0.00
soma = sim
)";

class ReportEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("relatorio_teste"));
        db.setDatabaseName(QStringLiteral(":memory:"));
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec("CREATE TABLE VENDA (GRUPO VARCHAR(1), ITEM VARCHAR(20), QTD DOUBLE PRECISION)"));
        ASSERT_TRUE(q.exec("INSERT INTO VENDA VALUES ('A', 'arroz', 1.5), ('A', 'feijão', 2), ('B', 'leite', 1234.567), "
                           "('B', 'ovos; caixa', 0.25), ('C', 'sal', 0.1)"));
        write(QStringLiteral("TST00101.QR2"), definicao);
        engine = std::make_unique<FileReportEngine>(dir.path(), QStringLiteral("relatorio_teste"));
    }

    void TearDown() override
    {
        engine.reset();
        db.close();
        db = {};
        QSqlDatabase::removeDatabase(QStringLiteral("relatorio_teste"));
    }

    void write(const QString& name, const QByteArray& text)
    {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

    // Items in three groups after the five above, each of quantity 1.
    void addItems(int count)
    {
        QSqlQuery q(db);
        db.transaction();
        for (int i = 0; i < count; ++i)
            q.exec(QStringLiteral("INSERT INTO VENDA VALUES ('%1', 'item %2', 1)").arg(QChar('D' + i * 3 / count)).arg(i, 4, 10, QChar('0')));
        db.commit();
    }

    ReportLayout layout() const { return engine->layouts(QStringLiteral("TST001")).value(0); }

    static QString pdfText(const QString& file)
    {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
        if (!p.waitForFinished(10000) || p.exitCode() != 0)
            return QStringLiteral("(pdftotext failed: %1)").arg(QString::fromUtf8(p.readAllStandardError()));
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    static QString describe(const ReportLine& line)
    {
        static const char* kinds[] = {"H", "D", "T", "G"};
        return QStringLiteral("%1 %2%3").arg(QLatin1String(kinds[int(line.kind)]), line.text,
                                             line.cells.isEmpty() ? QString() : u'|' + line.cells.join(u'|'));
    }

    QTemporaryDir dir;
    QSqlDatabase db;
    std::unique_ptr<FileReportEngine> engine;
};

TEST_F(ReportEngineTest, GroupsGiveHeadingsRowsAndTotalsWithTheFormsValues)
{
    const ReportDefinition definition = ReportDefinition::load(dir.filePath("TST00101.QR2"));
    EXPECT_EQ(definition.parameters(), QStringList{"P_MIN"});
    const ReportDocument doc = ReportDocument::build(definition, db, {{"P_MIN", 0.2}, {"P_UNIDADE", "kg"}});

    QStringList lines;
    for (const ReportLine& line : doc.lines())
        lines << describe(line);
    EXPECT_EQ(lines, (QStringList{"H Grupo A", "D |arroz|1,50", "D |feijão|2,00", "T Total do grupo||3,50",
                                  "H Grupo B", "D |leite|1.234,57", "D |ovos; caixa|0,25", "T Total do grupo||1.234,82",
                                  "G Total geral||1.238,32"}));
    EXPECT_EQ(doc.rowCount(), 4);
    // Titles take the form's values; a filter whose values are all empty is left out.
    EXPECT_EQ(doc.columnTitles(), (QStringList{"Item", "Quantidade (kg)"}));
    EXPECT_EQ(doc.filters(), QStringList{"A partir de 0.2"});
}

TEST_F(ReportEngineTest, NoRowsGiveNoTotals)
{
    const ReportDocument doc =
        ReportDocument::build(ReportDefinition::load(dir.filePath("TST00101.QR2")), db, {{"P_MIN", 99999}});
    EXPECT_TRUE(doc.lines().isEmpty());
}

TEST_F(ReportEngineTest, SavedPdfHoldsTitleFiltersRowsTotalsAndPageNumbers)
{
    const QString pdf = dir.filePath("vendas.pdf");
    engine->saveAs(layout(), {{"P_MIN", 0}, {"P_UNIDADE", "kg"}}, pdf);
    const QString text = pdfText(pdf);
    for (const char* expected : {"Vendas do Mês", "A partir de 0", "Quantidade (kg)", "Grupo A", "feijão", "1.234,57",
                                 "Total do grupo", "Total geral", "1.238,42", "Página 1 de 1", "Emitido em"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();
}

TEST_F(ReportEngineTest, LongReportsRunOverPagesNumberedOfTheTotal)
{
    QSqlQuery q(db);
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO VENDA VALUES ('D', 'item %1', 1)").arg(i, 3, 10, QChar('0'))));
    const QString pdf = dir.filePath("longo.pdf");
    engine->saveAs(layout(), {{"P_MIN", 0}}, pdf);
    const QString text = pdfText(pdf);
    const int pages = int(text.count(QStringLiteral("Vendas do Mês"))) / 2; // in the header and in the foot
    ASSERT_GT(pages, 1);
    EXPECT_TRUE(text.contains(QStringLiteral("Página %1 de %1").arg(pages))) << text.right(400).toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("item 299")));
}

// A long report is painted in parts on several cores and saved as one file: a reader finds every
// page once, in order, and no fault in the file.
TEST_F(ReportEngineTest, ManyPagesAreSavedAsOneWholeFileInOrder)
{
    addItems(3000);
    const QString pdf = dir.filePath("muitas.pdf");
    engine->saveAs(layout(), {{"P_MIN", 0}}, pdf);

    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    ASSERT_TRUE(info.waitForFinished(10000));
    EXPECT_EQ(info.readAllStandardError(), QByteArray());
    const QString text = pdfText(pdf);
    const QStringList pages = text.split(u'\f', Qt::SkipEmptyParts);
    ASSERT_GT(pages.size(), 30);
    EXPECT_TRUE(QString::fromUtf8(info.readAllStandardOutput()).contains(QRegularExpression(QStringLiteral("Pages: +%1\n").arg(pages.size()))));
    for (int page = 0; page < pages.size(); ++page)
        ASSERT_TRUE(pages[page].contains(QStringLiteral("Página %1 de %2").arg(page + 1).arg(pages.size()))) << page;
    EXPECT_TRUE(pages.first().contains(QStringLiteral("item 0000")));
    EXPECT_TRUE(pages.last().contains(QStringLiteral("item 2999")));
    EXPECT_TRUE(pages.last().contains(QStringLiteral("4.238,42"))); // the grand total, with the first rows'
}

// Cancelling a save, or a save that fails, keeps the file that was there.
TEST_F(ReportEngineTest, CancelledSaveKeepsTheFileThatWasThere)
{
    addItems(3000);
    const QString pdf = dir.filePath("anterior.pdf");
    write(QStringLiteral("anterior.pdf"), "o relatório de ontem");
    const ReportDocument doc =
        ReportDocument::build(ReportDefinition::load(dir.filePath("TST00101.QR2")), db, {{"P_MIN", 0}});
    EXPECT_THROW(FileReportEngine::writePdf(doc, pdf, [](int) { return false; }), Abort);
    QFile kept(pdf);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("o relatório de ontem"));
    EXPECT_THROW(FileReportEngine::writePdf(doc, dir.filePath("nao/existe.pdf")), Error);
}

// Cancelling a print while its pages are being painted prints none of them.
TEST_F(ReportEngineTest, CancelledPrintPrintsNoPage)
{
    addItems(3000);
    const QString printed = dir.filePath("impressora.pdf");
    engine->setPrintFile(printed);
    engine->print(layout(), {{"P_MIN", 0}});
    EXPECT_TRUE(pdfText(printed).contains(QStringLiteral("item 2999")));
    ASSERT_TRUE(QFile::remove(printed));

    // The user presses Cancelar once the progress window shows the pages being painted.
    QTimer cancel;
    QObject::connect(&cancel, &QTimer::timeout, [] {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* progress = qobject_cast<QProgressDialog*>(window);
                progress && progress->labelText().startsWith(QStringLiteral("Montando páginas")))
                progress->cancel();
    });
    cancel.start(0);
    EXPECT_THROW(engine->print(layout(), {{"P_MIN", 0}}), Abort);
    EXPECT_FALSE(QFile::exists(printed));
}

TEST(PdfJoin, ASinglePartIsKeptAndANonPdfPartIsRefused)
{
    EXPECT_EQ(joinPdfs({"%PDF-1.4 só uma parte"}), QByteArray("%PDF-1.4 só uma parte"));
    EXPECT_THROW(joinPdfs({"%PDF-1.4", "não é um PDF"}), Error);
}

// Pages are laid out glyph by glyph: a text wider than its column ends in "…" before the next
// column, which keeps its own value on the same line.
TEST_F(ReportEngineTest, TextWiderThanItsColumnIsCutWithAnEllipsis)
{
    const QString longItem = QStringLiteral("pão francês ").repeated(20).trimmed();
    QSqlQuery q(db);
    ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO VENDA VALUES ('E', '%1', 9)").arg(longItem)));
    const QString pdf = dir.filePath("cortado.pdf");
    engine->saveAs(layout(), {{"P_MIN", 5}}, pdf);
    const QString text = pdfText(pdf);
    EXPECT_FALSE(text.contains(longItem));
    QString cutLine;
    for (const QString& line : text.split(u'\n'))
        if (line.contains(QChar(0x2026)))
            cutLine = line.simplified();
    EXPECT_TRUE(cutLine.startsWith(QString::fromUtf8("pão francês pão"))) << text.toStdString();
    EXPECT_TRUE(cutLine.endsWith(QString::fromUtf8("… 9,00"))) << cutLine.toStdString();
}

TEST_F(ReportEngineTest, CsvHasOneLinePerRowWithTheDecimalComma)
{
    const QString csv = dir.filePath("vendas.csv");
    engine->saveAs(layout(), {{"P_MIN", 0}, {"P_UNIDADE", "kg"}}, csv);
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    EXPECT_EQ(lines, (QStringList{"GRUPO;Item;Quantidade (kg)", "A;arroz;1,50", "A;feijão;2,00", "B;leite;1234,57",
                                  "B;\"ovos; caixa\";0,25", "C;sal;0,10"}));
}

TEST_F(ReportEngineTest, LayoutsAreTheCodesFilesWhateverTheirCase)
{
    write(QStringLiteral("tst00102.qr2"), QByteArray(definicao).replace("titulo = Vendas do Mês", "titulo = Vendas\nmodelo = Resumo"));
    write(QStringLiteral("TST00201.QR2"), definicao);
    const QList<ReportLayout> layouts = engine->layouts(QStringLiteral("Tst001"));
    ASSERT_EQ(layouts.size(), 2);
    EXPECT_EQ(layouts[0].fileName, "Tst00101.QR2");
    EXPECT_EQ(layouts[0].title, "Vendas do Mês");
    EXPECT_EQ(layouts[1].suffix, "02");
    EXPECT_EQ(layouts[1].title, "Resumo");
    EXPECT_EQ(engine->parameters(layouts[1]), QStringList{"P_MIN"});
}

TEST_F(ReportEngineTest, MissingDefinitionIsReportedAsSuch)
{
    EXPECT_TRUE(engine->layouts(QStringLiteral("XYZ999")).isEmpty());
    ReportLayout gone{"01", "x", "XYZ99901.QR2"};
    EXPECT_THROW(engine->preview(gone, {}), ReportDefinitionMissing);
    EXPECT_THROW(engine->edit(gone), ReportDefinitionMissing);
}

TEST_F(ReportEngineTest, FaultsInADefinitionNameTheFileAndLine)
{
    const auto fault = [](const char* text) {
        try {
            ReportDefinition::parse(QString::fromUtf8(text), QStringLiteral("X.QR2"));
        } catch (const Error& e) {
            return e.message();
        }
        return QStringLiteral("(no fault)");
    };
    EXPECT_EQ(fault("[relatorio]\ntitulo = x\ncor = azul\n"), "Definição de relatório X.QR2, linha 3: chave desconhecida \"cor\".");
    EXPECT_TRUE(fault("[coluna]\ncampo = A\n").contains("[consulta]"));
    EXPECT_TRUE(fault("[consulta]\nSELECT 1\n[coluna]\ncampo = A\nlargura = zero\n").contains("linha 5"));
    EXPECT_TRUE(fault("[consulta]\nSELECT 1\n[coluna]\nalinhamento = meio\ncampo = A\n").contains("esquerda, direita, centro"));
    EXPECT_TRUE(fault("[consulta]\nSELECT 1\n").contains("[coluna]"));
}

TEST_F(ReportEngineTest, EditingChangesTheNextRun)
{
    engine->setEditor([](const QString& file) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        QByteArray text = f.readAll().replace("Vendas do Mês", "Vendas revisadas");
        f.resize(0);
        f.write(text);
    });
    engine->edit(layout());
    EXPECT_EQ(layout().title, "Vendas revisadas");
    const QString csv = dir.filePath("depois.csv");
    engine->saveAs(layout(), {{"P_MIN", 0}}, csv);
    EXPECT_TRUE(QFile::exists(csv));
}

TEST(ReportPlaceholders, CodesBecomeWordsAndEmptyValuesAreNoticed)
{
    const auto lookup = [](const QString& name) -> QVariant {
        if (name == u"NIVEL")
            return QStringLiteral("S");
        if (name == u"SERV")
            return QStringLiteral("XXX");
        return {};
    };
    bool empty = false;
    EXPECT_EQ(fillPlaceholders("Origem: {NIVEL|P=Padrão;S=Serviço}", lookup, &empty), "Origem: Serviço");
    EXPECT_FALSE(empty);
    EXPECT_EQ(fillPlaceholders("Serviço: {SERV|XXX=}", lookup, &empty), "Serviço: ");
    EXPECT_TRUE(empty);
    EXPECT_EQ(fillPlaceholders("sem marcas", lookup, &empty), "sem marcas");
    EXPECT_FALSE(empty);
}

} // namespace
