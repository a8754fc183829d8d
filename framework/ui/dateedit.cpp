#include "dateedit.h"

#include "framework/abort.h"

namespace framework {

namespace {
const QString dateFormat = QStringLiteral("dd/MM/yyyy");
}

TDateEdit::TDateEdit(QWidget* parent, const QString& name) : TMaskEdit(parent, name)
{
    setEditMask(QStringLiteral("00/00/0000;1; "));
}

QDate TDateEdit::date() const
{
    return QDate::fromString(Text(), dateFormat);
}

void TDateEdit::setDate(const QDate& date)
{
    setText(date.isValid() ? date.toString(dateFormat) : QString());
}

bool TDateEdit::isEmpty() const
{
    return QString(Text()).remove(QLatin1Char('/')).trimmed().isEmpty();
}

void TDateEdit::validate() const
{
    if (!isEmpty() && !date().isValid())
        throw Error(QStringLiteral("\"%1\" não é uma data válida.").arg(Text()));
}

bool TDateEdit::leaving()
{
    validate();
    return true;
}

} // namespace framework
