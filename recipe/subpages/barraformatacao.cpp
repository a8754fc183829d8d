#include "barraformatacao.h"

#include "framework/ui/dialogs.h"
#include "framework/ui/guard.h"

#include <QComboBox>
#include <QFontComboBox>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextList>
#include <QToolButton>

using framework::guardedConnect;

namespace recipe {

BarraFormatacao::BarraFormatacao(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("fpnReceita"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    cbxFonte = new QFontComboBox(this);
    cbxFonte->setObjectName(QStringLiteral("cbxFonte"));
    cbxFonte->setMaximumWidth(180); // the longest family names would widen the whole form
    cbxTamanho = new QComboBox(this);
    cbxTamanho->setObjectName(QStringLiteral("cbxTamanho"));
    cbxTamanho->setEditable(true);
    for (int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 24, 28, 36, 48, 72})
        cbxTamanho->addItem(QString::number(size));
    row->addWidget(cbxFonte);
    row->addWidget(cbxTamanho);

    sbtColar = botao("sbtColar", QStringLiteral("Colar"), false);
    sbtDesfazer = botao("sbtDesfazer", QStringLiteral("Desfazer"), false);
    sbtNegrito = botao("sbtNegrito", QStringLiteral("Negrito"), true);
    sbtItalico = botao("sbtItalico", QStringLiteral("Itálico"), true);
    sbtSublinhado = botao("sbtSublinhado", QStringLiteral("Sublinhado"), true);
    sbtEsquerda = botao("sbtEsquerda", QStringLiteral("Alinhar à esquerda"), true);
    sbtCentro = botao("sbtCentro", QStringLiteral("Centralizar"), true);
    sbtDireita = botao("sbtDireita", QStringLiteral("Alinhar à direita"), true);
    sbtMarcadores = botao("sbtMarcadores", QStringLiteral("Marcadores"), true);
    sbtCor = botao("sbtCor", QStringLiteral("Cor"), false);
    sbtRecortar = botao("sbtRecortar", QStringLiteral("Recortar"), false);
    sbtCopiar = botao("sbtCopiar", QStringLiteral("Copiar"), false);
    // The style buttons show their letter in their own style, as word processors do; the tip
    // keeps the whole name. Long captions would make the bar wider than the form.
    const auto letra = [](QToolButton* button, const QString& text, void (QFont::*style)(bool)) {
        QFont font = button->font();
        (font.*style)(true);
        button->setFont(font);
        button->setText(text);
    };
    letra(sbtNegrito, QStringLiteral("N"), &QFont::setBold);
    letra(sbtItalico, QStringLiteral("I"), &QFont::setItalic);
    letra(sbtSublinhado, QStringLiteral("S"), &QFont::setUnderline);
    sbtEsquerda->setText(QStringLiteral("Esquerda"));
    sbtDireita->setText(QStringLiteral("Direita"));

    guardedConnect(sbtColar, &QToolButton::clicked, this, [this] { altera([](QTextEdit& e) { e.paste(); }); });
    guardedConnect(sbtDesfazer, &QToolButton::clicked, this, [this] { altera([](QTextEdit& e) { e.undo(); }); });
    guardedConnect(sbtNegrito, &QToolButton::clicked, this, [this](bool on) { negrito(on); });
    guardedConnect(sbtItalico, &QToolButton::clicked, this, [this](bool on) { italico(on); });
    guardedConnect(sbtSublinhado, &QToolButton::clicked, this, [this](bool on) { sublinhado(on); });
    guardedConnect(sbtEsquerda, &QToolButton::clicked, this, [this] { alinha(Qt::AlignLeft); });
    guardedConnect(sbtCentro, &QToolButton::clicked, this, [this] { alinha(Qt::AlignHCenter); });
    guardedConnect(sbtDireita, &QToolButton::clicked, this, [this] { alinha(Qt::AlignRight); });
    guardedConnect(sbtMarcadores, &QToolButton::clicked, this, [this](bool on) { marcadores(on); });
    guardedConnect(sbtCor, &QToolButton::clicked, this, [this] { cor(); });
    guardedConnect(sbtRecortar, &QToolButton::clicked, this, [this] {
        if (m_editor)
            m_editor->cut();
    });
    guardedConnect(sbtCopiar, &QToolButton::clicked, this, [this] {
        if (m_editor)
            m_editor->copy();
    });
    // The font lists follow the buttons, which the form's enabling rules switch.
    framework::installGuardedEventFilter(sbtNegrito, [this](QObject*, QEvent* event) {
        if (event->type() == QEvent::EnabledChange) {
            cbxFonte->setEnabled(sbtNegrito->isEnabled());
            cbxTamanho->setEnabled(sbtNegrito->isEnabled());
        }
        return false;
    });
    guardedConnect(cbxFonte, &QFontComboBox::textActivated, this, [this](const QString& family) { fonte(family); });
    guardedConnect(cbxTamanho, &QComboBox::textActivated, this, [this](const QString& text) {
        bool ok = false;
        const double points = text.toDouble(&ok);
        if (ok && points > 0)
            tamanho(points);
    });
}

QToolButton* BarraFormatacao::botao(const char* name, const QString& tip, bool checkable)
{
    auto* button = new QToolButton(this);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(tip);
    button->setToolTip(tip);
    button->setCheckable(checkable);
    layout()->addWidget(button);
    return button;
}

void BarraFormatacao::setEditor(QTextEdit* editor)
{
    disconnect(m_cursorConnection);
    m_editor = editor;
    if (editor)
        m_cursorConnection = connect(editor, &QTextEdit::cursorPositionChanged, this, [this] { mostraFormato(); });
    mostraFormato();
}

void BarraFormatacao::altera(const std::function<void(QTextEdit&)>& command)
{
    if (!m_editor)
        return;
    if (antesDeAlterar)
        antesDeAlterar();
    command(*m_editor);
    m_editor->setFocus();
    mostraFormato();
}

void BarraFormatacao::aplica(const QTextCharFormat& format)
{
    altera([&format](QTextEdit& e) {
        QTextCursor cursor = e.textCursor();
        if (!cursor.hasSelection())
            cursor.select(QTextCursor::WordUnderCursor);
        cursor.mergeCharFormat(format);
        e.mergeCurrentCharFormat(format);
    });
}

void BarraFormatacao::negrito(bool on)
{
    QTextCharFormat f;
    f.setFontWeight(on ? QFont::Bold : QFont::Normal);
    aplica(f);
}

void BarraFormatacao::italico(bool on)
{
    QTextCharFormat f;
    f.setFontItalic(on);
    aplica(f);
}

void BarraFormatacao::sublinhado(bool on)
{
    QTextCharFormat f;
    f.setFontUnderline(on);
    aplica(f);
}

void BarraFormatacao::fonte(const QString& family)
{
    QTextCharFormat f;
    f.setFontFamilies(QStringList{family});
    aplica(f);
}

void BarraFormatacao::tamanho(double points)
{
    QTextCharFormat f;
    f.setFontPointSize(points);
    aplica(f);
}

void BarraFormatacao::alinha(Qt::Alignment alignment)
{
    altera([alignment](QTextEdit& e) { e.setAlignment(alignment); });
}

void BarraFormatacao::marcadores(bool on)
{
    altera([on](QTextEdit& e) {
        QTextCursor cursor = e.textCursor();
        QTextList* list = cursor.currentList();
        if (on && !list) {
            cursor.createList(QTextListFormat::ListDisc);
        } else if (!on && list) {
            const QTextBlock first = e.document()->findBlock(cursor.selectionStart());
            const QTextBlock last = e.document()->findBlock(cursor.selectionEnd());
            for (QTextBlock block = first; block.isValid(); block = block.next()) {
                if (QTextList* own = block.textList())
                    own->remove(block);
                QTextCursor c(block);
                QTextBlockFormat format = block.blockFormat();
                format.setIndent(0);
                c.setBlockFormat(format);
                if (block == last)
                    break;
            }
        }
    });
}

void BarraFormatacao::cor()
{
    if (!m_editor)
        return;
    if (antesDeAlterar)
        antesDeAlterar();
    const std::optional<QColor> color = framework::dialogs().chooseColor(m_editor->textColor());
    if (!color)
        return;
    QTextCharFormat f;
    f.setForeground(*color);
    aplica(f);
}

void BarraFormatacao::mostraFormato()
{
    if (!m_editor)
        return;
    const QTextCharFormat f = m_editor->currentCharFormat();
    const Qt::Alignment align = m_editor->alignment() & Qt::AlignHorizontal_Mask;
    const std::pair<QToolButton*, bool> states[] = {
        {sbtNegrito, f.fontWeight() >= QFont::DemiBold},
        {sbtItalico, f.fontItalic()},
        {sbtSublinhado, f.fontUnderline()},
        {sbtEsquerda, !(align & (Qt::AlignHCenter | Qt::AlignRight))},
        {sbtCentro, bool(align & Qt::AlignHCenter)},
        {sbtDireita, bool(align & Qt::AlignRight)},
        {sbtMarcadores, m_editor->textCursor().currentList() != nullptr},
    };
    for (const auto& [button, on] : states)
        button->setChecked(on);
    const QSignalBlocker blockFont(cbxFonte);
    const QSignalBlocker blockSize(cbxTamanho);
    const QStringList families = f.fontFamilies().toStringList();
    cbxFonte->setCurrentFont(QFont(families.isEmpty() ? m_editor->document()->defaultFont().family() : families.first()));
    const double points = f.fontPointSize() > 0 ? f.fontPointSize() : m_editor->document()->defaultFont().pointSizeF();
    cbxTamanho->setEditText(QString::number(points));
}

} // namespace recipe
