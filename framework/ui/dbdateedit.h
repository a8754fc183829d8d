#pragma once

#include "dbedit.h"

namespace framework {

// An edit of a date field typed as "dd/mm/aaaa". An empty edit stores null; a text that is no
// date is refused (the focus stays). With an OnSetText handler the field receives the text.
class TDBDateEdit : public TDBEdit {
    Q_OBJECT
public:
    explicit TDBDateEdit(QWidget* parent = nullptr, const QString& name = {});

    QDate date() const; // invalid when empty or not a date

protected:
    void writeValue(Field& field) override;
};

} // namespace framework
