#pragma once

#include <QList>
#include <array>
#include <functional>

class QWidget;

namespace framework {
class ClientDataSet;
class DataSource;
} // namespace framework

namespace recipe {

struct LevelFields;

// The toolbar's maintenance commands.
enum class Comando { Incluir, Alterar, Excluir, Procurar, Verificar, Confirmar, Cancelar };
constexpr int comandos = 7;

// A page of the recipe form as the toolbar sees it: the dataset its commands act on, the data
// source the toolbar follows there, its recipe level (recipe pages only) with the level's dish
// data, and the rule of each command. A command without a rule is refused on that page.
struct Pagina {
    QWidget* tab = nullptr;
    framework::ClientDataSet* dataSet = nullptr;
    framework::DataSource* fonte = nullptr;
    const LevelFields* nivel = nullptr;
    framework::ClientDataSet* dadosPrato = nullptr;
    std::array<std::function<void(const Pagina&)>, comandos> regras;

    void regra(Comando comando, std::function<void(const Pagina&)> rule)
    {
        regras[static_cast<int>(comando)] = std::move(rule);
    }
};

// The pages the toolbar works on. A page the table does not know refuses every command: nothing
// ever falls back to another page's dataset.
class TabelaPaginas {
public:
    void adiciona(Pagina pagina);
    const Pagina* pagina(const QWidget* tab) const; // nullptr when the table does not know it
    const QList<Pagina>& paginas() const { return m_paginas; }
    bool permite(const QWidget* tab, Comando comando) const;
    // Runs the command's rule of the page; refused with a message when there is none.
    void executa(const QWidget* tab, Comando comando) const;

private:
    QList<Pagina> m_paginas;
};

} // namespace recipe
