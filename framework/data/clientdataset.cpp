#include "clientdataset.h"

#include "filterexpression.h"
#include "framework/abort.h"

#include <QScopeGuard>
#include <QSet>
#include <algorithm>

namespace framework {

namespace {

QStringList splitNames(const QString& names)
{
    QStringList list;
    for (const QString& n : names.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (!n.trimmed().isEmpty())
            list.append(n.trimmed());
    return list;
}

// Runs a Before... event; an exception from it cancels the operation before anything changed.
void fire(const ClientDataSet::Event& event, ClientDataSet& dataSet)
{
    if (event)
        event(dataSet);
}

} // namespace

ClientDataSet::ClientDataSet(QObject* parent, const QString& name) : QObject(parent)
{
    setObjectName(name);
    connect(this, &QObject::objectNameChanged, this, [this](const QString& newName) {
        for (Field* f : m_fields)
            f->setObjectName(newName + f->FieldName());
    });
}

ClientDataSet::~ClientDataSet() = default;

// --- Structure ------------------------------------------------------------------------------

void ClientDataSet::requireFieldsDeclarable() const
{
    if (Active())
        throw Error(QStringLiteral("Os campos de '%1' não podem ser definidos com o conjunto aberto.").arg(objectName()));
}

Field* ClientDataSet::declareField(const QString& name, FieldType type, int size, bool calculated)
{
    requireFieldsDeclarable();
    if (FindField(name))
        throw Error(QStringLiteral("Campo '%1' duplicado em '%2'.").arg(name, objectName()));
    FieldDef def;
    def.name = name;
    def.type = type;
    def.size = size;
    if (calculated)
        def.providerFlags = 0; // computed here, never sent
    else
        m_declared.append(def);
    auto* field = new Field(this, def, calculated);
    m_fields.append(field);
    m_byName.insert(name.toUpper(), int(m_fields.size()) - 1);
    return field;
}

Field* ClientDataSet::AddField(const QString& name, FieldType type, int size)
{
    return declareField(name, type, size, false);
}

Field* ClientDataSet::AddCalcField(const QString& name, FieldType type, int size)
{
    return declareField(name, type, size, true);
}

Field* ClientDataSet::FindField(const QString& name) const
{
    const int index = m_byName.value(name.toUpper(), -1);
    return index >= 0 ? m_fields[index] : nullptr;
}

Field* ClientDataSet::FieldByName(const QString& name) const
{
    if (Field* f = FindField(name))
        return f;
    throw Error(QStringLiteral("Campo '%1' não encontrado em '%2'.").arg(name, objectName()));
}

QVector<int> ClientDataSet::fieldIndexes(const QString& names) const
{
    QVector<int> result;
    for (const QString& n : splitNames(names))
        result.append(int(m_fields.indexOf(FieldByName(n))));
    return result;
}

// --- Opening --------------------------------------------------------------------------------

void ClientDataSet::requireActive() const
{
    if (!Active())
        throw Error(QStringLiteral("O conjunto de dados '%1' não está aberto.").arg(objectName()));
}

void ClientDataSet::CreateDataSet()
{
    if (m_declared.isEmpty())
        throw Error(QStringLiteral("O conjunto de dados '%1' não tem campos definidos.").arg(objectName()));
    openStore(RowStore(m_declared), {}, nullptr);
}

void ClientDataSet::Open()
{
    if (!Active())
        CreateDataSet();
}

void ClientDataSet::SetData(const DataPacket& data)
{
    openStore(data.rows, data.carriesLog ? data.status : QVector<RowStatus>{}, data.carriesLog ? &data.originals : nullptr);
}

void ClientDataSet::openStore(const RowStore& store, const QVector<RowStatus>& statuses, const RowStore* originals)
{
    // Everything that can refuse the data is checked before anything changes.
    if (!m_declared.isEmpty()) {
        for (const FieldDef& def : std::as_const(m_declared))
            if (store.indexOf(def.name) < 0)
                throw Error(QStringLiteral("Campo '%1' de '%2' não veio nos dados recebidos.").arg(def.name, objectName()));
    } else {
        requireBindable(store.fields());
    }
    if (Active() && BeforeClose)
        BeforeClose(*this);

    m_store = store;
    m_state = State::Browse;
    m_editRow = -1;
    m_peekRow = -1;
    bindFields();
    rebindByName();

    const int rows = m_store.rowCount();
    m_flags.assign(rows, RowFlag::Unmodified);
    m_origIndex.assign(rows, -1);
    m_changeOrder.clear();
    m_rowIds.resize(rows);
    for (int& id : m_rowIds)
        id = m_nextRowId++;
    m_originals = RowStore(m_store.fields());
    m_changeCount = 0;
    for (int r = 0; r < int(statuses.size()) && r < rows; ++r) {
        const RowStatus s = statuses[r];
        m_flags[r] = RowFlag(int(s));
        if (s != RowStatus::Unmodified)
            ++m_changeCount;
        if (originals && (s == RowStatus::Modified || s == RowStatus::Deleted)) {
            m_origIndex[r] = m_originals.appendRow();
            m_originals.copyRow(m_origIndex[r], *originals, r);
        }
    }
    m_calc = RowStore(m_calcDefs);
    m_calc.reserve(rows);
    for (int r = 0; r < rows; ++r)
        m_calc.appendRow();
    m_order.resize(rows);
    for (int r = 0; r < rows; ++r)
        m_order[r] = r;
    // A failing OnCalcFields leaves the new rows shown (with what it computed) before it is
    // reported: never a view over rows that are gone.
    std::exception_ptr calcFailure;
    try {
        computeAllCalcFields();
    } catch (...) {
        calcFailure = std::current_exception();
    }
    rebuildView(-1);
    m_pos = m_view.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_view.empty();
    emitStateChanged();
    notifyReset();
    if (calcFailure)
        std::rethrow_exception(calcFailure);
    fire(AfterOpen, *this);
    fire(AfterScroll, *this);
}

void ClientDataSet::bindFields()
{
    if (m_declared.isEmpty()) {
        // Fields follow the packet; those with the same name and type keep their object.
        QList<Field*> kept;
        for (const FieldDef& def : m_store.fields()) {
            Field* existing = FindField(def.name);
            if (existing && !existing->Calculated() && existing->DataType() == def.type) {
                existing->m_def = def;
                kept.append(existing);
            } else {
                kept.append(new Field(this, def, false));
            }
        }
        for (Field* f : std::as_const(m_fields))
            if (!f->Calculated() && !kept.contains(f))
                delete f;
        for (Field* f : std::as_const(m_fields))
            if (f->Calculated())
                kept.append(f);
        m_fields = kept;
    }
    m_calcDefs.clear();
    for (Field* f : std::as_const(m_fields)) {
        if (f->Calculated()) {
            f->m_column = int(m_calcDefs.size());
            m_calcDefs.append(f->m_def);
        } else {
            f->m_column = m_store.indexOf(f->FieldName());
            const FieldDef& received = m_store.fields()[f->m_column];
            f->m_def.type = received.type;
            if (received.size > 0)
                f->m_def.size = received.size;
        }
    }
    m_byName.clear();
    for (int i = 0; i < m_fields.size(); ++i)
        m_byName.insert(m_fields[i]->FieldName().toUpper(), i);
}

void ClientDataSet::requireBindable(const FieldDefs& received) const
{
    // Without declared fields the fields follow the packet: what indexes and the filter name
    // must come in it (or be calculated).
    QSet<QString> names;
    for (const FieldDef& def : received)
        names.insert(def.name.toUpper());
    for (const Field* f : m_fields)
        if (f->Calculated())
            names.insert(f->FieldName().toUpper());
    auto require = [&](const QString& name) {
        if (!names.contains(name.toUpper()))
            throw Error(QStringLiteral("Campo '%1' de '%2' não veio nos dados recebidos.").arg(name, objectName()));
    };
    for (const Index& index : m_indexes)
        for (const QString& name : index.names)
            require(name);
    for (const QString& name : m_fieldNamesIndex.names)
        require(name);
    if (m_filter) {
        FilterExpression probe = FilterExpression::parse(m_filterText);
        probe.bind([&](const QString& name) { return names.contains(name.toUpper()) ? 0 : -1; });
    }
}

void ClientDataSet::rebindByName()
{
    auto rebind = [this](Index& index) {
        index.fields.clear();
        for (const QString& name : std::as_const(index.names))
            index.fields.append(m_byName.value(name.toUpper(), -1));
    };
    for (Index& index : m_indexes)
        rebind(index);
    rebind(m_fieldNamesIndex);
    if (m_filter)
        m_filter->bind([this](const QString& name) { return m_byName.value(name.toUpper(), -1); });
}

void ClientDataSet::Close()
{
    if (!Active())
        return;
    fire(BeforeClose, *this);
    m_store = RowStore();
    m_calc = RowStore();
    m_originals = RowStore();
    m_flags.clear();
    m_origIndex.clear();
    m_rowIds.clear();
    m_order.clear();
    m_view.clear();
    m_pos = -1;
    m_bof = m_eof = true;
    m_changeCount = 0;
    m_editRow = -1;
    m_state = State::Inactive;
    emitStateChanged();
    notifyReset();
    fire(AfterClose, *this);
}

void ClientDataSet::EmptyDataSet()
{
    requireActive();
    if (m_state == State::Edit || m_state == State::Insert)
        Cancel();
    openStore(RowStore(m_store.fields()), {}, nullptr);
}

DataPacket ClientDataSet::Data() const
{
    requireActive();
    const bool pendingInsert = m_state == State::Insert;
    bool identity = m_state != State::Edit && !pendingInsert && m_changeCount == 0
        && int(m_order.size()) == m_store.rowCount();
    for (int i = 0; identity && i < int(m_order.size()); ++i)
        identity = m_order[i] == i;
    DataPacket packet;
    if (identity) {
        packet.rows = m_store; // shared until one side writes
        return packet;
    }
    packet = DataPacket(m_store.fields());
    packet.rows.reserve(int(m_order.size()));
    for (int row : m_order) {
        if (row == m_editRow && pendingInsert)
            continue;
        const RowStatus status = m_changeCount ? RowStatus(int(m_flags[row])) : RowStatus::Unmodified;
        const int out = packet.appendRow(status);
        int storeRow = row;
        const RowStore& values = postedValues(row, storeRow);
        packet.rows.copyRow(out, values, storeRow);
        if (m_origIndex[row] >= 0)
            packet.originals.copyRow(out, m_originals, m_origIndex[row]);
    }
    packet.carriesLog = m_changeCount > 0;
    return packet;
}

// --- Values ---------------------------------------------------------------------------------

const RowStore& ClientDataSet::postedValues(int row, int& storeRow) const
{
    if (m_state == State::Edit && row == m_editRow) {
        storeRow = 0;
        return m_editBackup;
    }
    storeRow = row;
    return m_store;
}

int ClientDataSet::currentRow() const
{
    if (m_peekRow >= 0)
        return m_peekRow;
    return m_pos >= 0 && m_pos < int(m_view.size()) ? m_view[m_pos] : -1;
}

QVariant ClientDataSet::fieldValue(const Field& field, int row) const
{
    if (row < 0 || field.m_column < 0)
        return {};
    return field.Calculated() ? m_calc.value(row, field.m_column) : m_store.value(row, field.m_column);
}

QVariant ClientDataSet::valueAt(int position, const Field* field) const
{
    if (position < 0 || position >= int(m_view.size()) || !field)
        return {};
    return fieldValue(*field, m_view[position]);
}

QString ClientDataSet::displayTextAt(int position, Field* field) const
{
    if (position < 0 || position >= int(m_view.size()) || !field)
        return {};
    // Text handlers read the record they format as the current one.
    auto* self = const_cast<ClientDataSet*>(this);
    const int saved = self->m_peekRow;
    self->m_peekRow = m_view[position];
    auto restore = qScopeGuard([self, saved] { self->m_peekRow = saved; });
    return field->DisplayText();
}

void ClientDataSet::writeField(Field& field, const QVariant& value)
{
    requireActive();
    if (m_state == State::CalcFields) {
        if (!field.Calculated())
            throw Error(QStringLiteral("Somente campos calculados podem ser alterados no cálculo de '%1'.").arg(objectName()));
        m_calc.setValue(currentRow(), field.m_column, value);
        return;
    }
    if (m_state != State::Edit && m_state != State::Insert)
        throw Error(QStringLiteral("O conjunto de dados '%1' não está em modo de edição.").arg(objectName()));
    if (field.ReadOnly() || field.Calculated())
        throw Error(QStringLiteral("O campo '%1' não pode ser alterado.").arg(field.DisplayLabel()));
    const int row = currentRow();
    const QVariant old = m_store.value(row, field.m_column);
    m_store.setValue(row, field.m_column, value);
    if (field.OnValidate) {
        try {
            field.OnValidate(field);
        } catch (...) {
            m_store.setValue(row, field.m_column, old);
            throw;
        }
    }
    if (field.OnChange)
        field.OnChange(field);
    computeCalcFields(row);
    if (!ControlsDisabled()) {
        emit fieldChanged(&field);
        emit rowChanged(m_pos);
    }
}

void ClientDataSet::computeCalcFields(int row)
{
    if (!OnCalcFields || m_calcDefs.isEmpty() || row < 0)
        return;
    const State saved = m_state;
    const int savedPeek = m_peekRow;
    m_state = State::CalcFields;
    m_peekRow = row;
    auto restore = qScopeGuard([this, saved, savedPeek] {
        m_state = saved;
        m_peekRow = savedPeek;
    });
    for (int c = 0; c < m_calc.columnCount(); ++c)
        m_calc.setNull(row, c);
    OnCalcFields(*this);
}

void ClientDataSet::computeAllCalcFields()
{
    if (!OnCalcFields || m_calcDefs.isEmpty())
        return;
    for (int row : m_order)
        computeCalcFields(row);
}

// --- View: filter and order -----------------------------------------------------------------

bool ClientDataSet::passesFilter(int row) const
{
    if (!m_filtered || !m_filter)
        return true;
    return m_filter->evaluate([this, row](int fieldIndex) { return fieldValue(*m_fields[fieldIndex], row); });
}

const ClientDataSet::Index* ClientDataSet::activeIndex() const
{
    if (!m_indexName.isEmpty()) {
        for (const Index& index : m_indexes)
            if (index.name.compare(m_indexName, Qt::CaseInsensitive) == 0)
                return &index;
    }
    return m_fieldNamesIndex.fields.isEmpty() ? nullptr : &m_fieldNamesIndex;
}

int ClientDataSet::compareFieldRows(int fieldIndex, int a, int b, bool caseInsensitive) const
{
    const Field* f = m_fields[fieldIndex];
    return f->Calculated() ? m_calc.compareRows(a, b, f->m_column, caseInsensitive)
                           : m_store.compareRows(a, b, f->m_column, caseInsensitive);
}

bool ClientDataSet::rowLess(const Index& index, int a, int b) const
{
    for (int i = 0; i < index.fields.size(); ++i) {
        int c = compareFieldRows(index.fields[i], a, b, index.caseInsensitive[i]);
        if (c != 0)
            return index.descending[i] ? c > 0 : c < 0;
    }
    return false;
}

void ClientDataSet::rebuildView(int keepRow)
{
    m_view.clear();
    m_view.reserve(m_order.size());
    for (int row : m_order) {
        const RowFlag flag = m_flags[row];
        if (flag == RowFlag::Deleted || flag == RowFlag::Dead)
            continue;
        if (row == m_editRow || passesFilter(row))
            m_view.push_back(row);
    }
    if (const Index* index = activeIndex())
        std::stable_sort(m_view.begin(), m_view.end(), [this, index](int a, int b) { return rowLess(*index, a, b); });
    m_pos = -1;
    if (keepRow >= 0) {
        const auto it = std::find(m_view.begin(), m_view.end(), keepRow);
        if (it != m_view.end())
            m_pos = int(it - m_view.begin());
    }
    if (m_pos < 0 && !m_view.empty())
        m_pos = 0;
    m_bof = m_pos <= 0;
    m_eof = m_view.empty();
}

void ClientDataSet::refreshView()
{
    if (!Active())
        return;
    const int keep = currentRow();
    rebuildView(keep);
    notifyReset();
    notifyCurrent();
}

void ClientDataSet::placeRowInView(int row)
{
    const auto it = std::find(m_view.begin(), m_view.end(), row);
    int pos = it == m_view.end() ? int(m_view.size()) : int(it - m_view.begin());
    if (it != m_view.end())
        m_view.erase(it);
    if (!passesFilter(row)) {
        m_pos = std::min(pos, int(m_view.size()) - 1);
        return;
    }
    if (const Index* index = activeIndex())
        pos = int(std::upper_bound(m_view.begin(), m_view.end(), row,
                                   [this, index](int a, int b) { return rowLess(*index, a, b); })
                  - m_view.begin());
    m_view.insert(m_view.begin() + pos, row);
    m_pos = pos;
}

// --- Filter ---------------------------------------------------------------------------------

void ClientDataSet::applyFilter(const QString& text, bool filtered)
{
    std::unique_ptr<FilterExpression> parsed;
    if (filtered && !text.trimmed().isEmpty()) {
        parsed = std::make_unique<FilterExpression>(FilterExpression::parse(text));
        parsed->bind([this](const QString& name) { return m_byName.value(name.toUpper(), -1); });
    }
    CheckBrowseMode();
    m_filterText = text;
    m_filtered = filtered;
    m_filter = std::move(parsed);
    refreshView();
}

void ClientDataSet::setFilter(const QString& filter)
{
    if (!Active() || !m_filtered) {
        m_filterText = filter;
        return;
    }
    applyFilter(filter, m_filtered);
}

void ClientDataSet::setFiltered(bool filtered)
{
    if (!Active()) {
        m_filtered = filtered;
        m_filter.reset();
        return;
    }
    applyFilter(m_filterText, filtered);
}

// --- Indexes --------------------------------------------------------------------------------

ClientDataSet::Index ClientDataSet::makeIndex(const QString& name, const QString& fields, const QString& descFields,
                                              const QString& caseInsFields) const
{
    Index index;
    index.name = name;
    index.names = splitNames(fields);
    const QStringList desc = splitNames(descFields);
    const QStringList ci = splitNames(caseInsFields);
    for (const QString& n : splitNames(fields)) {
        Field* f = FieldByName(n);
        index.fields.append(int(m_fields.indexOf(f)));
        index.descending.append(desc.contains(n, Qt::CaseInsensitive));
        index.caseInsensitive.append(ci.contains(n, Qt::CaseInsensitive));
    }
    return index;
}

void ClientDataSet::AddIndex(const QString& name, const QString& fields, const QString& descFields,
                             const QString& caseInsFields)
{
    Index index = makeIndex(name, fields, descFields, caseInsFields);
    for (Index& existing : m_indexes)
        if (existing.name.compare(name, Qt::CaseInsensitive) == 0) {
            existing = index;
            return;
        }
    m_indexes.append(index);
}

void ClientDataSet::setIndexName(const QString& name)
{
    if (!name.isEmpty()) {
        const bool known = std::any_of(m_indexes.begin(), m_indexes.end(),
                                       [&](const Index& i) { return i.name.compare(name, Qt::CaseInsensitive) == 0; });
        if (!known)
            throw Error(QStringLiteral("Índice '%1' não encontrado em '%2'.").arg(name, objectName()));
    }
    m_indexName = name;
    m_fieldNamesIndex = Index();
    refreshView();
}

void ClientDataSet::setIndexFieldNames(const QString& fields)
{
    m_fieldNamesIndex = makeIndex(QString(), fields, {}, {});
    m_indexName.clear();
    refreshView();
}

QString ClientDataSet::IndexFieldNames() const
{
    QStringList names;
    for (int f : m_fieldNamesIndex.fields)
        names.append(m_fields[f]->FieldName());
    return names.join(QLatin1Char(';'));
}

// --- Search ---------------------------------------------------------------------------------

int ClientDataSet::compareRowToKey(int row, const QVector<int>& fields, const QVariantList& values,
                                   LocateOptions options) const
{
    const bool ci = options & loCaseInsensitive;
    for (int i = 0; i < fields.size(); ++i) {
        const Field* f = m_fields[fields[i]];
        const QVariant& key = values[i];
        int c;
        if ((options & loPartialKey) && f->DataType() == FieldType::String && key.isValid()) {
            const QString prefix = key.toString();
            const QString text = fieldValue(*f, row).toString().left(prefix.size());
            c = fieldValue(*f, row).isValid() ? QString::compare(text, prefix, ci ? Qt::CaseInsensitive : Qt::CaseSensitive)
                                              : -1;
        } else {
            c = f->Calculated() ? m_calc.compareValue(row, f->m_column, key, ci)
                                : m_store.compareValue(row, f->m_column, key, ci);
        }
        if (c != 0)
            return c;
    }
    return 0;
}

bool ClientDataSet::Locate(const QString& fields, const QVariantList& values, LocateOptions options)
{
    requireActive();
    CheckBrowseMode();
    const QVector<int> indexes = fieldIndexes(fields);
    if (indexes.size() != values.size() || indexes.isEmpty())
        throw Error(QStringLiteral("Localização em '%1' com %2 campos e %3 valores.")
                        .arg(objectName()).arg(indexes.size()).arg(values.size()));

    int found = -1;
    const Index* index = activeIndex();
    bool sorted = index && index->fields.size() >= indexes.size();
    for (int i = 0; sorted && i < indexes.size(); ++i)
        sorted = index->fields[i] == indexes[i] && !index->descending[i]
            && index->caseInsensitive[i] == bool(options & loCaseInsensitive);
    if (sorted) {
        const auto it = std::lower_bound(m_view.begin(), m_view.end(), 0, [&](int row, int) {
            return compareRowToKey(row, indexes, values, options) < 0;
        });
        if (it != m_view.end() && compareRowToKey(*it, indexes, values, options) == 0)
            found = int(it - m_view.begin());
    } else {
        for (int pos = 0; pos < int(m_view.size()); ++pos)
            if (compareRowToKey(m_view[pos], indexes, values, options) == 0) {
                found = pos;
                break;
            }
    }
    if (found < 0)
        return false;
    moveTo(found);
    m_bof = m_eof = false;
    return true;
}

// --- Cursor ---------------------------------------------------------------------------------

void ClientDataSet::moveTo(int position)
{
    requireActive();
    CheckBrowseMode();
    if (m_view.empty() || position == m_pos)
        return;
    position = std::clamp(position, 0, int(m_view.size()) - 1);
    fire(BeforeScroll, *this);
    m_pos = position;
    notifyCurrent();
    fire(AfterScroll, *this);
}

void ClientDataSet::First()
{
    moveTo(0);
    m_bof = true;
    m_eof = m_view.empty();
}

void ClientDataSet::Last()
{
    moveTo(int(m_view.size()) - 1);
    m_eof = true;
    m_bof = m_view.empty();
}

void ClientDataSet::Next()
{
    requireActive();
    if (m_pos + 1 < int(m_view.size())) {
        moveTo(m_pos + 1);
        m_bof = m_eof = false;
    } else {
        CheckBrowseMode();
        m_eof = true;
    }
}

void ClientDataSet::Prior()
{
    requireActive();
    if (m_pos > 0) {
        moveTo(m_pos - 1);
        m_bof = m_eof = false;
    } else {
        CheckBrowseMode();
        m_bof = true;
    }
}

void ClientDataSet::MoveBy(int distance)
{
    requireActive();
    if (distance == 0)
        return;
    const int target = m_pos + distance;
    moveTo(target);
    m_bof = m_view.empty() || (distance < 0 && target < 0);
    m_eof = m_view.empty() || (distance > 0 && target >= int(m_view.size()));
}

int ClientDataSet::RecNo() const { return m_pos + 1; }

void ClientDataSet::SetRecNo(int recNo)
{
    moveTo(recNo - 1);
    m_bof = m_eof = false;
}

int ClientDataSet::RecordCount() const { return int(m_view.size()); }

ClientDataSet::Bookmark ClientDataSet::GetBookmark() const
{
    const int row = currentRow();
    return row >= 0 ? m_rowIds[row] : -1;
}

int ClientDataSet::rowOfBookmark(Bookmark bookmark) const
{
    if (bookmark < 0)
        return -1;
    const auto it = std::find(m_rowIds.begin(), m_rowIds.end(), bookmark);
    return it == m_rowIds.end() ? -1 : int(it - m_rowIds.begin());
}

bool ClientDataSet::BookmarkValid(Bookmark bookmark) const
{
    const int row = rowOfBookmark(bookmark);
    return row >= 0 && std::find(m_view.begin(), m_view.end(), row) != m_view.end();
}

void ClientDataSet::GotoBookmark(Bookmark bookmark)
{
    const int row = rowOfBookmark(bookmark);
    const auto it = std::find(m_view.begin(), m_view.end(), row);
    if (row < 0 || it == m_view.end())
        throw Error(QStringLiteral("Registro não encontrado em '%1'.").arg(objectName()));
    moveTo(int(it - m_view.begin()));
    m_bof = m_eof = false;
}

// --- Editing --------------------------------------------------------------------------------

void ClientDataSet::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emitStateChanged();
}

void ClientDataSet::CheckBrowseMode()
{
    if (m_state == State::Edit || m_state == State::Insert)
        Post();
}

void ClientDataSet::refusePost(std::exception_ptr failure)
{
    if (!m_postFailure)
        m_postFailure = std::move(failure);
}

void ClientDataSet::Edit()
{
    requireActive();
    if (m_state == State::Edit || m_state == State::Insert)
        return;
    if (m_view.empty()) {
        Insert();
        return;
    }
    fire(BeforeEdit, *this);
    m_editRow = currentRow();
    m_editBackup = RowStore(m_store.fields());
    m_editBackup.appendRow();
    m_editBackup.copyRow(0, m_store, m_editRow);
    setState(State::Edit);
    fire(AfterEdit, *this);
}

void ClientDataSet::Insert() { beginInsert(false); }
void ClientDataSet::Append() { beginInsert(true); }

void ClientDataSet::beginInsert(bool append)
{
    requireActive();
    CheckBrowseMode();
    fire(BeforeInsert, *this);
    fire(BeforeScroll, *this);

    const int row = m_store.appendRow();
    m_calc.appendRow();
    m_flags.push_back(RowFlag::Inserted);
    m_origIndex.push_back(-1);
    m_rowIds.push_back(m_nextRowId++);
    const int current = currentRow();
    auto orderIt = append || current < 0 ? m_order.end() : std::find(m_order.begin(), m_order.end(), current);
    m_order.insert(orderIt, row);
    const int pos = append || m_pos < 0 ? int(m_view.size()) : m_pos;
    m_view.insert(m_view.begin() + pos, row);
    const int savedPos = m_pos;
    m_pos = pos;
    m_editRow = row;
    m_state = State::Insert;
    try {
        fire(OnNewRecord, *this);
    } catch (...) {
        discardPendingInsert(savedPos);
        m_state = State::Browse;
        throw;
    }
    computeCalcFields(row);
    m_bof = m_eof = false;
    emitStateChanged();
    notifyReset();
    notifyCurrent();
    fire(AfterInsert, *this);
    fire(AfterScroll, *this);
}

void ClientDataSet::discardPendingInsert(int restorePos)
{
    const int row = m_editRow;
    m_flags[row] = RowFlag::Dead;
    m_order.erase(std::find(m_order.begin(), m_order.end(), row));
    m_view.erase(std::find(m_view.begin(), m_view.end(), row));
    m_editRow = -1;
    m_pos = m_view.empty() ? -1 : std::clamp(restorePos, 0, int(m_view.size()) - 1);
}

void ClientDataSet::Post()
{
    requireActive();
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    m_postFailure = nullptr;
    emit aboutToPost();
    if (m_postFailure)
        std::rethrow_exception(std::exchange(m_postFailure, nullptr));
    fire(BeforePost, *this);
    for (Field* f : std::as_const(m_fields))
        if (f->Required() && !f->Calculated() && f->IsNull())
            throw Error(QStringLiteral("O campo '%1' deve ser informado.").arg(f->DisplayLabel()));

    const int row = m_editRow;
    const bool inserting = m_state == State::Insert;
    const int before = m_pos;
    if (inserting) {
        ++m_changeCount;
    } else if (m_flags[row] == RowFlag::Unmodified) {
        m_flags[row] = RowFlag::Modified;
        m_origIndex[row] = m_originals.appendRow();
        m_originals.copyRow(m_origIndex[row], m_editBackup, 0);
        ++m_changeCount;
    }
    m_changeOrder.push_back(m_rowIds[row]);
    m_editRow = -1;
    m_editBackup = RowStore();
    computeCalcFields(row);
    placeRowInView(row);
    m_bof = m_eof = false;
    setState(State::Browse);
    notifyRowOrReset(!inserting && m_pos == before && currentRow() == row);
    fire(AfterPost, *this);
}

void ClientDataSet::Cancel()
{
    requireActive();
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    fire(BeforeCancel, *this);
    const bool inserting = m_state == State::Insert;
    if (inserting) {
        discardPendingInsert(m_pos);
    } else {
        m_store.copyRow(m_editRow, m_editBackup, 0);
        computeCalcFields(m_editRow);
        m_editRow = -1;
    }
    m_editBackup = RowStore();
    setState(State::Browse);
    notifyRowOrReset(!inserting);
    fire(AfterCancel, *this);
}

void ClientDataSet::Delete()
{
    requireActive();
    if (m_state == State::Insert) {
        Cancel();
        return;
    }
    if (m_view.empty())
        throw Error(QStringLiteral("Não há registro a excluir em '%1'.").arg(objectName()));
    fire(BeforeDelete, *this);
    fire(BeforeScroll, *this);
    const int row = currentRow();
    if (m_state == State::Edit) {
        m_store.copyRow(row, m_editBackup, 0); // the unposted edit is discarded with the row
        m_editRow = -1;
        m_editBackup = RowStore();
    }
    switch (m_flags[row]) {
    case RowFlag::Inserted:
        m_flags[row] = RowFlag::Dead;
        m_order.erase(std::find(m_order.begin(), m_order.end(), row));
        --m_changeCount;
        break;
    case RowFlag::Modified: m_flags[row] = RowFlag::Deleted; break;
    default:
        m_flags[row] = RowFlag::Deleted;
        m_origIndex[row] = m_originals.appendRow();
        m_originals.copyRow(m_origIndex[row], m_store, row);
        ++m_changeCount;
        break;
    }
    if (m_flags[row] != RowFlag::Dead)
        m_changeOrder.push_back(m_rowIds[row]);
    m_view.erase(m_view.begin() + m_pos);
    m_pos = std::min(m_pos, int(m_view.size()) - 1);
    m_bof = m_pos <= 0;
    m_eof = m_view.empty();
    m_state = State::Browse;
    emitStateChanged();
    notifyReset();
    notifyCurrent();
    fire(AfterDelete, *this);
    fire(AfterScroll, *this);
}

// --- Change log -----------------------------------------------------------------------------

int ClientDataSet::ChangeCount() const { return m_changeCount; }

DataPacket ClientDataSet::GetDelta() const
{
    requireActive();
    DataPacket delta(m_store.fields());
    delta.carriesLog = true;
    for (int row = 0; row < int(m_flags.size()); ++row) {
        const RowFlag flag = m_flags[row];
        if (flag == RowFlag::Unmodified || flag == RowFlag::Dead || (m_state == State::Insert && row == m_editRow))
            continue;
        const int out = delta.appendRow(RowStatus(int(flag)));
        int storeRow = row;
        const RowStore& values = postedValues(row, storeRow);
        delta.rows.copyRow(out, values, storeRow);
        if (m_origIndex[row] >= 0)
            delta.originals.copyRow(out, m_originals, m_origIndex[row]);
    }
    return delta;
}

void ClientDataSet::MergeChangeLog()
{
    requireActive();
    for (RowFlag& flag : m_flags) {
        if (flag == RowFlag::Deleted)
            flag = RowFlag::Dead;
        else if (flag == RowFlag::Modified || (flag == RowFlag::Inserted))
            flag = RowFlag::Unmodified;
    }
    if (m_state == State::Insert)
        m_flags[m_editRow] = RowFlag::Inserted;
    std::erase_if(m_order, [this](int row) { return m_flags[row] == RowFlag::Dead; });
    std::fill(m_origIndex.begin(), m_origIndex.end(), -1);
    m_originals = RowStore(m_store.fields());
    m_changeCount = 0;
    m_changeOrder.clear();
    compact();
}

void ClientDataSet::CancelUpdates()
{
    requireActive();
    if (m_state == State::Edit || m_state == State::Insert)
        Cancel();
    const int keep = currentRow();
    for (int row = 0; row < int(m_flags.size()); ++row)
        revertRow(row);
    m_originals = RowStore(m_store.fields());
    m_changeCount = 0;
    m_changeOrder.clear();
    compact();
    rebuildView(keep);
    notifyReset();
    notifyCurrent();
}

void ClientDataSet::revertRow(int row)
{
    switch (m_flags[row]) {
    case RowFlag::Inserted:
        m_flags[row] = RowFlag::Dead;
        m_order.erase(std::find(m_order.begin(), m_order.end(), row));
        break;
    case RowFlag::Modified:
    case RowFlag::Deleted:
        m_store.copyRow(row, m_originals, m_origIndex[row]);
        m_flags[row] = RowFlag::Unmodified;
        m_origIndex[row] = -1;
        computeCalcFields(row);
        break;
    default: return;
    }
}

bool ClientDataSet::UndoLastChange(bool followChange)
{
    requireActive();
    if (m_state == State::Edit || m_state == State::Insert)
        Cancel();
    while (!m_changeOrder.empty()) {
        const int row = rowOfBookmark(m_changeOrder.back());
        m_changeOrder.pop_back();
        if (row < 0 || m_flags[row] == RowFlag::Unmodified || m_flags[row] == RowFlag::Dead)
            continue;
        const int keep = followChange ? row : currentRow();
        revertRow(row);
        --m_changeCount;
        rebuildView(keep);
        notifyReset();
        notifyCurrent();
        return true;
    }
    return false;
}

void ClientDataSet::compact()
{
    // Rows removed for good (merged deletions, cancelled insertions) are dropped from the stores
    // once they are a sizeable share, so a long editing session does not grow without bound.
    const auto dead = std::count(m_flags.begin(), m_flags.end(), RowFlag::Dead);
    if (dead == 0 || dead * 4 < qsizetype(m_flags.size()))
        return;
    std::vector<int> newIndex(m_flags.size(), -1);
    RowStore store(m_store.fields());
    RowStore calc(m_calc.fields());
    std::vector<RowFlag> flags;
    std::vector<int> ids;
    store.reserve(int(m_flags.size() - dead));
    for (int row = 0; row < int(m_flags.size()); ++row) {
        if (m_flags[row] == RowFlag::Dead)
            continue;
        newIndex[row] = store.appendRow();
        store.copyRow(newIndex[row], m_store, row);
        calc.appendRow();
        calc.copyRow(newIndex[row], m_calc, row);
        flags.push_back(m_flags[row]);
        ids.push_back(m_rowIds[row]);
    }
    for (int& row : m_order)
        row = newIndex[row];
    for (int& row : m_view)
        row = newIndex[row];
    if (m_editRow >= 0)
        m_editRow = newIndex[m_editRow];
    m_store = store;
    m_calc = calc;
    m_flags = std::move(flags);
    m_rowIds = std::move(ids);
    m_origIndex.assign(m_flags.size(), -1);
}

// --- Controls -------------------------------------------------------------------------------

void ClientDataSet::DisableControls() { ++m_disableCount; }

void ClientDataSet::EnableControls()
{
    if (m_disableCount == 0 || --m_disableCount > 0)
        return;
    emit stateChanged();
    emit rowsReset();
    emit currentChanged();
}

void ClientDataSet::emitStateChanged()
{
    if (!ControlsDisabled())
        emit stateChanged();
}

void ClientDataSet::notifyReset()
{
    if (!ControlsDisabled())
        emit rowsReset();
}

void ClientDataSet::notifyRowOrReset(bool sameRowsInPlace)
{
    // An edit that leaves every row where it was changes one row for the views: they repaint
    // it instead of starting over.
    if (sameRowsInPlace) {
        if (!ControlsDisabled())
            emit rowChanged(m_pos);
    } else {
        notifyReset();
    }
    notifyCurrent();
}

void ClientDataSet::notifyCurrent()
{
    if (!ControlsDisabled())
        emit currentChanged();
}

} // namespace framework
