// The dish-data panel's fields, with their display texts, and its controls: found on the page when
// the form made them, made in the panel's group box otherwise, and wired to the record's rules.
#include "painelprato.h"

#include "recipe/core/contextoreceita.h"
#include "recipe/core/respostaservidor.h"
#include "recipe/quantities/quantidadepessoa.h"

#include "framework/core/consiste.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/ui/btnpesquisa.h"
#include "framework/ui/dbcheckbox.h"
#include "framework/ui/dbcombobox.h"
#include "framework/ui/dbedit.h"
#include "framework/ui/guard.h"
#include "framework/ui/messages.h"
#include "framework/ui/shape.h"
#include "server/connection.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>

namespace recipe {

using framework::ClientDataSet;
using framework::Field;
using framework::FieldType;
using framework::TDBEdit;
using State = ClientDataSet::State;

namespace {

const QStringList storageItems{QStringLiteral("Resfriado"), QStringLiteral("Congelado"), QStringLiteral("Nenhum")};
const QStringList statusItems{QStringLiteral("Ativo"), QStringLiteral("Inativo")};

// A key the filter drops: a printable character the edit does not take.
bool dropsKey(QEvent* event, const std::function<bool(QChar)>& accepts)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const QString text = static_cast<QKeyEvent*>(event)->text();
    return !text.isEmpty() && text[0].isPrint() && !accepts(text[0]);
}

} // namespace

void PainelPrato::declaraCampos()
{
    struct Campo {
        QString name;
        FieldType type;
        int size;
        const char* format;
        const char* label;
    };
    const LevelFields::DishData& d = m_nivel.dish;
    const auto seHa = [](const QString& control, const char* name) {
        return control.isEmpty() ? QString() : QString::fromLatin1(name);
    };
    const Campo campos[] = {
        {QStringLiteral("CDFILAUXPRAT"), FieldType::String, 4, nullptr, "Origem"},
        {QStringLiteral("CDPRATO"), FieldType::String, 10, nullptr, "Prato"},
        {m_nivel.centralKey, FieldType::String, 4, nullptr, "Central"},
        {m_nivel.menuTypeKey, FieldType::String, 10, nullptr, "Tipo de Cardápio"},
        {m_nivel.branchKey, FieldType::String, 4, nullptr, "Filial"},
        {m_nivel.serviceKey, FieldType::String, 5, nullptr, "Serviço"},
        {d.colorPrincipal, FieldType::Float, 0, nullptr, "Cor Principal"},
        {d.colorSecondary, FieldType::Float, 0, nullptr, "Cor Secundária"},
        {d.colorAuxiliary, FieldType::Float, 0, nullptr, "Cor Auxiliar"},
        {d.qtyPerPerson, FieldType::Float, 0, "#,##0.00000", "Qtde. por Pessoa"},
        {d.qtyPerContainer, FieldType::Float, 0, "##,##0.00000", "Qtde. por Container"},
        {d.validityHours, FieldType::Float, 0, nullptr, "Validade de Consumo"},
        {d.fancyName, FieldType::String, 80, nullptr, "Nome Fantasia"},
        {d.sampleQty, FieldType::Float, 0, "#,##0.000", "Qtde. Amostra"},
        {d.minPercent, FieldType::Float, 0, "#,##0.00", "% Mínimo por Container"},
        {seHa(m_nomes.production, "CDPRODPRODUCAO"), FieldType::String, 10, nullptr, "Produto de Produção"},
        {seHa(m_nomes.production, "CDARVPROD"), FieldType::String, 20, nullptr, "Produto de Produção"},
        {seHa(m_nomes.production, "NMPRODUTO"), FieldType::String, 50, nullptr, "Nome do Produto"},
        {seHa(m_nomes.cookChill, "IDPRODCHILL"), FieldType::String, 1, nullptr, "Cook Chill"},
        {d.finalOrigin, FieldType::String, 1, nullptr, "Produto Final"},
        {d.anticipation, FieldType::String, 3, nullptr, "Antecipação"},
        {seHa(m_nomes.storage, "IDTPPRODCHILL"), FieldType::String, 30, nullptr, "Tipo de Armazenamento"},
        {QStringLiteral("IDATIVO"), FieldType::String, 1, nullptr, "Status"},
        {seHa(m_nomes.mediCaseCode, "CDMEDICASE"), FieldType::String, 5, nullptr, "Medida Caseira"},
        {seHa(m_nomes.mediCaseCode, "NMMEDICASE"), FieldType::String, 40, nullptr, "Medida Caseira"},
        {d.householdQty, FieldType::Float, 0, "#,##0.00000", "Qtde. Medida Caseira"},
    };
    for (const Campo& c : campos) {
        if (c.name.isEmpty())
            continue;
        Field* f = m_dados->AddField(c.name, c.type, c.size);
        f->setDisplayLabel(QString::fromUtf8(c.label));
        if (c.format)
            f->setDisplayFormat(QString::fromLatin1(c.format));
    }
    if (Field* origem = campo(d.finalOrigin))
        origem->OnGetText = [this](Field& f, QString& text, bool) {
            text = m_contexto.mensagens().Msg(f.AsString() == u"M" ? QStringLiteral("MATRIZ") : QStringLiteral("FILIAL"));
        };
    Field* ativo = campo(QStringLiteral("IDATIVO"));
    ativo->OnGetText = [](Field& f, QString& text, bool) {
        text = f.IsNull() ? QString() : f.AsString() == u"S" ? statusItems[0] : statusItems[1];
    };
    ativo->OnSetText = [this](Field& f, const QString& text) {
        const int index = m_status ? m_status->currentIndex() : statusItems.indexOf(text);
        f.setAsString(index == 0 ? QStringLiteral("S") : QStringLiteral("N"));
    };
}

void PainelPrato::criaControles(QWidget* page)
{
    auto* box = new QGroupBox(QStringLiteral("Dados do Prato"), page);
    box->setObjectName(m_nomes.panel);
    auto* layout = qobject_cast<QBoxLayout*>(page->layout());
    if (!layout)
        layout = new QVBoxLayout(page);
    layout->addWidget(box);
    m_painel = box;
    auto* grid = new QGridLayout(m_painel);
    const LevelFields::DishData& d = m_nivel.dish;
    int row = 0, column = 0;
    // A control with its caption (an existing label, or a new one for the caption) to the right
    // of what the row already holds.
    const auto place = [&](const QString& caption, QWidget* widget, int span = 1, QLabel* label = nullptr) {
        if (!widget)
            return;
        if (!label && !caption.isEmpty()) {
            label = new QLabel(caption, m_painel);
            label->setBuddy(widget);
        }
        if (label)
            grid->addWidget(label, row, column++);
        grid->addWidget(widget, row, column, 1, span);
        column += span;
    };
    const auto nextRow = [&] {
        ++row;
        column = 0;
    };
    // findChild with an empty name would take any widget: only named controls are looked for.
    const auto edit = [this](const QString& name, const QString& fieldName) -> TDBEdit* {
        if (name.isEmpty() || fieldName.isEmpty())
            return nullptr;
        auto* e = m_contexto.janela().findChild<TDBEdit*>(name);
        if (!e)
            e = new TDBEdit(m_painel, name);
        e->setDataSource(m_fonte);
        e->setDataField(fieldName);
        return e;
    };

    // Colours: the standard page's shapes are the dish record's; the other levels get their own.
    auto* cores = new QWidget(m_painel);
    auto* coresLayout = new QHBoxLayout(cores);
    coresLayout->setContentsMargins(0, 0, 0, 0);
    const QString colourFields[] = {d.colorPrincipal, d.colorSecondary, d.colorAuxiliary};
    for (int i = 0; i < 3; ++i) {
        if (m_nomes.shapes[i].isEmpty() || colourFields[i].isEmpty())
            continue;
        m_cores[i] = m_contexto.janela().findChild<framework::TShape*>(m_nomes.shapes[i]);
        if (!m_cores[i]) {
            m_cores[i] = new framework::TShape(cores, m_nomes.shapes[i]);
            coresLayout->addWidget(m_cores[i]);
        }
    }
    if (coresLayout->count() > 0)
        place(QStringLiteral("Cores"), cores);
    else
        delete cores;
    if (!d.validityEdit.isEmpty()) {
        m_validade = new framework::TMaskEdit(m_painel, d.validityEdit);
        m_validade->setEditMask(QStringLiteral("9999:99"));
        m_validade->setMaximumWidth(90);
        place(QStringLiteral("Validade de Consumo"), m_validade);
    }
    if (!m_nomes.status.isEmpty()) {
        m_status = new framework::TDBComboBox(m_painel, m_nomes.status);
        m_status->setItems(statusItems);
        m_status->setDataSource(m_fonte);
        m_status->setDataField(QStringLiteral("IDATIVO"));
        place(QStringLiteral("Status"), m_status);
    }
    // Three captioned controls a row: the panel shares its page with the ingredient list.
    nextRow();
    m_qtPessoa = edit(m_nomes.qtyPerPerson, d.qtyPerPerson);
    place(QStringLiteral("Qtde. por Pessoa"), m_qtPessoa);
    m_qtContainer = edit(m_nomes.qtyPerContainer, d.qtyPerContainer);
    place(QStringLiteral("Qtde. por Container"), m_qtContainer);
    m_amostra = edit(m_nomes.sample, d.sampleQty);
    place(QStringLiteral("Qtde. Amostra"), m_amostra);
    nextRow();
    m_perMin = edit(m_nomes.minPercent, d.minPercent);
    place(QStringLiteral("% Mínimo por Container"), m_perMin);
    if (!m_nomes.finalOrigin.isEmpty() && !d.finalOrigin.isEmpty()) {
        m_origem = new QComboBox(m_painel);
        m_origem->setObjectName(m_nomes.finalOrigin);
        m_origem->addItems({m_contexto.mensagens().Msg(QStringLiteral("MATRIZ")), m_contexto.mensagens().Msg(QStringLiteral("FILIAL"))});
        place(QStringLiteral("Produto Final"), m_origem);
    }
    nextRow();
    if (TDBEdit* fantasia = edit(m_nomes.fancyName, d.fancyName)) {
        fantasia->setMaxLength(80);
        place(QStringLiteral("Nome Fantasia"), fantasia, 3);
    }
    nextRow();
    if (!m_nomes.cookChill.isEmpty()) {
        m_cookChill = new framework::TDBCheckBox(m_painel, m_nomes.cookChill);
        m_cookChill->setText(QStringLiteral("Prato/Produto Cook Chill"));
        m_cookChill->setDataSource(m_fonte);
        m_cookChill->setDataField(QStringLiteral("IDPRODCHILL"));
        m_cookChill->setValueChecked(QStringLiteral("S"));
        m_cookChill->setValueUnchecked(QStringLiteral("N"));
        place({}, m_cookChill);
        m_antecipacao = edit(m_nomes.anticipation, d.anticipation);
        if (m_antecipacao) {
            m_antecipacao->setMaxLength(3);
            m_lblAntecipacao = new QLabel(QStringLiteral("Antecipação"), m_painel);
            m_lblAntecipacao->setObjectName(m_nomes.anticipationLabel);
            m_lblAntecipacao->setBuddy(m_antecipacao);
            place({}, m_antecipacao, 1, m_lblAntecipacao);
        }
        m_armazenamento = new QComboBox(m_painel);
        m_armazenamento->setObjectName(m_nomes.storage);
        m_armazenamento->addItems(storageItems);
        m_lblArmazenamento = new QLabel(QStringLiteral("Armazenamento"), m_painel);
        m_lblArmazenamento->setObjectName(m_nomes.storageLabel);
        m_lblArmazenamento->setBuddy(m_armazenamento);
        place({}, m_armazenamento, 1, m_lblArmazenamento);
        nextRow();
    }
    if (!m_nomes.mediCaseCode.isEmpty()) {
        m_cdMediCase = edit(m_nomes.mediCaseCode, QStringLiteral("CDMEDICASE"));
        m_cdMediCase->setMaxLength(5);
        place(QStringLiteral("Medida Caseira"), m_cdMediCase);
        auto* button = new framework::TBtnPesquisa(m_painel, m_nomes.mediCaseButton);
        place({}, button);
        m_nmMediCase = edit(m_nomes.mediCaseName, QStringLiteral("NMMEDICASE"));
        m_nmMediCase->setReadOnly(true);
        m_nmMediCase->setFocusPolicy(Qt::NoFocus);
        place({}, m_nmMediCase);
        m_qtMediCase = edit(m_nomes.mediCaseQty, d.householdQty);
        place(QStringLiteral("Qtde."), m_qtMediCase);

        // One list of measures and one check dataset serve every level.
        const auto dataSet = [this](const QString& name) {
            if (auto* found = m_contexto.janela().findChild<ClientDataSet*>(name, Qt::FindDirectChildrenOnly))
                return found;
            auto* ds = new ClientDataSet(&m_contexto.janela(), name);
            ds->AddField(QStringLiteral("CDMEDICASE"), FieldType::String, 5)->setDisplayLabel(QStringLiteral("Código"));
            ds->AddField(QStringLiteral("NMMEDICASE"), FieldType::String, 40)->setDisplayLabel(QStringLiteral("Nome"));
            return ds;
        };
        m_mediCase = dataSet(QStringLiteral("cdsMediCase"));
        m_vdMediCase = dataSet(QStringLiteral("cdsVdMediCase"));
        button->setDataSet(m_mediCase);
        button->setTitle(m_contexto.mensagens().Msg(QStringLiteral("MEDICASE")));
        button->setEmptyText(m_contexto.mensagens().Msg(QStringLiteral("MEDICASE_N_CAD")));
        button->BeforePesq = [this](framework::TBtnPesquisa&) {
            loadPacket(m_mediCase, m_contexto.servidor().call(QStringLiteral("getMediCase"), {},
                                                                 QStringLiteral("get_cdsMediCase")));
        };
        button->AfterPesq = [this](framework::TBtnPesquisa&) {
            entraEdicao();
            campo(QStringLiteral("CDMEDICASE"))->setValue(m_mediCase->FieldByName(QStringLiteral("CDMEDICASE"))->Value());
            campo(QStringLiteral("NMMEDICASE"))->setValue(m_mediCase->FieldByName(QStringLiteral("NMMEDICASE"))->Value());
        };
    }
    grid->setColumnStretch(grid->columnCount(), 1);
    if (auto* produto = m_nomes.production.isEmpty() ? nullptr : m_contexto.janela().findChild<TDBEdit*>(m_nomes.production)) {
        produto->setDataSource(m_fonte);
        produto->setDataField(QStringLiteral("CDARVPROD"));
    }
}

void PainelPrato::liga()
{
    m_dados->BeforeInsert = [this](ClientDataSet&) { BeforeInsert(); };
    m_dados->BeforeEdit = [this](ClientDataSet&) { BeforeEdit(); };
    m_dados->AfterInsert = [this](ClientDataSet&) { m_qtEscala = QVariant(); };
    m_dados->AfterEdit = [this](ClientDataSet&) {
        const Field* qt = campo(m_nivel.dish.qtyPerPerson);
        m_qtEscala = qt && !qt->IsNull() ? qt->Value() : QVariant();
    };
    m_dados->OnNewRecord = [this](ClientDataSet&) { NewRecord(); };
    m_dados->BeforePost = [this](ClientDataSet&) { BeforePost(); };
    m_dados->AfterPost = [this](ClientDataSet&) { AfterPost(); };
    m_dados->AfterDelete = [this](ClientDataSet&) { AfterDelete(); };
    m_dados->AfterScroll = [this](ClientDataSet&) { mostraRegistro(); };
    m_dados->AfterCancel = [this](ClientDataSet&) {
        mostraRegistro();
        comandos();
    };
    m_dados->AfterOpen = [this](ClientDataSet&) { HabCamposCookChill(); };

    const auto paint = [this] { pintaCores(); };
    framework::guardedConnect(m_dados, &ClientDataSet::currentChanged, this, paint);
    framework::guardedConnect(m_dados, &ClientDataSet::fieldChanged, this, paint);
    framework::guardedConnect(m_dados, &ClientDataSet::rowsReset, this, [this] {
        pintaCores();
        if (m_dados->state() == State::Browse || m_dados->state() == State::Inactive)
            mostraRegistro();
    });
    framework::guardedConnect(m_fonte, &framework::DataSource::stateChanged, this, [this] { estadoMudou(); });
    for (int i = 0; i < 3; ++i)
        if (m_cores[i] && m_nivel.level != Level::Padrao) // the standard shapes are the dish record's
            framework::guardedConnect(m_cores[i], &framework::TShape::mouseUp, this, [this, i] { escolheCor(i); });

    if (m_validade)
        framework::guardedConnect(m_validade, &QLineEdit::textEdited, this, [this] { entraEdicao(); });
    if (m_cookChill)
        framework::guardedConnect(m_cookChill, &QCheckBox::clicked, this, [this] {
            HabCamposCookChill();
            defaultCamposCookChill();
        });
    if (m_antecipacao)
        framework::installGuardedEventFilter(m_antecipacao, [](QObject*, QEvent* event) {
            return dropsKey(event, [](QChar c) { return c.isDigit(); });
        });
    if (m_armazenamento)
        framework::guardedConnect(m_armazenamento, &QComboBox::activated, this, [this] { entraEdicao(); });
    if (m_origem) {
        // "Matriz" is "M", "Filial" "F", stored as the choice is made; typing chooses nothing.
        framework::guardedConnect(m_origem, &QComboBox::activated, this, [this](int index) {
            entraEdicao();
            campo(m_nivel.dish.finalOrigin)->setAsString(index == 0 ? QStringLiteral("M") : QStringLiteral("F"));
        });
        framework::installGuardedEventFilter(m_origem, [](QObject*, QEvent* event) {
            if (event->type() == QEvent::KeyPress) {
                const int key = static_cast<QKeyEvent*>(event)->key();
                if (key == Qt::Key_Backspace || key == Qt::Key_Delete)
                    return true;
            }
            return dropsKey(event, [](QChar c) { return c == u'&' || c == u'('; });
        });
    }
    for (TDBEdit* e : {m_amostra, m_perMin})
        if (e)
            framework::installGuardedEventFilter(e, [](QObject*, QEvent* event) {
                return dropsKey(event, [](QChar c) { return c != u'e' && c != u'E'; });
            });
    if (m_qtPessoa)
        framework::guardedConnect(m_qtPessoa, &framework::TMaskEdit::exited, this, [this] {
            Vd_QtPadrao(*campo(m_nivel.dish.qtyPerPerson), m_qtPessoa, m_contexto.mensagens());
        });
    for (TDBEdit* e : {m_qtContainer, m_amostra, m_perMin})
        if (e)
            framework::guardedConnect(e, &framework::TMaskEdit::exited, this, [this, e] {
                if (Vd_QtContainer)
                    Vd_QtContainer(*e);
            });
    if (m_cdMediCase) {
        framework::guardedConnect(m_cdMediCase, &framework::TMaskEdit::exited, this, [this] {
            Field* cd = campo(QStringLiteral("CDMEDICASE"));
            if (editando() && !cd->IsNull())
                cd->setAsString(framework::Ajusta(cd->AsString(), 5));
            vd_MediCase();
        });
        framework::guardedConnect(m_cdMediCase, &QLineEdit::textEdited, this, [this] {
            if (!editando())
                return;
            campo(QStringLiteral("NMMEDICASE"))->Clear();
            if (Field* qt = campo(m_nivel.dish.householdQty))
                qt->Clear();
        });
        framework::installGuardedEventFilter(m_qtMediCase, [this](QObject*, QEvent* event) {
            return dropsKey(event, [this](QChar c) { return vd_virgula(c, m_qtMediCase->text()); });
        });
    }
}

} // namespace recipe
