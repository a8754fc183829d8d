#pragma once

#include "formbase.h"
#include "reportengine.h"

class QListWidget;
class QPushButton;

namespace framework {

class TMessages;

// The report form: the derived form's filters in panFiltros, the layouts of its report code in
// lstRelatorios, and the commands preview (sbtVisualizar), print (sbtImprimir), save as
// (sbtSalvar: PDF or CSV, after the name chosen) and edit the layout (sbtEditar); sbtCancel closes.
//
// Before each command the form's checks run (ValidaImpressao: required for preview, print and
// save as; not required for edit) and, except for edit, AtribuiParametros fills the layout
// query's parameters from the filters on every run. A check that throws stops the command.
// The texts "Arq_Rel_Err" come from the form's message list msgPadrao when it has one.
class TfrmDadosGerRel : public TfrmBase {
    Q_OBJECT
public:
    explicit TfrmDadosGerRel(const QString& reportCode, QWidget* parent = nullptr);

    void FormCreate() override; // lists the layouts

    const QString& CodigoRelatorio() const { return m_reportCode; }
    QList<ReportLayout> Layouts() const { return m_layouts; }
    // The chosen layout; fails with "Arq_Rel_Err" when the report code has none.
    ReportLayout LayoutAtual() const;

    virtual void ValidaImpressao(bool required);
    virtual void AtribuiParametros(ReportParams& params);

    virtual void sbtVisualizarClick();
    virtual void sbtImprimirClick();
    virtual void sbtSalvarClick();
    virtual void sbtEditarClick();
    virtual void sbtCancelClick();

    QWidget* panFiltros;
    QListWidget* lstRelatorios;
    QPushButton *sbtVisualizar, *sbtImprimir, *sbtSalvar, *sbtEditar, *sbtCancel;

private:
    enum class Command { Preview, Print, SaveAs };
    void run(Command command);
    void runLayout(Command command, const ReportLayout& layout);
    void listLayouts();
    ReportEngine& engine() const; // fails like LayoutAtual when none is installed
    const TMessages& messages() const;
    [[noreturn]] void noDefinition() const;
    QPushButton* button(const QString& name, const QString& caption, void (TfrmDadosGerRel::*handler)());

    QString m_reportCode;
    QList<ReportLayout> m_layouts;
};

} // namespace framework
