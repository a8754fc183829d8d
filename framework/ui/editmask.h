#pragma once

#include <QString>
#include <QVector>

namespace framework {

// The edit masks the forms write ("9999", ">aaaa", "ccccc", "!999:99;0; ", "#######;0; ")
// translated to a Qt input mask, with the conversion between what the edit shows and the value
// it stores.
//
// Mask language: "mask[;save literals (0/1, default 1)[;blank char]]". In the mask:
//   0 digit required     9 digit optional     # digit or sign optional
//   L letter required    l letter optional    A letter/digit required   a letter/digit optional
//   C any char required  c any char optional
//   > uppercase from here    < lowercase    <> no case change    \x the literal x
//   ! optional positions are blanks on the left: the value is aligned right and stored
//     without its leading blanks (without "!" it is aligned left and loses trailing blanks)
//   anything else is a literal (":" "/" "-" ...), stored only when literals are saved.
// The mapping onto Qt's letters: 0->9, 9->0, #->#, L->A, l->a, A->N, a->n, C->X, c->x,
// ">" "<" as they are, "<>" -> "!"; literals that Qt reads as mask letters are escaped.
class EditMask {
public:
    EditMask() = default;
    explicit EditMask(const QString& mask);

    bool isEmpty() const { return m_slots.isEmpty(); }
    const QString& source() const { return m_source; }
    QString qtInputMask() const; // for QLineEdit::setInputMask; empty for an empty mask
    bool saveLiterals() const { return m_saveLiterals; }
    QChar blank() const { return m_blank; }

    // The stored value of what the edit shows (QLineEdit::displayText()).
    QString valueOf(const QString& displayText) const;
    // What the edit shows for a stored value (for QLineEdit::setText).
    QString displayOf(const QString& value) const;
    // The position just past the last input position holding a character (0 when none): where
    // typing goes on.
    int endOfInput(const QString& displayText) const;

private:
    struct Slot {
        bool literal = false;
        QChar character; // the literal, or the Qt mask letter of an input position
    };
    QString m_source;
    QVector<Slot> m_slots;
    QString m_qtCase; // case switches, kept by position in m_qtMask
    QString m_qtMask;
    bool m_saveLiterals = true;
    bool m_alignRight = false;
    QChar m_blank = QLatin1Char('_');
};

} // namespace framework
