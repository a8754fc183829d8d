#pragma once

#include <QList>
#include <QString>

namespace framework {

// A code picture: the shape of a hierarchical code (dish or product) cut into levels.
//
// Picture text: groups of characters separated by '.', one group per level, the group's length
// being the level's width. "9.99.999.9999" has 4 levels of widths 1, 2, 3 and 4. Codes are
// stored without separators, so a complete code of that picture has 10 characters ("1010010001")
// and "101" is the group of level 2. Each picture character also says what may be typed there:
// '9' a digit, 'A' a letter, 'N' a letter or a digit, any other character anything.
// Empty groups are ignored; an empty picture has no levels.
//
// Level numbers start at 1. Every function given a level outside 1..GetTtNiveis() answers 0.
class TDBPicture {
public:
    explicit TDBPicture(const QString& picture = {});

    const QString& picture() const { return m_picture; }

    int GetTtNiveis() const { return int(m_widths.size()); }

    // The level a code reaches, by its trimmed length: the deepest level whose accumulated width
    // the code fills. A code between two levels has reached only the upper one ("1010" in the
    // picture above is level 2), so it is never taken for a complete code; a code longer than
    // the picture counts as the last level. 0 for an empty code.
    int Nivel(const QString& code) const;

    int TamNivel(int level) const;   // width of the level
    int TamAcNivel(int level) const; // accumulated width up to and including the level
    int AntNivel(int level) const;   // accumulated width of the level before (0 for level 1)

    // A code at the last level is an item proper (dish, product); shorter codes are groups.
    bool isLastLevel(const QString& code) const;
    // The group an item belongs to: a code at the last level cut to the previous level's
    // accumulated width; any other code is returned as it is.
    QString parentCode(const QString& code) const;
    // A Qt input mask for a code of this picture (without separators); every position optional,
    // so that group codes can be typed too. Empty for an empty picture.
    QString editMask() const;

private:
    QString m_picture;
    QList<int> m_widths;
};

} // namespace framework
