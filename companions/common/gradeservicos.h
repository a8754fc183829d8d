#pragma once

#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

class QWidget;

namespace framework {
class ClientDataSet;
class DataSource;
class TDBGrid;
class TMessages;
struct TCellPaint;
} // namespace framework

namespace companions {

// Which services a grid holds: those of a branch, of one service group or of all (empty).
struct FiltroServico {
    QString filial, grupo;
    friend bool operator==(const FiltroServico&, const FiltroServico&) = default;
};

// The services of a branch from the server, in cdsServicos shown in dbgServicos, where the user
// marks the ones to work on and types each one's percentage: a click on a mark cell or the space
// bar in the mark column toggles a row; the percentage is the only column typed into. Rows
// cannot be added or removed; re-entering the grid keeps what the user set (the form reloads it
// only when its filter changes).
//
// Fields: IDMARCADO (mark), CDFILIAL (hidden), CDSERVFILI ("Código"), NMSERVICO ("Nome"),
// PERCENTUAL ("Percentual"). A form adds its own fields before the first load. Messages of the
// form's list: "PercNeg".
class GradeServicos {
public:
    GradeServicos(QWidget* parent, const framework::TMessages& messages);
    GradeServicos(const GradeServicos&) = delete;
    GradeServicos& operator=(const GradeServicos&) = delete;

    framework::ClientDataSet* cdsServicos;
    framework::DataSource* dtsServicos;
    framework::TDBGrid* dbgServicos;

    // The row being toggled is in edit with its new mark: the form sets what goes with it.
    std::function<void(bool marcado)> AoMarcar;
    // The cursor is on another row (also after a load).
    std::function<void()> AoMudarLinha;
    // The form's check of a row as it is posted (throws to refuse); by default Vd_Percentual.
    // It does not run while a mark is toggled.
    std::function<void()> VerificaLinha;
    // Whether the current row's percentage may be typed (by default every row's).
    std::function<bool()> PercentualEditavel;
    // The user clicked the mark column's title with rows present (the form decides with
    // MarcaTodos whether that marks or unmarks).
    std::function<void()> OnTituloMarca;
    // A toggled row stays in edit for the form's further changes instead of being posted.
    void setMarcaEmEdicao(bool emEdicao) { m_marcaEmEdicao = emEdicao; }
    // The space bar toggles the row wherever the cursor is, not only in the mark column.
    void setEspacoEmQualquerColuna(bool qualquer) { m_espacoQualquer = qualquer; }

    // The grid open empty; after the form has added its fields.
    void Abre();
    // A server's answer for a filter replaces the rows (a failure is shown and ends the action).
    void Carrega(const QVariant& resultado, const FiltroServico& filtro);
    // The grid holds the services of that filter with what the user set since they were loaded:
    // entering the grid again keeps them.
    bool CarregadaPara(const FiltroServico& filtro) const;
    void Esvazia();
    bool Vazia() const;
    // Rows marked "S" now, counted on the rows themselves.
    int Marcados() const;

    // Toggles the current row: "N" becomes "S", anything else "N"; a pending edit of the row is
    // posted first without the row check.
    void MarcaServico();
    // Marks or unmarks every row, staying on the current service.
    void MarcaTodos(bool marcar);
    // The row check every form makes: a percentage above zero ("PercNeg").
    void Vd_Percentual();
    // Editing is on in the percentage column of a row that may be typed into, off elsewhere.
    void AplicaRegraColuna();

private:
    void desenha(framework::TCellPaint& cell) const;
    bool colunaMarca() const;
    void antesGravar();
    void clicou(int linha, int coluna);

    const framework::TMessages& m_messages;
    std::optional<FiltroServico> m_filtro; // what the rows are the services of
    bool m_semVerificacao = false;
    bool m_marcaEmEdicao = false;
    bool m_espacoQualquer = false;
};

} // namespace companions
