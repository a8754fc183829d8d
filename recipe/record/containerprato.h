#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QChar;
class QWidget;

namespace framework {
class ClientDataSet;
class DataSource;
struct TCellPaint;
class TDBEdit;
class TDBGrid;
} // namespace framework

namespace recipe {

class ContextoReceita;
class Enviador;
class RegistroPrato;
class TabelaPaginas;

// The transport edits of one recipe level's dish data that Vd_QtContainer checks together
// (quantity per container, sample, minimum percentage per container), all over that level's
// dish-data dataset.
struct TransporteNivel {
    framework::TDBEdit* quantidade = nullptr;       // dbeQtContainer..., QTCONTAI...
    framework::TDBEdit* amostra = nullptr;          // dbeQtAmostrPad, dbeQtAmostrLoc, dbeQtAmostrServ, dbeQtAmostrTC
    framework::TDBEdit* percentualMinimo = nullptr; // dbePerMinContPad, dbePerMinContLoc, dbePerMinContServ, dbePerMinContTC
};

// The containers ("Embalagens") a dish is packed in, on the dish-record page: the group box
// grbContainer with the grid dbgContainer over cdsPratoContainer, the catalogue cdsPesqContainer,
// the principal mark, and the check of every level's transport edits. Each posted or deleted row
// is sent at once through the edit cycle's sender.
class ContainerPrato : public QObject {
    Q_OBJECT
public:
    // Puts the group box on the dish-record page (pagina), its datasets under the form's window,
    // and has the record reload the containers of each dish it reaches.
    ContainerPrato(ContextoReceita& contexto, QWidget& pagina, RegistroPrato& registro);
    ~ContainerPrato() override;

    // The grid as a page of the toolbar: while it is the form's active control the commands act
    // on the dish's containers.
    void registra(TabelaPaginas& paginas);
    framework::TDBGrid* grade() const { return m_grade; }
    framework::ClientDataSet* lista() const { return m_lista; }
    framework::DataSource* fonte() const { return m_fonte; }
    // While the grid is active: Alterar and Excluir only on a list with rows and nothing to confirm.
    void habilitaBarra() const;

    // Loads the current dish's containers (unless rows are being edited or wait to be sent).
    void carrega();
    void dbgContainerEnter();

    // The container code of the row: blank fails with "Container_Branco" when required; typed in
    // the code column it is brought to 5 digits, looked up in the catalogue (its name and
    // quantity come along, "Container_N_Cadastrado" when absent) and, when it changed, refused
    // with "Container_Existe" if the dish already has it. On failure the quantity is cleared and
    // the code column takes the focus.
    void Vd_Container(bool required);

    // The check of a level's transport edits, run when one of them is left and before the level's
    // dish data is posted, only while that dataset is being edited or inserted. checked is the
    // edit just left (or the quantity edit at the post): its own value must be valid first, then
    // the level's sample must be >= 0 ("QTAMOS_INV") and its minimum percentage within 0..100
    // ("PERMINCONT_INV"); a negative quantity per container fails with "QTCONT_INV". The edit
    // left is read as typed, the others as their fields hold them; empty counts as 0. The edit
    // found wrong takes the focus when it is enabled.
    void Vd_QtContainer(const TransporteNivel& nivel, framework::TDBEdit& checked) const;

    // Double click or Space on the principal column: marks the row principal (UpdContainer first
    // clears the dish's former mark) or unmarks it, and confirms.
    void marcaPrincipal();

private:
    void criaComponentes();
    void conecta();
    void adicionaMensagens();
    void carregaCatalogo();
    void escolheContainer(); // the ellipsis of the code column
    void estadoMudou();
    void antesDePostar();
    void aposPostar();
    void envia();
    void teclaPressionada(QChar& key) const;
    void desenha(framework::TCellPaint& cell) const;
    bool colunaCodigo() const;
    QString prato(const char* field) const;
    [[noreturn]] void falha(const char* key, QWidget* control = nullptr) const;
    [[noreturn]] void falhaContainer(const char* key);

    // Toolbar rules.
    void incluir();
    void alterar();
    void excluir();
    void confirmar();
    void cancelar();

    ContextoReceita& m_contexto;
    QWidget& m_pagina;
    RegistroPrato& m_registro;
    std::unique_ptr<Enviador> m_enviador;
    framework::ClientDataSet* m_lista = nullptr;
    framework::ClientDataSet* m_catalogo = nullptr;
    framework::DataSource* m_fonte = nullptr;
    framework::TDBGrid* m_grade = nullptr;
    QString m_codigoAnterior; // the row's code when its edit began
    bool m_paginasTravadas = false; // the other pages were locked for an edit
};

} // namespace recipe
