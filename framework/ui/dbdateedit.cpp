#include "dbdateedit.h"

#include "framework/abort.h"
#include "framework/data/field.h"

namespace framework {

namespace {
const QString dateFormat = QStringLiteral("dd/MM/yyyy");
}

TDBDateEdit::TDBDateEdit(QWidget* parent, const QString& name) : TDBEdit(parent, name)
{
    setEditMask(QStringLiteral("00/00/0000;1; "));
}

QDate TDBDateEdit::date() const
{
    return QDate::fromString(Text(), dateFormat);
}

void TDBDateEdit::writeValue(Field& field)
{
    const QString text = Text();
    if (field.OnSetText) {
        field.setText(text);
        return;
    }
    if (QString(text).remove(QLatin1Char('/')).trimmed().isEmpty()) {
        field.Clear();
        return;
    }
    const QDate typed = date();
    if (!typed.isValid())
        throw Error(QStringLiteral("\"%1\" não é uma data válida.").arg(Text()));
    field.setAsDateTime(QDateTime(typed, QTime(0, 0)));
}

} // namespace framework
