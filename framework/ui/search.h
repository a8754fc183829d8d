#pragma once

#include <QString>
#include <QStringList>

namespace framework {

class ClientDataSet;
class DataSource;

// The search dialogs. titleAndEmptyText is "title|text shown when the list is empty"; an empty
// dataset shows that text (as information) and gives false without opening the dialog.
// fields are the columns shown (empty: the dataset's visible fields).

// Positions the dataset on the chosen row; false when nothing was chosen (the cursor stays).
bool Pesquisar(ClientDataSet& dataSet, const QString& titleAndEmptyText, const QStringList& fields = {});
bool Pesquisar(DataSource& source, const QString& titleAndEmptyText, const QStringList& fields = {});

// The search with a typed filter over the rows; alternative starts the filter on the second
// column (the names) instead of the first (the codes).
bool Pesquisar_Plus(ClientDataSet& dataSet, const QString& titleAndEmptyText, bool alternative = false,
                    const QStringList& fields = {});

// Choice of several rows. The chosen rows' keyField values are written into list, each followed
// by "_" ("001_004_012_"), in the order of the dataset; codes already in list come pre-chosen.
// Gives false (list unchanged) when cancelled or when the list is empty.
bool PesquisaLista(ClientDataSet& dataSet, const QString& keyField, const QString& titleAndEmptyText, QString& list);
bool PesquisaLista(DataSource& source, const QString& keyField, const QString& titleAndEmptyText, QString& list);
// As PesquisaLista, but confirming without any row chosen is refused with a message and keeps
// list as it was.
bool PesquisaListaMsg(ClientDataSet& dataSet, const QString& keyField, const QString& titleAndEmptyText,
                      QString& list);
bool PesquisaListaMsg(DataSource& source, const QString& keyField, const QString& titleAndEmptyText, QString& list);

// Splits a list written by PesquisaLista into its codes.
QStringList codesOfList(const QString& list);

// The row search over a grid's dataset: the user picks a column and types the beginning of a
// value (letter case ignored); the dataset moves to the first matching row. A text not found
// shows "Registro não encontrado." and leaves the cursor. fields: the grid's columns in order.
bool Procura(ClientDataSet& dataSet, const QStringList& fields = {});

} // namespace framework
