#include "wirejson.h"

#include "framework/abort.h"

#include <QTimeZone>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace framework {

namespace {

constexpr char statusLetters[] = {'U', 'I', 'M', 'D'};
constexpr qint64 exactDoubleLimit = qint64(1) << 53;
constexpr qint64 msecsPerDay = 86'400'000;
constexpr qint64 unixEpochJulianDay = 2'440'588;

[[noreturn]] void malformed(const QString& what)
{
    throw Error(QStringLiteral("Pacote de dados inválido: %1.").arg(what));
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Two digits (or more) at text as a number; -1 when they are not digits.
int digits(const char* text, int count)
{
    int n = 0;
    for (int i = 0; i < count; ++i) {
        if (!isDigit(text[i]))
            return -1;
        n = n * 10 + (text[i] - '0');
    }
    return n;
}

// "yyyy-MM-ddTHH:mm:ss.zzz", the form the wire writes, as wall-clock milliseconds; false for
// any other form (the general parser reads those).
bool fastDateTime(std::string_view text, qint64& msecs)
{
    if (text.size() != 23 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':'
        || text[19] != '.')
        return false;
    const char* t = text.data();
    const int year = digits(t, 4), month = digits(t + 5, 2), day = digits(t + 8, 2);
    const int hour = digits(t + 11, 2), minute = digits(t + 14, 2), second = digits(t + 17, 2), milli = digits(t + 20, 3);
    if (year < 0 || month < 0 || day < 0 || hour < 0 || minute < 0 || second < 0 || milli < 0 || hour > 23 || minute > 59
        || second > 59 || !QDate::isValid(year, month, day))
        return false;
    const qint64 days = QDate(year, month, day).toJulianDay() - unixEpochJulianDay;
    msecs = days * msecsPerDay + ((hour * 60 + minute) * 60 + second) * 1000 + milli;
    return true;
}

// ---- Reading ------------------------------------------------------------------------------

class Reader {
public:
    Reader(std::string_view text, const WireLimits& limits)
        : m_p(text.data()), m_end(text.data() + text.size()), m_limits(limits)
    {
    }

    WireMessage message()
    {
        WireMessage message;
        expect('{');
        if (!consume('}')) {
            do {
                const QString key = qstring();
                expect(':');
                if (peek() == '"')
                    message.texts.insert(key, qstring());
                else
                    message.values.insert(key, value());
            } while (consume(','));
            expect('}');
        }
        finish();
        return message;
    }

    QVariant lone()
    {
        QVariant v = value();
        finish();
        return v;
    }

private:
    [[noreturn]] void fail(const QString& what) const { malformed(what); }

    void ws()
    {
        while (m_p < m_end && (*m_p == ' ' || *m_p == '\n' || *m_p == '\r' || *m_p == '\t'))
            ++m_p;
    }
    char peek()
    {
        ws();
        return m_p < m_end ? *m_p : '\0';
    }
    bool consume(char c)
    {
        if (peek() != c)
            return false;
        ++m_p;
        return true;
    }
    void expect(char c)
    {
        if (!consume(c))
            fail(m_p < m_end ? QStringLiteral("esperado '%1' na posição %2").arg(QLatin1Char(c)).arg(position())
                             : QStringLiteral("texto interrompido"));
    }
    bool word(const char* w)
    {
        const size_t n = std::strlen(w);
        if (peek() != w[0] || size_t(m_end - m_p) < n || std::memcmp(m_p, w, n) != 0)
            return false;
        m_p += n;
        return true;
    }
    void finish()
    {
        ws();
        if (m_p != m_end)
            fail(QStringLiteral("texto após o fim, na posição %1").arg(position()));
    }
    qint64 position() const { return m_p - m_begin; }
    void enter()
    {
        if (++m_depth > m_limits.maxDepth)
            fail(QStringLiteral("aninhamento profundo demais"));
    }
    void leave() { --m_depth; }

    // A JSON string as UTF-8: a view of the input when it has no escapes, else of scratch.
    std::string_view string(std::string& scratch)
    {
        if (peek() != '"')
            fail(QStringLiteral("texto esperado na posição %1").arg(position()));
        const char* start = ++m_p;
        const char* q = start;
        while (q < m_end && *q != '"' && *q != '\\' && static_cast<unsigned char>(*q) >= 0x20)
            ++q;
        if (q < m_end && *q == '"') {
            m_p = q + 1;
            return {start, size_t(q - start)};
        }
        scratch.assign(start, q);
        m_p = q;
        while (true) {
            if (m_p >= m_end)
                fail(QStringLiteral("texto sem fim"));
            const char c = *m_p++;
            if (c == '"')
                return scratch;
            if (static_cast<unsigned char>(c) < 0x20)
                fail(QStringLiteral("caractere de controle num texto"));
            if (c != '\\') {
                scratch += c;
                continue;
            }
            if (m_p >= m_end)
                fail(QStringLiteral("texto sem fim"));
            switch (const char e = *m_p++) {
            case '"': scratch += '"'; break;
            case '\\': scratch += '\\'; break;
            case '/': scratch += '/'; break;
            case 'b': scratch += '\b'; break;
            case 'f': scratch += '\f'; break;
            case 'n': scratch += '\n'; break;
            case 'r': scratch += '\r'; break;
            case 't': scratch += '\t'; break;
            case 'u': appendUtf8(scratch, codePoint()); break;
            default: fail(QStringLiteral("escape inválido \\%1").arg(QLatin1Char(e)));
            }
        }
    }

    uint hex4()
    {
        if (m_end - m_p < 4)
            fail(QStringLiteral("escape \\u incompleto"));
        uint v = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = *m_p++;
            v <<= 4;
            if (isDigit(c))
                v |= uint(c - '0');
            else if (c >= 'a' && c <= 'f')
                v |= uint(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                v |= uint(c - 'A' + 10);
            else
                fail(QStringLiteral("escape \\u inválido"));
        }
        return v;
    }
    uint codePoint()
    {
        const uint first = hex4();
        if (first >= 0xD800 && first <= 0xDBFF && m_end - m_p >= 6 && m_p[0] == '\\' && m_p[1] == 'u') {
            const char* save = m_p;
            m_p += 2;
            const uint second = hex4();
            if (second >= 0xDC00 && second <= 0xDFFF)
                return 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00);
            m_p = save;
        }
        return (first >= 0xD800 && first <= 0xDFFF) ? 0xFFFD : first; // a lone surrogate
    }
    static void appendUtf8(std::string& out, uint cp)
    {
        if (cp < 0x80) {
            out += char(cp);
        } else if (cp < 0x800) {
            out += char(0xC0 | (cp >> 6));
            out += char(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += char(0xE0 | (cp >> 12));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        } else {
            out += char(0xF0 | (cp >> 18));
            out += char(0x80 | ((cp >> 12) & 0x3F));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        }
    }
    QString qstring()
    {
        const std::string_view s = string(m_scratch);
        return QString::fromUtf8(s.data(), qsizetype(s.size()));
    }

    // A JSON number's text; integral tells whether it has neither fraction nor exponent.
    std::string_view numberText(bool& integral)
    {
        ws();
        const char* start = m_p;
        if (m_p < m_end && *m_p == '-')
            ++m_p;
        if (m_p >= m_end || !isDigit(*m_p))
            fail(QStringLiteral("número esperado na posição %1").arg(position()));
        if (*m_p == '0')
            ++m_p;
        else
            while (m_p < m_end && isDigit(*m_p))
                ++m_p;
        integral = true;
        if (m_p < m_end && *m_p == '.') {
            integral = false;
            ++m_p;
            if (m_p >= m_end || !isDigit(*m_p))
                fail(QStringLiteral("número malformado"));
            while (m_p < m_end && isDigit(*m_p))
                ++m_p;
        }
        if (m_p < m_end && (*m_p == 'e' || *m_p == 'E')) {
            integral = false;
            ++m_p;
            if (m_p < m_end && (*m_p == '+' || *m_p == '-'))
                ++m_p;
            if (m_p >= m_end || !isDigit(*m_p))
                fail(QStringLiteral("número malformado"));
            while (m_p < m_end && isDigit(*m_p))
                ++m_p;
        }
        return {start, size_t(m_p - start)};
    }
    double number()
    {
        bool integral;
        const std::string_view text = numberText(integral);
        double v = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
        if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v))
            fail(QStringLiteral("número fora do alcance: %1").arg(QLatin1String(text.data(), qsizetype(text.size()))));
        return v;
    }
    static bool parseInteger(std::string_view text, qint64& v)
    {
        while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
            text.remove_prefix(1);
        while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
            text.remove_suffix(1);
        if (!text.empty() && text.front() == '+')
            text.remove_prefix(1);
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
        return !text.empty() && ec == std::errc() && end == text.data() + text.size();
    }

    // Any JSON value, passed over.
    void skip()
    {
        switch (peek()) {
        case '"': string(m_scratch); return;
        case '{':
            enter();
            ++m_p;
            if (!consume('}')) {
                do {
                    string(m_scratch);
                    expect(':');
                    skip();
                } while (consume(','));
                expect('}');
            }
            leave();
            return;
        case '[':
            enter();
            ++m_p;
            if (!consume(']')) {
                do
                    skip();
                while (consume(','));
                expect(']');
            }
            leave();
            return;
        case 't': if (word("true")) return; break;
        case 'f': if (word("false")) return; break;
        case 'n': if (word("null")) return; break;
        default: {
            bool integral;
            numberText(integral);
            return;
        }
        }
        fail(QStringLiteral("valor inválido na posição %1").arg(position()));
    }

    // A value in the tagged encoding: {"tag": content} or null.
    QVariant value()
    {
        if (word("null"))
            return {};
        expect('{');
        if (peek() != '"')
            fail(QStringLiteral("valor sem tipo"));
        std::string tagScratch;
        const std::string_view tag = string(tagScratch);
        expect(':');
        QVariant v;
        if (tag == "packet") {
            v = QVariant::fromValue(packet());
        } else if (tag == "fault") {
            v = QVariant::fromValue(ServerFault{qstring()});
        } else if (tag == "array") {
            enter();
            expect('[');
            QVariantList items;
            if (!consume(']')) {
                do
                    items.append(value());
                while (consume(','));
                expect(']');
            }
            leave();
            v = items;
        } else if (tag == "text") {
            v = qstring();
        } else if (tag == "bool") {
            if (word("true"))
                v = true;
            else if (word("false"))
                v = false;
            else
                fail(QStringLiteral("lógico esperado"));
        } else if (tag == "int") {
            qint64 i = 0;
            if (!parseInteger(string(m_scratch), i))
                fail(QStringLiteral("inteiro inválido"));
            v = i;
        } else if (tag == "float") {
            v = number();
        } else if (tag == "datetime") {
            const QString text = qstring();
            const QDateTime dt = RowStore::parseDateTime(text);
            if (!text.isEmpty() && !dt.isValid())
                fail(QStringLiteral("data inválida"));
            v = dt;
        } else if (tag == "date") {
            const QString text = qstring();
            const QDate date = QDate::fromString(text, Qt::ISODate);
            if (!text.isEmpty() && !date.isValid())
                fail(QStringLiteral("data inválida"));
            v = date;
        } else if (tag == "blob") {
            const std::string_view s = string(m_scratch);
            v = QByteArray::fromBase64(QByteArray(s.data(), qsizetype(s.size())));
        } else {
            fail(QStringLiteral("tipo de valor desconhecido '%1'").arg(QString::fromUtf8(tag.data(), qsizetype(tag.size()))));
        }
        if (peek() != '}')
            fail(QStringLiteral("valor sem tipo"));
        ++m_p;
        return v;
    }

    FieldDefs fields()
    {
        FieldDefs defs;
        expect('[');
        if (consume(']'))
            return defs;
        do {
            FieldDef f;
            f.providerFlags = pfInUpdate | pfInWhere;
            expect('{');
            if (!consume('}')) {
                do {
                    const std::string key(string(m_scratch));
                    expect(':');
                    if (key == "name")
                        f.name = qstring();
                    else if (key == "type")
                        f.type = fieldTypeFromName(qstring());
                    else if (key == "size")
                        f.size = smallInteger();
                    else if (key == "flags")
                        f.providerFlags = smallInteger();
                    else if (key == "required") {
                        if (word("true"))
                            f.required = true;
                        else if (!word("false"))
                            fail(QStringLiteral("lógico esperado em required"));
                    } else
                        skip();
                } while (consume(','));
                expect('}');
            }
            if (f.name.isEmpty())
                malformed(QStringLiteral("campo sem nome"));
            defs.append(f);
        } while (consume(','));
        expect(']');
        return defs;
    }
    int smallInteger()
    {
        const double v = number();
        if (v < 0 || v > 1e9 || v != std::floor(v))
            fail(QStringLiteral("número inválido na definição de campo"));
        return int(v);
    }

    void cell(RowStore& store, int row, int col, const FieldDef& field)
    {
        if (peek() == 'n') {
            if (!word("null"))
                fail(QStringLiteral("valor inválido na coluna %1").arg(field.name));
            return;
        }
        switch (field.type) {
        case FieldType::String: {
            if (peek() != '"')
                malformed(QStringLiteral("texto esperado na coluna %1").arg(field.name));
            // A text that fits its column is stored as read; an empty one (which stays empty,
            // not null) or a longer one (kept whole) goes as the database gave it, so that a
            // row's originals come back exactly as they were read.
            const std::string_view s = string(m_scratch);
            const qsizetype size = qsizetype(s.size());
            if (size > 0 && (field.size <= 0 || size <= field.size))
                store.setUtf8(row, col, s.data(), size);
            else
                store.load(row, col, QString::fromUtf8(s.data(), size));
            return;
        }
        case FieldType::Float: {
            const char c = peek();
            if (c != '-' && !isDigit(c))
                malformed(QStringLiteral("número esperado na coluna %1").arg(field.name));
            store.setDouble(row, col, number());
            return;
        }
        case FieldType::Integer: {
            const char c = peek();
            qint64 v = 0;
            if (c == '"') {
                const std::string_view s = string(m_scratch);
                if (s.find_first_not_of(" \t") == std::string_view::npos)
                    return; // an empty text is null
                if (!parseInteger(s, v))
                    malformed(QStringLiteral("inteiro inválido na coluna %1").arg(field.name));
            } else if (c == '-' || isDigit(c)) {
                bool integral;
                const std::string_view text = numberText(integral);
                if (!integral || !parseInteger(text, v) || std::llabs(v) >= exactDoubleLimit)
                    malformed(QStringLiteral("inteiro inválido na coluna %1").arg(field.name));
            } else {
                malformed(QStringLiteral("inteiro esperado na coluna %1").arg(field.name));
            }
            store.setStoredInteger(row, col, v);
            return;
        }
        case FieldType::Boolean:
            if (word("true"))
                store.setStoredInteger(row, col, 1);
            else if (word("false"))
                store.setStoredInteger(row, col, 0);
            else
                malformed(QStringLiteral("lógico esperado na coluna %1").arg(field.name));
            return;
        case FieldType::DateTime: {
            if (peek() != '"')
                malformed(QStringLiteral("data esperada na coluna %1").arg(field.name));
            const std::string_view s = string(m_scratch);
            qint64 msecs = 0;
            if (fastDateTime(s, msecs)) {
                store.setStoredInteger(row, col, msecs);
                return;
            }
            const QDateTime dt = RowStore::parseDateTime(QString::fromUtf8(s.data(), qsizetype(s.size())));
            if (!dt.isValid())
                malformed(QStringLiteral("data inválida na coluna %1").arg(field.name));
            store.setValue(row, col, dt);
            return;
        }
        case FieldType::Blob: {
            if (peek() != '"')
                malformed(QStringLiteral("binário esperado na coluna %1").arg(field.name));
            const std::string_view s = string(m_scratch);
            store.setValue(row, col, QByteArray::fromBase64(QByteArray(s.data(), qsizetype(s.size()))));
            return;
        }
        }
    }

    void row(RowStore& store, int r)
    {
        const FieldDefs& defs = store.fields();
        const int columns = int(defs.size());
        if (!consume('['))
            malformed(QStringLiteral("linha deve ser uma lista"));
        int col = 0;
        if (!consume(']')) {
            do {
                if (col >= columns)
                    malformed(QStringLiteral("linha com mais valores que as %1 colunas").arg(columns));
                cell(store, r, col, defs[col]);
                ++col;
            } while (consume(','));
            expect(']');
        }
        if (col != columns)
            malformed(QStringLiteral("linha com %1 valores para %2 colunas").arg(col).arg(columns));
    }

    void rows(RowStore& store)
    {
        expect('[');
        if (consume(']'))
            return;
        do {
            if (store.rowCount() >= m_limits.maxRows)
                malformed(QStringLiteral("mais de %1 linhas").arg(m_limits.maxRows));
            row(store, store.appendRow());
        } while (consume(','));
        expect(']');
    }

    // The originals of a change log, one entry per row: null, or the row's values when read
    // (only Modified and Deleted rows keep them).
    void originals(DataPacket& packet)
    {
        packet.originals = RowStore(packet.fields());
        packet.originals.reserve(packet.rowCount());
        for (int r = 0; r < packet.rowCount(); ++r)
            packet.originals.appendRow();
        expect('[');
        int r = 0;
        if (!consume(']')) {
            do {
                if (r >= packet.rowCount())
                    malformed(QStringLiteral("situação das linhas incompleta"));
                const RowStatus s = packet.status[r];
                if (s == RowStatus::Modified || s == RowStatus::Deleted)
                    row(packet.originals, r);
                else
                    skip();
                ++r;
            } while (consume(','));
            expect(']');
        }
        if (r != packet.rowCount())
            malformed(QStringLiteral("situação das linhas incompleta"));
    }

    DataPacket packet()
    {
        enter();
        expect('{');
        bool haveFields = false, haveRows = false, haveStatus = false;
        FieldDefs defs;
        DataPacket packet;
        const char* rowsAt = nullptr;      // rows met before the fields: read after them
        const char* originalsAt = nullptr; // read once rows and statuses are known
        QByteArray letters;
        if (!consume('}')) {
            do {
                const std::string key(string(m_scratch));
                expect(':');
                if (key == "fields") {
                    defs = fields();
                    packet = DataPacket(defs);
                    haveFields = true;
                } else if (key == "rows") {
                    haveRows = true;
                    if (haveFields) {
                        rows(packet.rows);
                    } else {
                        ws();
                        rowsAt = m_p;
                        skip();
                    }
                } else if (key == "status") {
                    haveStatus = true;
                    const std::string_view s = string(m_scratch);
                    letters = QByteArray(s.data(), qsizetype(s.size()));
                } else if (key == "originals") {
                    ws();
                    originalsAt = m_p;
                    skip();
                } else {
                    skip();
                }
            } while (consume(','));
            expect('}');
        }
        if (!haveFields || !haveRows)
            malformed(QStringLiteral("faltam campos ou linhas"));
        const char* resume = m_p;
        if (rowsAt) {
            m_p = rowsAt;
            rows(packet.rows);
        }
        if (haveStatus) {
            if (letters.size() != packet.rowCount() || !originalsAt)
                malformed(QStringLiteral("situação das linhas incompleta"));
            packet.carriesLog = true;
            packet.status.resize(packet.rowCount());
            for (int r = 0; r < packet.rowCount(); ++r) {
                const char* found = static_cast<const char*>(std::memchr(statusLetters, letters[r], 4));
                if (!found || letters[r] == '\0')
                    malformed(QStringLiteral("situação de linha desconhecida"));
                packet.status[r] = RowStatus(found - statusLetters);
            }
            m_p = originalsAt;
            originals(packet);
        }
        m_p = resume;
        leave();
        return packet;
    }

    const char* m_p;
    const char* m_end;
    const char* m_begin = m_p;
    const WireLimits& m_limits;
    int m_depth = 0;
    std::string m_scratch;
};

// ---- Writing ------------------------------------------------------------------------------

class Writer {
public:
    std::string out;

    void text(std::string_view s)
    {
        out += '"';
        size_t plain = 0;
        for (size_t i = 0; i < s.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(s[i]);
            if (c >= 0x20 && c != '"' && c != '\\')
                continue;
            out.append(s.data() + plain, i - plain);
            plain = i + 1;
            switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            default: {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            }
            }
        }
        out.append(s.data() + plain, s.size() - plain);
        out += '"';
    }
    void text(const QString& s)
    {
        const QByteArray utf8 = s.toUtf8();
        text(std::string_view(utf8.constData(), size_t(utf8.size())));
    }
    void number(double v)
    {
        if (!std::isfinite(v)) {
            out += "null";
            return;
        }
        char buffer[32];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
        out.append(buffer, result.ptr);
    }
    void integer(qint64 v)
    {
        char buffer[24];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
        out.append(buffer, result.ptr);
    }
    void dateTime(qint64 msecs)
    {
        const qint64 days = msecs >= 0 ? msecs / msecsPerDay : -((-msecs + msecsPerDay - 1) / msecsPerDay);
        const qint64 inDay = msecs - days * msecsPerDay;
        const QDate date = QDate::fromJulianDay(days + unixEpochJulianDay);
        if (date.year() < 1 || date.year() > 9999) {
            text(QDateTime::fromMSecsSinceEpoch(msecs, QTimeZone::utc()).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")));
            return;
        }
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "\"%04d-%02d-%02dT%02d:%02d:%02d.%03d\"", date.year(), date.month(), date.day(),
                      int(inDay / 3'600'000), int(inDay / 60'000 % 60), int(inDay / 1000 % 60), int(inDay % 1000));
        out += buffer;
    }

    void cell(const RowStore& store, int row, int col, FieldType type)
    {
        if (store.isNull(row, col)) {
            out += "null";
            return;
        }
        switch (type) {
        case FieldType::String: text(store.utf8View(row, col)); return;
        case FieldType::Float: number(store.number(row, col)); return;
        case FieldType::Integer: {
            const qint64 v = store.integer(row, col);
            // Doubles carry integers exactly only up to 2^53; larger ones travel as text.
            if (std::llabs(v) < exactDoubleLimit) {
                integer(v);
            } else {
                out += '"';
                integer(v);
                out += '"';
            }
            return;
        }
        case FieldType::Boolean: out += store.integer(row, col) ? "true" : "false"; return;
        case FieldType::DateTime: dateTime(store.integer(row, col)); return;
        case FieldType::Blob: {
            const QByteArray base64 = store.value(row, col).toByteArray().toBase64();
            text(std::string_view(base64.constData(), size_t(base64.size())));
            return;
        }
        }
    }
    void row(const RowStore& store, int r)
    {
        const FieldDefs& defs = store.fields();
        out += '[';
        for (int c = 0; c < defs.size(); ++c) {
            if (c)
                out += ',';
            cell(store, r, c, defs[c].type);
        }
        out += ']';
    }

    void packet(const DataPacket& packet)
    {
        out += "{\"fields\":[";
        const FieldDefs& defs = packet.fields();
        for (int c = 0; c < defs.size(); ++c) {
            const FieldDef& f = defs[c];
            out += c ? ",{\"name\":" : "{\"name\":";
            text(f.name);
            out += ",\"type\":";
            text(fieldTypeName(f.type));
            if (f.size) {
                out += ",\"size\":";
                integer(f.size);
            }
            if (f.required)
                out += ",\"required\":true";
            out += ",\"flags\":";
            integer(f.providerFlags);
            out += '}';
        }
        out += "],\"rows\":[";
        // About as many bytes as the columns hold, to spare the string its regrowth.
        out.reserve(out.size() + size_t(packet.rowCount()) * size_t(defs.size()) * 16);
        for (int r = 0; r < packet.rowCount(); ++r) {
            if (r)
                out += ',';
            row(packet.rows, r);
        }
        out += ']';
        if (packet.carriesLog) {
            out += ",\"status\":\"";
            for (int r = 0; r < packet.rowCount(); ++r)
                out += statusLetters[int(packet.rowStatus(r))];
            out += "\",\"originals\":[";
            for (int r = 0; r < packet.rowCount(); ++r) {
                if (r)
                    out += ',';
                const RowStatus s = packet.rowStatus(r);
                if (s == RowStatus::Modified || s == RowStatus::Deleted)
                    row(packet.originals, r);
                else
                    out += "null";
            }
            out += ']';
        }
        out += '}';
    }

    void tagged(const char* tag)
    {
        out += "{\"";
        out += tag;
        out += "\":";
    }

    void value(const QVariant& v)
    {
        if (!v.isValid() || v.isNull()) {
            out += "null";
            return;
        }
        if (isPacket(v)) {
            tagged("packet");
            packet(v.value<DataPacket>());
        } else if (isServerFault(v)) {
            tagged("fault");
            text(v.value<ServerFault>().message);
        } else {
            switch (v.typeId()) {
            case QMetaType::QVariantList:
            case QMetaType::QStringList: {
                tagged("array");
                out += '[';
                const QVariantList items = v.toList();
                for (qsizetype i = 0; i < items.size(); ++i) {
                    if (i)
                        out += ',';
                    value(items[i]);
                }
                out += ']';
                break;
            }
            case QMetaType::QString: tagged("text"); text(v.toString()); break;
            case QMetaType::Bool: tagged("bool"); out += v.toBool() ? "true" : "false"; break;
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
                tagged("int");
                out += '"';
                integer(v.toLongLong());
                out += '"';
                break;
            case QMetaType::Double:
            case QMetaType::Float: tagged("float"); number(v.toDouble()); break;
            case QMetaType::QDateTime: {
                tagged("datetime");
                const QDateTime dt = RowStore::convert(v, FieldType::DateTime).toDateTime();
                if (dt.isValid())
                    dateTime(dt.toMSecsSinceEpoch());
                else
                    out += "\"\"";
                break;
            }
            case QMetaType::QDate: tagged("date"); text(v.toDate().toString(Qt::ISODate)); break;
            case QMetaType::QByteArray: {
                tagged("blob");
                const QByteArray base64 = v.toByteArray().toBase64();
                text(std::string_view(base64.constData(), size_t(base64.size())));
                break;
            }
            default:
                throw Error(QStringLiteral("Tipo de valor não suportado no envio: %1.").arg(QString::fromLatin1(v.typeName())));
            }
        }
        out += '}';
    }
};

} // namespace

WireMessage readWireMessage(std::string_view json, const WireLimits& limits)
{
    return Reader(json, limits).message();
}

QVariant readValueJson(std::string_view json, const WireLimits& limits)
{
    return Reader(json, limits).lone();
}

std::string writeWireMessage(const WireMessage& message)
{
    Writer w;
    w.out += '{';
    bool first = true;
    const auto key = [&](const QString& name) {
        if (!first)
            w.out += ',';
        first = false;
        w.text(name);
        w.out += ':';
    };
    for (auto it = message.texts.cbegin(); it != message.texts.cend(); ++it) {
        key(it.key());
        w.text(it.value());
    }
    for (auto it = message.values.cbegin(); it != message.values.cend(); ++it) {
        key(it.key());
        w.value(it.value());
    }
    w.out += '}';
    return std::move(w.out);
}

std::string writeValueJson(const QVariant& value)
{
    Writer w;
    w.value(value);
    return std::move(w.out);
}

} // namespace framework
