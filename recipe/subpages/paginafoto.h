#pragma once

#include "paginanumerada.h"

#include <QByteArray>

class QWidget;

namespace framework {
class TDBImage;
class TMaskEdit;
} // namespace framework

namespace recipe {

// The names of one level of the dish photos, beyond those of every numbered level.
struct CamposFoto : NomesNumerados {
    const char* imagem; // imgFtoPad, ...
    QStringList campos; // the dataset's fields in their order (active flag 4th, fit flag 5th)
    const char* ajuste; // IDAJUSFOT...: "S" fit the picture to the control
    const char* foto;   // FGFOTOPRA...: the image file's bytes
};

// One sub-page of the dish photos (standard, branch or service): its dataset of the dish's
// numbered photos, the image control over the visible photo and the rules of the level. The
// branch and service levels are scoped by the selectors given (empty for the standard level).
class PaginaFoto : public PaginaNumerada {
    Q_OBJECT
public:
    PaginaFoto(ContextoReceita& contexto, const CamposFoto& campos, Enviador& enviador, QList<SeletorNivel> seletores);

    const CamposFoto& campos() const { return m_campos; }
    framework::TDBImage* imagem() const { return m_imagem; }

    // Shows nothing of the level until its selector is confirmed; a change the server refused
    // stays.
    void esvazia();

    QString flag() const;  // the visible photo's active flag ("" while inserting or empty)
    bool desativado() const { return flag() == u"2"; }
    bool ajustado() const; // the visible photo's fit flag is "S"

    // The standard level's limits for operation "I", "A" or "E": no standard photo of a local
    // dish, none changed in a branch module. The other levels have none.
    void Vd_FotoPadrao(const QString& operation) const;
    // A photo being edited or inserted must hold a picture ("FOTO_EMPTY").
    void Vd_Foto() const;

    // Toolbar rules of the page table.
    void incluir() override;
    void alterar() override;
    void excluir() override;
    void cancelar() override;

    // The visible photo becomes the active one (the former active one is deactivated), or is
    // deactivated. Each change is sent at once.
    void ativa();
    void desativa();
    // A picture file's bytes, as they are, into the visible photo (put into edit).
    void abre(const QByteArray& bytes);

private:
    QVariantList argumentosCarga(const QStringList& key) const override;
    void criaDataSet();
    void conecta();
    void antesDeIncluir();

    CamposFoto m_campos;
    framework::TDBImage* m_imagem;
};

} // namespace recipe
