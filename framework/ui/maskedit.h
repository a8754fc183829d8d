#pragma once

#include "editmask.h"

#include <QLineEdit>

namespace framework {

// The unbound masked edit of the forms (med...). Its text is the stored value of the mask
// (see EditMask): Text() gives it and setText takes it, whatever the edit shows.
// entered() and exited() mark the focus coming and going, for the forms' enter and exit rules.
class TMaskEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TMaskEdit(QWidget* parent = nullptr, const QString& name = {});

    void setEditMask(const QString& mask);
    const EditMask& editMask() const { return m_mask; }

    QString Text() const;
    // Hides QLineEdit::setText on purpose: a masked edit is given values, not display texts.
    void setText(const QString& value);
    void Clear() { setText(QString()); }

signals:
    void entered();
    void exited();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Runs before exited(); false keeps the focus here (a refused edit).
    virtual bool leaving() { return true; }
    // Runs on entering before entered().
    virtual void entering() {}

private:
    void keepCursorInInput();

    EditMask m_mask;
};

} // namespace framework
