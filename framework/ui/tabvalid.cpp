#include "tabvalid.h"

#include "messages.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"

namespace framework {

namespace {

bool fitsPicture(const QString& code, const QString& picture)
{
    // The picture's characters without its separators, one per code position.
    QString shape = picture;
    shape.remove(QLatin1Char('.'));
    for (int i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == QLatin1Char(' '))
            continue; // a level not filled in: the callers refuse it with their own message
        switch (i < shape.size() ? shape[i].toUpper().unicode() : u'9') {
        case u'9':
            if (!c.isDigit())
                return false;
            break;
        case u'A':
            if (!c.isLetter())
                return false;
            break;
        case u'N':
            if (!c.isLetterOrNumber())
                return false;
            break;
        default:
            break;
        }
    }
    return true;
}

bool endsAtLevel(const TDBPicture& picture, const QString& code)
{
    for (int level = 1; level <= picture.GetTtNiveis(); ++level) {
        if (picture.TamAcNivel(level) == code.size())
            return true;
    }
    return false;
}

} // namespace

bool Tabvalid::ValidEx(DataSource* /*source: see header*/, int kind, QString& code, int option,
                       const QString& message, bool raise)
{
    const TDBPicture picture = hostContext().DBPictObj(kind);
    QString adjusted = code;
    adjusted.remove(QLatin1Char('.'));
    while (adjusted.endsWith(QLatin1Char(' ')))
        adjusted.chop(1);
    code = adjusted;

    const bool complete = picture.GetTtNiveis() > 0 && adjusted.size() == picture.TamAcNivel(picture.GetTtNiveis());
    const bool valid = !adjusted.isEmpty() && endsAtLevel(picture, adjusted) && fitsPicture(adjusted, picture.picture())
                       && (option != voNivelCompleto || complete);
    if (valid || !raise)
        return valid;
    if (!message.isEmpty())
        MensErro(message);
    const QString key = option == voNivelCompleto && endsAtLevel(picture, adjusted) ? QStringLiteral("Codigo_NivInc")
                                                                                    : QStringLiteral("Codigo_Inv");
    MensErro(msgMensagensPadroes().Msg(key, {picture.picture()}));
    return false;
}

void Seta_Campo_Null(ClientDataSet& dataSet)
{
    for (Field* field : dataSet.Fields()) {
        if (field->Calculated() || field->DataType() != FieldType::String || field->IsNull())
            continue;
        if (field->AsString().trimmed().isEmpty())
            field->Clear();
    }
}

} // namespace framework
