// Writing and reading a long formatted preparation text as RTF, as every post and every move
// between modes does.
#include "bench/benchsupport.h"
#include "framework/ui/rtftext.h"

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <benchmark/benchmark.h>

namespace {

// About 40 paragraphs in runs of four formats, with accents, bullets and alignments: several
// pages of instructions, more than a preparation mode usually holds.
void fill(QTextDocument& doc)
{
    QTextCursor c(&doc);
    QTextCharFormat formats[4];
    formats[1].setFontWeight(QFont::Bold);
    formats[2].setFontItalic(true);
    formats[2].setForeground(QColor(192, 0, 0));
    formats[3].setFontFamilies({QStringLiteral("Courier New")});
    formats[3].setFontPointSize(14);
    for (int p = 0; p < 40; ++p) {
        if (p > 0)
            c.insertBlock(QTextBlockFormat(), QTextCharFormat());
        for (int r = 0; r < 4; ++r)
            c.insertText(QStringLiteral("Refogue a cebola no óleo até dourar, junte o feijão e a água. "), formats[r]);
        if (p % 5 == 1)
            c.createList(QTextListFormat::ListDisc);
        QTextBlockFormat align;
        align.setAlignment(p % 3 == 0 ? Qt::AlignHCenter : Qt::AlignLeft);
        c.mergeBlockFormat(align);
    }
}

void BM_Write(benchmark::State& state)
{
    QTextDocument doc;
    fill(doc);
    for (auto _ : state)
        benchmark::DoNotOptimize(framework::documentToRtf(doc));
}
BENCHMARK(BM_Write)->Unit(benchmark::kMicrosecond);

void BM_Read(benchmark::State& state)
{
    QTextDocument source;
    fill(source);
    const QByteArray rtf = framework::documentToRtf(source);
    state.counters["bytes"] = double(rtf.size());
    for (auto _ : state) {
        QTextDocument doc;
        framework::rtfToDocument(rtf, doc);
        benchmark::DoNotOptimize(doc.characterCount());
    }
}
BENCHMARK(BM_Read)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::run<QGuiApplication>(argc, argv);
}
