#include "frmpadrparam.h"

#include "framework/ui/guard.h"
#include "framework/ui/messages.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace framework {

TfrmPadrParam::TfrmPadrParam(QWidget* parent) : TfrmBase(parent)
{
    panParametros = new QWidget(this);
    panParametros->setObjectName(QStringLiteral("panParametros"));
    panBotoes = new QWidget(this);
    panBotoes->setObjectName(QStringLiteral("panBotoes"));
    sbtConfirma = new QPushButton(QStringLiteral("&Confirmar"), panBotoes);
    sbtConfirma->setObjectName(QStringLiteral("sbtConfirma"));
    sbtCancel = new QPushButton(QStringLiteral("&Fechar"), panBotoes);
    sbtCancel->setObjectName(QStringLiteral("sbtCancel"));

    auto* buttons = new QHBoxLayout(panBotoes);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addStretch(1);
    buttons->addWidget(sbtConfirma);
    buttons->addWidget(sbtCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panParametros, 1);
    layout->addWidget(panBotoes);

    guardedConnect(sbtConfirma, &QPushButton::clicked, this, [this] { sbtConfirmaClick(); });
    guardedConnect(sbtCancel, &QPushButton::clicked, this, [this] { sbtCancelClick(); });
}

void TfrmPadrParam::sbtConfirmaClick() { setModalResult(mrOk); }

void TfrmPadrParam::sbtCancelClick()
{
    setModalResult(mrCancel);
    close();
}

TfrmRotiGeral::TfrmRotiGeral(QWidget* parent) : TfrmPadrParam(parent)
{
    sbtConfirma->setText(QStringLiteral("&Executar"));
    prbRotina = new QProgressBar(panBotoes);
    prbRotina->setObjectName(QStringLiteral("prbRotina"));
    prbRotina->hide();
    static_cast<QHBoxLayout*>(panBotoes->layout())->insertWidget(0, prbRotina, 1);
}

void TfrmRotiGeral::Progresso(int done, int total)
{
    prbRotina->setRange(0, total);
    prbRotina->setValue(done);
    prbRotina->setVisible(done < total);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace framework
