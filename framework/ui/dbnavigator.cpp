#include "dbnavigator.h"

#include "guard.h"
#include "messages.h"
#include "framework/data/datasource.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace framework {

namespace {

struct ButtonLook {
    const char* name;
    const char* text;
    const char* tip;
};

const ButtonLook looks[TDBNavigator::ButtonCount] = {
    {"nbFirst", "|◀", "Primeiro"}, {"nbPrior", "◀", "Anterior"},  {"nbNext", "▶", "Próximo"},
    {"nbLast", "▶|", "Último"},    {"nbInsert", "+", "Incluir"},  {"nbDelete", "−", "Excluir"},
    {"nbEdit", "✎", "Alterar"},    {"nbPost", "✔", "Confirmar"}, {"nbCancel", "✖", "Cancelar"},
};

} // namespace

TDBNavigator::TDBNavigator(QWidget* parent, const QString& name) : QWidget(parent)
{
    setObjectName(name);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    for (int i = 0; i < ButtonCount; ++i) {
        auto* button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(looks[i].name));
        button->setText(QString::fromUtf8(looks[i].text));
        button->setToolTip(QString::fromUtf8(looks[i].tip));
        layout->addWidget(button);
        connect(button, &QToolButton::clicked, this, [this, i] { BtnClick(Button(i)); });
        m_buttons[i] = button;
    }
    setVisibleButtons({nbFirst, nbPrior, nbNext, nbLast});
    refresh();
}

void TDBNavigator::setDataSource(framework::DataSource* source)
{
    for (const auto& connection : std::as_const(m_connections))
        disconnect(connection);
    m_connections.clear();
    m_source = source;
    if (source) {
        for (auto signal : {&DataSource::stateChanged, &DataSource::dataSetSwitched, &DataSource::rowsReset})
            m_connections << connect(source, signal, this, [this] { refresh(); });
        m_connections << connect(source, &DataSource::dataChanged, this, [this] { refresh(); });
    }
    refresh();
}

void TDBNavigator::setVisibleButtons(const QList<Button>& buttons)
{
    for (int i = 0; i < ButtonCount; ++i)
        m_buttons[i]->setVisible(buttons.contains(Button(i)));
}

void TDBNavigator::refresh()
{
    ClientDataSet* ds = m_source && m_source->Enabled() ? m_source->DataSet() : nullptr;
    const bool active = ds && ds->Active();
    const bool browsing = active && ds->state() == ClientDataSet::State::Browse;
    const bool editing = active && !browsing;
    const bool hasRows = active && !ds->IsEmpty();
    const bool atStart = !hasRows || ds->RecNo() <= 1;
    const bool atEnd = !hasRows || ds->RecNo() >= ds->RecordCount();
    const bool enabled[ButtonCount] = {
        browsing && !atStart, browsing && !atStart, browsing && !atEnd, browsing && !atEnd,
        browsing,             browsing && hasRows,  browsing && hasRows, editing,
        editing,
    };
    for (int i = 0; i < ButtonCount; ++i)
        m_buttons[i]->setEnabled(enabled[i]);
}

void TDBNavigator::BtnClick(Button which)
{
    guarded([&] { run(which); });
    refresh();
}

void TDBNavigator::run(Button which)
{
    ClientDataSet* ds = m_source ? m_source->DataSet() : nullptr;
    if (!ds || !ds->Active())
        return;
    switch (which) {
    case nbFirst: ds->First(); break;
    case nbPrior: ds->Prior(); break;
    case nbNext: ds->Next(); break;
    case nbLast: ds->Last(); break;
    case nbInsert: ds->Insert(); break;
    case nbEdit: ds->Edit(); break;
    case nbPost: ds->Post(); break;
    case nbCancel: ds->Cancel(); break;
    case nbDelete:
        if (!m_confirmDelete
            || msgMensagensPadroes().ShowMsg(QStringLiteral("Excl"), mtConfirmation, mbYes | mbNo) == mrYes)
            ds->Delete();
        break;
    }
}

} // namespace framework
