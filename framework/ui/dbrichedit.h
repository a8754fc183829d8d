#pragma once

#include "datalink.h"

#include <QTextEdit>

namespace framework {

// A rich-text editor over a blob field. The field keeps the text as HTML (UTF-8), which Qt reads
// and writes without loss; a blob holding RTF (files imported elsewhere) or plain text is shown
// too. Typing puts a browsing dataset into edit; the text reaches the field when the editor is
// left and before the dataset posts.
class TDBRichEdit : public QTextEdit {
    Q_OBJECT
public:
    explicit TDBRichEdit(QWidget* parent = nullptr, const QString& name = {});

    framework::DataSource* DataSource() const { return m_link->DataSource(); }
    void setDataSource(framework::DataSource* source) { m_link->setDataSource(source); }
    const QString& DataField() const { return m_link->DataField(); }
    void setDataField(const QString& name) { m_link->setDataField(name); }

    // Hides QTextEdit::setReadOnly on purpose: the editor is also read-only without data.
    void setReadOnly(bool readOnly);
    bool ReadOnly() const { return m_readOnly; }
    bool IsEmptyText() const { return toPlainText().trimmed().isEmpty(); }

    // The content as it is stored in the field.
    QByteArray content() const { return toHtml().toUtf8(); }
    // Shows stored content (HTML, RTF or plain text).
    void setContent(const QByteArray& content);

    // Files: ".rtf" read and written as RTF, ".htm"/".html" as HTML, anything else as plain text.
    // Loading marks the editor as changed (the text reaches the field like typing). Throw
    // framework::Error when the file cannot be read or written.
    void LoadFromFile(const QString& path);
    void SaveToFile(const QString& path) const;

    void updateRecord() { m_link->updateRecord(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void showField();
    void refreshState();
    bool startEdit();

    FieldDataLink* m_link;
    bool m_readOnly = false;
    bool m_showing = false;
};

} // namespace framework
