#include "search.h"

#include <algorithm>

#include "dialogs.h"
#include "messages.h"
#include "framework/abort.h"
#include "framework/data/datasource.h"

namespace framework {

namespace {

struct Titles {
    QString title;
    QString emptyText;
};

Titles splitTitles(const QString& titleAndEmptyText)
{
    const qsizetype bar = titleAndEmptyText.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return {titleAndEmptyText, msgMensagensPadroes().Msg(QStringLiteral("Lista_Vazia"))};
    return {titleAndEmptyText.left(bar), titleAndEmptyText.mid(bar + 1)};
}

ClientDataSet& dataSetOf(DataSource& source)
{
    ClientDataSet* dataSet = source.DataSet();
    if (!dataSet)
        throw Error(QStringLiteral("A fonte de dados \"%1\" não tem dados ligados.").arg(source.objectName()));
    return *dataSet;
}

// Opens the dialog unless the dataset is empty (then shows the empty-list text).
std::optional<QVector<int>> runSearch(ClientDataSet& dataSet, const Titles& titles, SearchRequest request)
{
    if (!dataSet.Active() || dataSet.IsEmpty()) {
        dialogs().showMessage({QString(), titles.emptyText, mtInformation, mbOK});
        return std::nullopt;
    }
    request.dataSet = &dataSet;
    request.title = titles.title;
    return dialogs().chooseRows(request);
}

bool chooseOne(ClientDataSet& dataSet, const QString& titleAndEmptyText, SearchRequest request)
{
    const auto chosen = runSearch(dataSet, splitTitles(titleAndEmptyText), std::move(request));
    if (!chosen || chosen->isEmpty())
        return false;
    dataSet.SetRecNo(chosen->constFirst() + 1);
    return true;
}

bool chooseList(ClientDataSet& dataSet, const QString& keyField, const QString& titleAndEmptyText, QString& list,
                bool requireChoice)
{
    const Field* key = dataSet.FieldByName(keyField);
    SearchRequest request;
    request.mode = SearchRequest::Mode::List;
    const QStringList current = codesOfList(list);
    if (!current.isEmpty()) {
        for (int position = 0; position < dataSet.RecordCount(); ++position) {
            if (current.contains(dataSet.valueAt(position, key).toString()))
                request.preselected << position;
        }
    }
    const auto chosen = runSearch(dataSet, splitTitles(titleAndEmptyText), request);
    if (!chosen)
        return false;
    if (chosen->isEmpty() && requireChoice) {
        msgMensagensPadroes().ShowMsg(QStringLiteral("Nenhum_Selec"), mtInformation, mbOK);
        return false;
    }
    QVector<int> positions = *chosen;
    std::sort(positions.begin(), positions.end());
    QString result;
    for (int position : std::as_const(positions))
        result += dataSet.valueAt(position, key).toString() + QLatin1Char('_');
    list = result;
    return true;
}

} // namespace

bool Pesquisar(ClientDataSet& dataSet, const QString& titleAndEmptyText, const QStringList& fields)
{
    SearchRequest request;
    request.fields = fields;
    return chooseOne(dataSet, titleAndEmptyText, request);
}

bool Pesquisar(DataSource& source, const QString& titleAndEmptyText, const QStringList& fields)
{
    return Pesquisar(dataSetOf(source), titleAndEmptyText, fields);
}

bool Pesquisar_Plus(ClientDataSet& dataSet, const QString& titleAndEmptyText, bool alternative,
                    const QStringList& fields)
{
    SearchRequest request;
    request.mode = SearchRequest::Mode::Plus;
    request.alternative = alternative;
    request.fields = fields;
    return chooseOne(dataSet, titleAndEmptyText, request);
}

bool PesquisaLista(ClientDataSet& dataSet, const QString& keyField, const QString& titleAndEmptyText, QString& list)
{
    return chooseList(dataSet, keyField, titleAndEmptyText, list, false);
}

bool PesquisaLista(DataSource& source, const QString& keyField, const QString& titleAndEmptyText, QString& list)
{
    return PesquisaLista(dataSetOf(source), keyField, titleAndEmptyText, list);
}

bool PesquisaListaMsg(ClientDataSet& dataSet, const QString& keyField, const QString& titleAndEmptyText,
                      QString& list)
{
    return chooseList(dataSet, keyField, titleAndEmptyText, list, true);
}

bool PesquisaListaMsg(DataSource& source, const QString& keyField, const QString& titleAndEmptyText, QString& list)
{
    return PesquisaListaMsg(dataSetOf(source), keyField, titleAndEmptyText, list);
}

QStringList codesOfList(const QString& list)
{
    return list.split(QLatin1Char('_'), Qt::SkipEmptyParts);
}

bool Procura(ClientDataSet& dataSet, const QStringList& fields)
{
    if (!dataSet.Active() || dataSet.IsEmpty())
        return false;
    const auto answer = dialogs().rowSearch({&dataSet, fields});
    if (!answer || answer->text.isEmpty())
        return false;
    // Compared as the user sees the column, so numbers and dates are found by their text too.
    Field* field = dataSet.FieldByName(answer->field);
    for (int position = 0; position < dataSet.RecordCount(); ++position) {
        if (dataSet.displayTextAt(position, field).startsWith(answer->text.trimmed(), Qt::CaseInsensitive)) {
            dataSet.SetRecNo(position + 1);
            return true;
        }
    }
    msgMensagensPadroes().ShowMsg(QStringLiteral("Registro_NEnc"), mtInformation, mbOK);
    return false;
}

} // namespace framework
