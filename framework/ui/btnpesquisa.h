#pragma once

#include <QPointer>
#include <QStringList>
#include <QToolButton>
#include <functional>

namespace framework {

class ClientDataSet;

// The lookup button (btp..., btn...): a click runs BeforePesq (which may prepare the list or
// abort), opens the search dialog over the button's dataset and, when a row was chosen, runs
// AfterPesq with the dataset positioned on that row. A closed Query is opened first.
class TBtnPesquisa : public QToolButton {
    Q_OBJECT
public:
    using Event = std::function<void(TBtnPesquisa&)>;

    explicit TBtnPesquisa(QWidget* parent = nullptr, const QString& name = {});

    ClientDataSet* DataSet() const { return m_dataSet; }
    void setDataSet(ClientDataSet* dataSet) { m_dataSet = dataSet; }
    const QString& Title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }
    const QString& EmptyText() const { return m_emptyText; }
    void setEmptyText(const QString& text) { m_emptyText = text; }
    void setFields(const QStringList& fields) { m_fields = fields; } // columns shown
    void setPlus(bool plus) { m_plus = plus; }                       // the search with a typed filter
    // Only a code of the last level of the picture of kind may be chosen (PesqNivCompleto).
    void setCompleteLevel(int pictureKind, const QString& codeField);

    Event BeforePesq;
    Event AfterPesq;

    // The click's work, without the guard: true when a row was chosen.
    bool Execute();

private:
    bool acceptsChoice() const;

    QPointer<ClientDataSet> m_dataSet;
    QString m_title;
    QString m_emptyText;
    QStringList m_fields;
    bool m_plus = false;
    int m_pictureKind = -1;
    QString m_codeField;
};

} // namespace framework
