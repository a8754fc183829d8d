#pragma once

#include "fielddef.h"

#include <QByteArray>
#include <QDateTime>
#include <QSharedDataPointer>
#include <QVariant>
#include <string_view>

namespace framework {

// Column-wise storage of typed rows. Strings live UTF-8 encoded in one pool per column, numbers
// in plain arrays, so that a hundred thousand rows of two dozen fields stay compact. Copies share
// the storage until one of them writes (implicit sharing), which makes packets cheap to pass on.
//
// Values cross the interface as QVariant: an invalid QVariant is null. Date-times are wall-clock
// values (no time zone): whatever QDateTime comes in, its date and time are kept, and they come
// back as a QDateTime in UTC with that date and time.
class RowStore {
public:
    RowStore();
    explicit RowStore(const FieldDefs& fields);
    RowStore(const RowStore&);
    RowStore& operator=(const RowStore&);
    ~RowStore();

    const FieldDefs& fields() const;
    int columnCount() const;
    int rowCount() const;
    int indexOf(const QString& name) const; // case-insensitive; -1 when absent

    void reserve(int rows);
    int appendRow(); // a row of nulls; returns its index
    void clear();    // removes every row, keeps the columns

    QVariant value(int row, int col) const;
    // Converts to the column's type; a null or empty variant (and an empty string) stores null.
    // Throws framework::Error when the value cannot be converted.
    void setValue(int row, int col, const QVariant& value);
    // Stores a value as the database or the wire gave it: an empty text stays an empty text
    // (not null) and a text longer than the column is kept whole, so that the row's original
    // values go back exactly as they were read.
    void load(int row, int col, const QVariant& value);
    void setNull(int row, int col);
    bool isNull(int row, int col) const;

    // Fast typed writes for packet decoders, with the value already of the column's kind: UTF-8
    // text for a String column (empty stores null; cut to the field's size), a double for a Float
    // column, the stored integer of an Integer, Boolean (0/1) or DateTime column (wall-clock
    // milliseconds since 1970 read as UTC).
    void setUtf8(int row, int col, const char* data, qsizetype size);
    void setDouble(int row, int col, double value);
    void setStoredInteger(int row, int col, qint64 value);

    // Fast typed reads; a null reads as empty text, 0 or false.
    QString text(int row, int col) const;
    QByteArray utf8(int row, int col) const;
    std::string_view utf8View(int row, int col) const; // String columns: the stored bytes, no copy
    double number(int row, int col) const; // Float, Integer, Boolean and DateTime (msecs) columns
    qint64 integer(int row, int col) const;

    // Orders two rows by one column: nulls first, texts by code point (or ignoring case).
    int compareRows(int rowA, int rowB, int col, bool caseInsensitive = false) const;
    // Orders a row's value against a value of any type converted to the column's type.
    int compareValue(int row, int col, const QVariant& value, bool caseInsensitive = false) const;

    // Copies one row of a store with the same columns (by position) over row dstRow.
    void copyRow(int dstRow, const RowStore& src, int srcRow);
    // Appends the rows of src, matching columns by name; columns src lacks stay null.
    void appendRowsByName(const RowStore& src, const QVector<int>& srcRows);

    // Memory the storage holds, for benchmarks.
    qint64 bytesUsed() const;

    // Converts a value to the representation a column of this type holds; throws on failure.
    static QVariant convert(const QVariant& value, FieldType type);
    // Reads "yyyy-MM-ddTHH:mm:ss.zzz", "dd/MM/yyyy HH:mm" and the like; invalid when none fits.
    // A trailing zone ("Z", "+00:00", "-0300", "-03") is dropped: the wall-clock value stays.
    static QDateTime parseDateTime(const QString& text);

private:
    struct Data;
    QSharedDataPointer<Data> d;
};

} // namespace framework
