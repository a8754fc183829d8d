#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class QWidget;
class TfrmReceitaPadrao;

namespace framework {
class ClientDataSet;
class DataSource;
class TDBImage;
class TMaskEdit;
} // namespace framework

namespace recipe {

class Enviador;

// The names of one level of the dish photos.
struct CamposFoto {
    char letra;             // 'P' standard, 'F' branch, 'S' service
    const char* aba;        // tshFotoPad, ...
    const char* dataSet;    // cdsFotoPraPad, ...
    const char* fonte;      // dtsFotoPraPad, ...
    const char* imagem;     // imgFtoPad, ...
    QStringList campos;     // the dataset's fields in their order (active flag 4th, fit flag 5th)
    QStringList escopo;     // CDFILIAL, CDSERVFILI where the level has them
    const char* numero;     // NRFOTOPRA...
    const char* ativo;      // IDFOTOPRA...: "1" active, "2" deactivated
    const char* ajuste;     // IDAJUSFOT...: "S" fit the picture to the control
    const char* foto;       // FGFOTOPRA...: the image file's bytes
    const char* carga;      // GetFotoPraPad, ...
    const char* atualiza;   // UpdFotoPraPad, ...
};

// One sub-page of the dish photos (standard, branch or service): its dataset of the dish's
// numbered photos, the image control over the visible photo and the rules of the level. The
// branch and service levels are scoped by the selectors given (empty for the standard level).
class PaginaFoto : public QObject {
    Q_OBJECT
public:
    PaginaFoto(TfrmReceitaPadrao& form, const CamposFoto& campos, Enviador& enviador,
               QList<framework::TMaskEdit*> seletores);

    const CamposFoto& campos() const { return m_campos; }
    QWidget* aba() const { return m_aba; }
    framework::ClientDataSet* dataSet() const { return m_dataSet; }
    framework::DataSource* fonte() const { return m_fonte; }
    framework::TDBImage* imagem() const { return m_imagem; }

    // The dish and selector values the level's rows hold, in key order.
    QStringList chave() const;
    bool pertenceAoPrato() const; // the current row is of the current dish (and selectors)
    // Loads the level's photos unless they are being edited or already belong to the dish (no
    // call without a dish, branch or service), then filters the dataset to them.
    void carrega();
    void filtra();
    // Shows nothing of the level until its selector is confirmed.
    void esvazia();

    bool editando() const;
    QString flag() const;  // the visible photo's active flag ("" while inserting or empty)
    bool desativado() const { return flag() == u"2"; }
    bool ajustado() const; // the visible photo's fit flag is "S"

    // The standard level's limits for operation "I", "A" or "E": no standard photo of a local
    // dish, none changed in a branch module. The other levels have none.
    void Vd_FotoPadrao(const QString& operation) const;
    // A photo being edited or inserted must hold a picture ("FOTO_EMPTY").
    void Vd_Foto() const;

    // Toolbar rules of the page table.
    void incluir();
    void alterar();
    void excluir();
    void confirmar();
    void cancelar();

    // The visible photo becomes the active one (the former active one is deactivated), or is
    // deactivated. Each change is sent at once.
    void ativa();
    void desativa();
    // A picture file's bytes, as they are, into the visible photo (put into edit).
    void abre(const QByteArray& bytes);

private:
    void criaDataSet();
    void conecta();
    void antesDeIncluir();
    void novoRegistro();
    void envia();
    void defineAtivo(const QString& flag);
    [[noreturn]] void falha(const char* key, QWidget* control = nullptr) const;

    TfrmReceitaPadrao& m_form;
    CamposFoto m_campos;
    Enviador& m_enviador;
    QList<framework::TMaskEdit*> m_seletores;
    QWidget* m_aba;
    framework::ClientDataSet* m_dataSet;
    framework::DataSource* m_fonte;
    framework::TDBImage* m_imagem;
    QString m_flagNovo; // the flag of the photo being inserted, set before it exists
};

} // namespace recipe
