#pragma once

#include "datapacket.h"
#include "field.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

namespace framework {

class FilterExpression;

enum LocateOption { loCaseInsensitive = 0x1, loPartialKey = 0x2 };
using LocateOptions = int;

// The in-memory table the forms work on: typed fields, a cursor, the edit states, a change log
// to send to the server, filters, indexes and the events forms hook their rules into.
//
// Events named Before... may throw (framework::Abort or any error) to cancel the operation; the
// rows, the state and the cursor are then as they were before it.
class ClientDataSet : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert, CalcFields };
    using Event = std::function<void(ClientDataSet&)>;
    // A bookmark names a record, not a place: it stays valid while the record exists (also when
    // merges and new data move the rows) and is never reused for another record. -1 is none.
    using Bookmark = int;

    explicit ClientDataSet(QObject* parent = nullptr, const QString& name = {});
    ~ClientDataSet() override;

    // --- Structure -------------------------------------------------------------------------
    // Persistent fields are declared before the dataset opens; SetData then maps the packet's
    // columns onto them by name. Without declared fields the packet's columns become the fields.
    Field* AddField(const QString& name, FieldType type, int size = 0);
    Field* AddCalcField(const QString& name, FieldType type, int size = 0);
    Field* FieldByName(const QString& name) const; // throws framework::Error when absent
    Field* FindField(const QString& name) const;   // nullptr when absent
    const QList<Field*>& Fields() const { return m_fields; }
    int FieldCount() const { return int(m_fields.size()); }

    // --- Opening and data ------------------------------------------------------------------
    void CreateDataSet();                 // opens empty with the declared fields
    void SetData(const DataPacket& data); // replaces fields' rows (and log, when it carries one)
    // Every row; statuses and originals while changes are pending. A record being edited goes
    // with its last posted values, as GetDelta sends it.
    DataPacket Data() const;
    void CopyFrom(const ClientDataSet& other) { SetData(other.Data()); }
    void Open();
    void Close();
    bool Active() const { return m_state != State::Inactive; }
    void EmptyDataSet(); // removes every row and forgets the change log

    // --- Cursor ----------------------------------------------------------------------------
    void First();
    void Last();
    void Next();
    void Prior();
    void MoveBy(int distance); // Eof (Bof) only when the move was stopped by the end (start)
    bool Bof() const { return m_bof; }
    bool Eof() const { return m_eof; }
    int RecNo() const; // 1-based position in the current order; 0 when empty
    void SetRecNo(int recNo);
    int RecordCount() const;
    bool IsEmpty() const { return RecordCount() == 0; }
    Bookmark GetBookmark() const;
    bool BookmarkValid(Bookmark bookmark) const;
    void GotoBookmark(Bookmark bookmark); // throws framework::Error when the row is gone

    // --- Editing ---------------------------------------------------------------------------
    State state() const { return m_state; }
    void Insert(); // before the current row
    void Append(); // at the end
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    void CheckBrowseMode(); // posts a pending edit or insertion
    // Controls call this from aboutToPost when their pending edit cannot be written: Post then
    // throws it, so no exception has to cross a signal emission.
    void refusePost(std::exception_ptr failure);

    // --- Change log ------------------------------------------------------------------------
    int ChangeCount() const;
    DataPacket GetDelta() const;
    void MergeChangeLog();
    void CancelUpdates();
    // Takes back the most recent pending change (a posted insertion or edit, a deletion) of one
    // record, leaving the other records' changes pending; with followChange the cursor goes to
    // that record. False when nothing is pending.
    bool UndoLastChange(bool followChange);

    // --- Filter ----------------------------------------------------------------------------
    // Expressions such as: CDPRATO = 'x' and CDFILAUXPRAT = 'P', NMPRATO LIKE 'Arroz%'.
    // A malformed filter throws framework::Error when it is applied.
    const QString& Filter() const { return m_filterText; }
    void setFilter(const QString& filter);
    bool Filtered() const { return m_filtered; }
    void setFiltered(bool filtered);

    // --- Indexes and search ----------------------------------------------------------------
    // Field lists are separated by ';'. Descending fields are a subset of the index's fields.
    void AddIndex(const QString& name, const QString& fields, const QString& descFields = {},
                  const QString& caseInsFields = {});
    void setIndexName(const QString& name); // empty: natural order
    const QString& IndexName() const { return m_indexName; }
    void setIndexFieldNames(const QString& fields); // ascending order on those fields
    QString IndexFieldNames() const;
    bool Locate(const QString& fields, const QVariantList& values, LocateOptions options = 0);
    bool Locate(const QString& field, const QVariant& value, LocateOptions options = 0)
    {
        return Locate(field, QVariantList{value}, options);
    }

    // --- Controls --------------------------------------------------------------------------
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return m_disableCount > 0; }

    // --- Row access for views (grids, trees) -----------------------------------------------
    // Position is the 0-based place in the current order; the current record is at RecNo()-1.
    QVariant valueAt(int position, const Field* field) const;
    QString displayTextAt(int position, Field* field) const;
    int currentPosition() const { return m_pos; }

    // --- Events ----------------------------------------------------------------------------
    Event BeforeInsert, AfterInsert, OnNewRecord;
    Event BeforeEdit, AfterEdit;
    Event BeforePost, AfterPost;
    Event BeforeCancel, AfterCancel;
    Event BeforeDelete, AfterDelete;
    Event BeforeScroll, AfterScroll;
    Event AfterOpen, BeforeClose, AfterClose;
    Event OnCalcFields;

signals:
    // Notifications for data sources; silent while controls are disabled.
    void stateChanged();
    void currentChanged();                // the cursor moved to another record
    void fieldChanged(framework::Field* field); // a value of the current record changed
    void rowsReset();                     // rows, order or filter changed: views reload
    void rowChanged(int position);        // one row's values changed
    void aboutToPost();                   // controls write their pending edits

private:
    friend class Field;
    struct Index {
        QString name;
        QStringList names;   // as declared: fields are found again when SetData rebinds them
        QVector<int> fields; // indexes into m_fields
        QVector<bool> descending;
        QVector<bool> caseInsensitive;
    };
    // Rows stay in the stores until the change log is merged; Dead rows are gone for good.
    enum class RowFlag : quint8 { Unmodified, Inserted, Modified, Deleted, Dead };

    void requireActive() const;
    void requireFieldsDeclarable() const;
    Field* declareField(const QString& name, FieldType type, int size, bool calculated);
    void openStore(const RowStore& store, const QVector<RowStatus>& statuses, const RowStore* originals);
    void bindFields();
    void requireBindable(const FieldDefs& received) const;
    void rebindByName();
    int rowOfBookmark(Bookmark bookmark) const;
    const RowStore& postedValues(int row, int& storeRow) const;
    int currentRow() const; // row in the stores, -1 when none
    QVariant fieldValue(const Field& field, int row) const;
    void writeField(Field& field, const QVariant& value);
    void computeCalcFields(int row);
    void computeAllCalcFields();
    bool passesFilter(int row) const;
    void applyFilter(const QString& text, bool filtered);
    const Index* activeIndex() const;
    Index makeIndex(const QString& name, const QString& fields, const QString& descFields,
                    const QString& caseInsFields) const;
    int compareFieldRows(int fieldIndex, int a, int b, bool caseInsensitive) const;
    bool rowLess(const Index& index, int a, int b) const;
    int compareRowToKey(int row, const QVector<int>& fields, const QVariantList& values, LocateOptions options) const;
    void rebuildView(int keepRow);
    void refreshView();
    void placeRowInView(int row);
    void moveTo(int position);
    void setState(State state);
    void beginInsert(bool append);
    void discardPendingInsert(int restorePos);
    void compact();
    void revertRow(int row);
    QVector<int> fieldIndexes(const QString& names) const;
    void emitStateChanged();
    void notifyReset();
    void notifyCurrent();
    void notifyRowOrReset(bool sameRowsInPlace);

    QList<Field*> m_fields;
    QHash<QString, int> m_byName; // upper-case field name -> index in m_fields
    FieldDefs m_declared;         // declared data fields, in order
    FieldDefs m_calcDefs;
    RowStore m_store;             // data fields (as received)
    RowStore m_calc;              // calculated fields, same row numbers
    RowStore m_originals;         // original values of Modified and Deleted rows
    std::vector<RowFlag> m_flags;
    std::vector<int> m_rowIds;    // row -> its bookmark
    std::vector<int> m_changeOrder; // bookmarks of changed records, oldest first
    int m_nextRowId = 0;
    std::vector<int> m_origIndex; // row -> row in m_originals, -1 when none
    std::vector<int> m_order;     // natural order of the rows that are not Dead
    std::vector<int> m_view;      // rows as the user sees them: filtered and ordered
    int m_pos = -1;               // cursor: index into m_view
    bool m_bof = true;
    bool m_eof = true;
    State m_state = State::Inactive;
    int m_changeCount = 0;

    int m_editRow = -1;     // row being edited or inserted
    RowStore m_editBackup;  // its values when Edit began, for Cancel
    int m_peekRow = -1;     // row read as current while computing or formatting another row

    QString m_filterText;
    bool m_filtered = false;
    std::unique_ptr<FilterExpression> m_filter;

    QList<Index> m_indexes;
    QString m_indexName;
    Index m_fieldNamesIndex; // set through setIndexFieldNames

    int m_disableCount = 0;
    std::exception_ptr m_postFailure;
};

} // namespace framework
