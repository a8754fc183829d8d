#pragma once

#include <QWidget>
#include <functional>

class QComboBox;
class QFontComboBox;
class QTextCharFormat;
class QTextEdit;
class QToolButton;

namespace recipe {

// The text-formatting bar of the preparation texts (fpnReceita): paste, undo, bold, italic,
// underline, left, centre, right, bullets and colour buttons, the font name and size, and cut and
// copy last (the enabling rules leave those two alone). It acts on the editor attached; every
// command but cut and copy first asks `antesDeAlterar`, which may refuse by throwing.
class BarraFormatacao : public QWidget {
    Q_OBJECT
public:
    explicit BarraFormatacao(QWidget* parent);

    void setEditor(QTextEdit* editor);
    QTextEdit* editor() const { return m_editor; }
    std::function<void()> antesDeAlterar;

    QToolButton *sbtColar, *sbtDesfazer, *sbtNegrito, *sbtItalico, *sbtSublinhado, *sbtEsquerda, *sbtCentro,
        *sbtDireita, *sbtMarcadores, *sbtCor, *sbtRecortar, *sbtCopiar;
    QFontComboBox* cbxFonte;
    QComboBox* cbxTamanho;

    // The commands, as the buttons run them.
    void negrito(bool on);
    void italico(bool on);
    void sublinhado(bool on);
    void alinha(Qt::Alignment alignment);
    void marcadores(bool on);
    void cor();
    void fonte(const QString& family);
    void tamanho(double points);

private:
    QToolButton* botao(const char* name, const QString& tip, bool checkable);
    // Runs an altering command on the attached editor, after antesDeAlterar.
    void altera(const std::function<void(QTextEdit&)>& command);
    void aplica(const QTextCharFormat& format);
    void mostraFormato(); // the buttons follow the text at the cursor

    QTextEdit* m_editor = nullptr;
    QMetaObject::Connection m_cursorConnection;
};

} // namespace recipe
