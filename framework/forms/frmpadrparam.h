#pragma once

#include "formbase.h"

class QProgressBar;
class QPushButton;

namespace framework {

// The query and tool form: the form's own controls in panParametros, and a row of buttons with
// sbtConfirma (the form's action; by default closes with mrOk) and sbtCancel (closes with mrCancel).
class TfrmPadrParam : public TfrmBase {
    Q_OBJECT
public:
    explicit TfrmPadrParam(QWidget* parent = nullptr);

    virtual void sbtConfirmaClick();
    virtual void sbtCancelClick();

    QWidget* panParametros;
    QWidget* panBotoes;
    QPushButton* sbtConfirma;
    QPushButton* sbtCancel;
};

// The routine form: a TfrmPadrParam whose action runs a routine over many items, with the
// progress bar prbRotina to show how far it went.
class TfrmRotiGeral : public TfrmPadrParam {
    Q_OBJECT
public:
    explicit TfrmRotiGeral(QWidget* parent = nullptr);

    // Shows done of total (hidden again when done reaches total); keeps the window responsive.
    void Progresso(int done, int total);

    QProgressBar* prbRotina;
};

} // namespace framework
