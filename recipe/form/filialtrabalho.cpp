#include "filialtrabalho.h"
#include "recipe/core/componente.h"
#include "frmreceitapadrao.h"
#include "recipe/core/respostaservidor.h"
#include "recipe/core/seletorcodigo.h"

#include "framework/abort.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/messages.h"
#include "framework/ui/query.h"
#include "server/connection.h"

#include <QLineEdit>
#include <QSet>

namespace recipe {

namespace {

// A branch selector: its label, code edit, lookup and name, and the service chosen under it.
struct Seletor {
    const char* label;
    const char* code;
    const char* button;
    const char* name;
    const char* service = nullptr;
    const char* serviceName = nullptr;
};

const Seletor seletores[] = {
    {"lblCdFilialLoc", "medCdFilial", "btpFilial", "edtNmFilialLoc"},
    {"lblCdFiliServ", "medCdFiliServ", "btpFiliServ", "edtNmFiliServ", "medCdServico", "edtNmServico"},
    {"lblCdFiliPrep", "medCdFiliPrep", "btpFiliPrep", "edtNmFiliPrep"},
    {"lblCdFiliServPrep", "medCdFiliServPrep", "btpFiliServPrep", "edtNmFiliServPrep", "medCdServPrep", "edtNmServPrep"},
    {"lblFtoFili", "medCdFiliFto", "btnFtoFili", "edtNmFiliFto"},
    {"lblFtoFiliServ", "medCdFiliServFto", "btnFtoFiliServ", "edtNmFiliServFto", "medCdServFto", "edtNmServFto"},
};

// A named component of the form; a name the form does not have is a fault, not a selector less.
template <class W>
W* achado(const TfrmReceitaPadrao& form, const char* name)
{
    return name ? componente<W>(form, name) : nullptr;
}

} // namespace

void FilialTrabalho::limpaSeletores() const
{
    for (const Seletor& s : seletores) {
        if (auto* code = achado<framework::TMaskEdit>(m_form, s.code))
            code->Clear();
        if (auto* name = achado<QLineEdit>(m_form, s.name))
            name->clear();
    }
}

void FilialTrabalho::Desabilita_Filial(bool lock) const
{
    for (const Seletor& s : seletores)
        for (const char* name : {s.label, s.code, s.button})
            if (auto* w = achado<QWidget>(m_form, name)) {
                w->setEnabled(!lock);
                w->setProperty("Tag", lock ? 99 : 0);
            }
}

void FilialTrabalho::Atualiza_FiliProc() const
{
    const QString branch = m_form.filialTrabalho();
    if (branch.isEmpty())
        return;
    framework::Query& filial = *m_form.qryFilialPesq;
    filial.Close();
    filial.setParam(QStringLiteral("P_CDFILIAL"), branch);
    filial.Open();
    const QString branchName = filial.IsEmpty() ? QString() : filial.FieldByName(QStringLiteral("NMFILIAL"))->AsString();
    framework::Query& servicos = *m_form.qryServico;
    abreServicos(servicos, branch);
    QSet<QString> services;
    for (servicos.First(); !servicos.Eof(); servicos.Next())
        services.insert(servicos.FieldByName(QStringLiteral("CDSERVFILI"))->AsString());

    const bool moduloFilial = framework::hostContext().ModuFili;
    for (const Seletor& s : seletores) {
        // A selector Desabilita_Filial locked follows the working branch; one merely disabled
        // while its page holds changes keeps the branch those changes are for.
        auto* code = achado<framework::TMaskEdit>(m_form, s.code);
        const bool locked = code && code->property("Tag").toInt() == 99;
        if (!code || !(code->Text().trimmed().isEmpty() || locked || moduloFilial))
            continue;
        const bool replaced = code->Text() != branch;
        code->setText(branch);
        if (auto* name = achado<QLineEdit>(m_form, s.name))
            name->setText(branchName);
        auto* service = achado<framework::TMaskEdit>(m_form, s.service);
        if (!service || !replaced || services.contains(service->Text()))
            continue;
        service->Clear();
        if (auto* serviceName = achado<QLineEdit>(m_form, s.serviceName))
            serviceName->clear();
    }
}

void FilialTrabalho::BloPratLoc() const
{
    const framework::ClientDataSet& prato = *m_form.cdsPrato;
    if (!prato.Active() || prato.IsEmpty())
        return;
    const QString origem = prato.FieldByName(QStringLiteral("CDFILAUXPRAT"))->AsString();
    if (origem != u"P" || flag(m_form.cdsParamPlaneja, "IDBLOPRATLOC") != u"S")
        return;
    const QString answer =
        m_form.netReceitaPadrao
            ->call(QStringLiteral("Verif_PratRecPadrao"), {origem, prato.FieldByName(QStringLiteral("CDPRATO"))->AsString()})
            .toString();
    if (answer == u"N")
        return;
    if (answer == u"S") {
        m_form.msgPadrao->ShowMsg(QStringLiteral("BloRecLoc"), framework::mtError, framework::mbOK);
        throw framework::Abort();
    }
    framework::MensErro(m_form.msgPadrao->Msg(answer));
}

} // namespace recipe
