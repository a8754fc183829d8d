#pragma once

#include "datalink.h"

#include <QTextEdit>

namespace framework {

// A rich-text editor over a blob field. The field keeps the text as RTF, which other programs
// reading these texts expect; a blob holding anything else is shown as plain text. Typing puts a
// browsing dataset into edit; the text reaches the field when the editor is left and before the
// dataset posts.
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
    QByteArray content() const;
    // Shows stored content: RTF, or anything else as plain text (UTF-8, else Windows-1252).
    void setContent(const QByteArray& content);

    // Files are read by their content (RTF or plain text) and always written as RTF. Loading
    // marks the editor as changed (the text reaches the field like typing). Throw
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
    void display(const QByteArray& content);
    void refreshState();
    bool startEdit();

    FieldDataLink* m_link;
    bool m_readOnly = false;
    bool m_showing = false;
};

} // namespace framework
