#include "dbrichedit.h"

#include "guard.h"
#include "rtftext.h"
#include "framework/abort.h"

#include <QFile>
#include <QStringDecoder>
#include <QKeyEvent>

namespace framework {

TDBRichEdit::TDBRichEdit(QWidget* parent, const QString& name) : QTextEdit(parent), m_link(new FieldDataLink(this))
{
    setObjectName(name);
    m_link->onDataChange = [this] { showField(); };
    m_link->onStateChange = [this] { refreshState(); };
    m_link->onUpdateData = [this] {
        m_link->edit();
        m_link->field()->setAsBlob(content());
    };
    connect(this, &QTextEdit::textChanged, m_link, [this] {
        if (!m_showing)
            m_link->setModified(true);
    });
    refreshState();
}

void TDBRichEdit::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    refreshState();
}

void TDBRichEdit::refreshState()
{
    QTextEdit::setReadOnly(m_readOnly || !m_link->canModify());
}

QByteArray TDBRichEdit::content() const
{
    return documentToRtf(*document());
}

void TDBRichEdit::display(const QByteArray& content)
{
    if (isRtf(content)) {
        rtfToDocument(content, *document());
    } else {
        QStringDecoder utf8(QStringDecoder::Utf8);
        QString text = utf8.decode(content);
        if (utf8.hasError()) // a text file of the Windows code page
            text = QString::fromLatin1(content);
        setPlainText(text);
    }
    document()->clearUndoRedoStacks();
}

void TDBRichEdit::setContent(const QByteArray& content)
{
    m_showing = true;
    display(content);
    m_showing = false;
}

void TDBRichEdit::showField()
{
    const Field* f = m_link->field();
    setContent(f ? f->AsBlob() : QByteArray());
}

bool TDBRichEdit::startEdit()
{
    bool editing = false;
    guarded([&] { editing = m_link->edit(); });
    return editing;
}

void TDBRichEdit::keyPressEvent(QKeyEvent* event)
{
    const bool changes = !event->text().isEmpty() || event->key() == Qt::Key_Backspace
                         || event->key() == Qt::Key_Delete || event->matches(QKeySequence::Paste)
                         || event->matches(QKeySequence::Cut);
    const bool navigation = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)
                            && !event->matches(QKeySequence::Paste) && !event->matches(QKeySequence::Cut);
    if (!isReadOnly() && changes && !navigation && !startEdit()) {
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void TDBRichEdit::insertFromMimeData(const QMimeData* source)
{
    if (startEdit())
        QTextEdit::insertFromMimeData(source);
}

void TDBRichEdit::focusOutEvent(QFocusEvent* event)
{
    QTextEdit::focusOutEvent(event);
    guarded([this] { m_link->updateRecord(); });
}

void TDBRichEdit::LoadFromFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Não foi possível abrir o arquivo \"%1\".").arg(path));
    display(file.readAll());
}

void TDBRichEdit::SaveToFile(const QString& path) const
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Error(QStringLiteral("Não foi possível gravar o arquivo \"%1\".").arg(path));
    const QByteArray data = content();
    if (file.write(data) != data.size())
        throw Error(QStringLiteral("Não foi possível gravar o arquivo \"%1\".").arg(path));
}

} // namespace framework
