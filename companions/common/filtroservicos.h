#pragma once

#include "filtrosrelatorio.h"
#include "gradeservicos.h"

#include <QString>
#include <functional>

class QGroupBox;
class QWidget;

namespace framework {
class Query;
class TMessages;
} // namespace framework

namespace companions {

// The services a form works on: those of a branch (medFiliServ), of one service group when one
// is given (medCdGrupo), with their names, lookups and checks. The replication and percentage
// forms load their services grid from it. Messages of the form's list: "GrupoNCad", "GrupoServ",
// "NHaGrupo"; the branch is checked by ValidaFilial.
class FiltroServicos {
public:
    // qryFilialPesq lists the branches for the branch's lookup (the form's one list).
    FiltroServicos(QWidget* parent, framework::Query* qryFilialPesq, const framework::TMessages& messages);

    QGroupBox* painel() const { return m_painel; } // panFiltro
    LinhaCodigo grupo, filial;
    framework::Query* qryVdGrupo; // the groups: P_CDGRUPSERV "T" for all, or one code

    // A group was chosen in its lookup while the branch is given: the services may be loaded.
    std::function<void()> AfterPesqGrupo;

    // Both checks, the branch required: what the services are loaded with.
    FiltroServico Valida();
    // Leaving a field: the branch brought to 4 and named (not required); the group, when given,
    // brought to 3 and named, or refused with "GrupoNCad".
    void Vd_Filial(bool required);
    void Vd_Grupo();

    // A branch module works on its own branch: it is set, named and cannot be changed.
    void fixaFilial(const QString& codigo);
    // The filter's fields on or off together (a fixed branch stays off).
    void setHabilitado(bool habilitado);

private:
    void ligaEventos();

    QGroupBox* m_painel;
    framework::Query* m_qryFilialPesq;
    const framework::TMessages& m_messages;
    bool m_filialFixa = false;
};

} // namespace companions
