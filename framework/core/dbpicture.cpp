#include "framework/core/dbpicture.h"

namespace framework {

TDBPicture::TDBPicture(const QString& picture)
    : m_picture(picture.trimmed())
{
    const auto groups = m_picture.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    for (const QString& group : groups)
        m_widths.append(int(group.size()));
}

int TDBPicture::Nivel(const QString& code) const
{
    const auto length = code.trimmed().size();
    int level = 0;
    while (level < GetTtNiveis() && TamAcNivel(level + 1) <= length)
        ++level;
    return level;
}

int TDBPicture::TamNivel(int level) const
{
    return level >= 1 && level <= GetTtNiveis() ? m_widths.at(level - 1) : 0;
}

int TDBPicture::TamAcNivel(int level) const
{
    if (level < 1 || level > GetTtNiveis())
        return 0;
    int width = 0;
    for (int i = 0; i < level; ++i)
        width += m_widths.at(i);
    return width;
}

int TDBPicture::AntNivel(int level) const
{
    return level >= 1 && level <= GetTtNiveis() ? TamAcNivel(level - 1) : 0;
}

bool TDBPicture::isLastLevel(const QString& code) const
{
    return GetTtNiveis() > 0 && Nivel(code) == GetTtNiveis();
}

QString TDBPicture::parentCode(const QString& code) const
{
    if (!isLastLevel(code))
        return code;
    return code.trimmed().left(AntNivel(GetTtNiveis()));
}

QString TDBPicture::editMask() const
{
    QString mask;
    for (const QChar c : m_picture) {
        switch (c.toUpper().unicode()) {
        case '.':
            break;
        case '9':
            mask += QLatin1Char('0'); // optional digit
            break;
        case 'A':
            mask += QLatin1Char('a'); // optional letter
            break;
        case 'N':
            mask += QLatin1Char('n'); // optional letter or digit
            break;
        default:
            mask += QLatin1Char('x'); // optional anything
            break;
        }
    }
    return mask;
}

} // namespace framework
