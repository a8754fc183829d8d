#pragma once

#include "maskedit.h"

#include <QDate>

namespace framework {

// An unbound date editor typed as "dd/mm/aaaa". Leaving it with a text that is no date shows
// why and keeps the focus; an empty editor may be left (a required date is the form's check).
class TDateEdit : public TMaskEdit {
    Q_OBJECT
public:
    explicit TDateEdit(QWidget* parent = nullptr, const QString& name = {});

    QDate date() const; // invalid when empty or not a date
    void setDate(const QDate& date);
    bool isEmpty() const;
    // Throws framework::Error when the text is not empty and not a date.
    void validate() const;

protected:
    bool leaving() override;
};

} // namespace framework
