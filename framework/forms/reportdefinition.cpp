#include "reportdefinition.h"

#include "framework/abort.h"
#include "framework/ui/query.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace framework {

namespace {

class Parser {
public:
    Parser(ReportDefinition& definition, const QString& origin) : m_def(definition), m_origin(origin) {}

    void line(const QString& raw, int number)
    {
        m_number = number;
        const QString text = raw.trimmed();
        if (text.startsWith(u'[') && text.endsWith(u']')) {
            section(text.mid(1, text.size() - 2).trimmed().toLower());
            return;
        }
        if (m_sql) { // a statement runs to the next section; comments are the database's
            *m_sql += raw + u'\n';
            return;
        }
        if (text.isEmpty() || text.startsWith(u'#'))
            return;
        const qsizetype eq = text.indexOf(u'=');
        if (eq <= 0)
            fail(QStringLiteral("esperava \"nome = valor\""));
        entry(text.left(eq).trimmed().toLower(), text.mid(eq + 1).trimmed());
    }

    void finish()
    {
        if (m_def.sqlGeneral.trimmed().isEmpty() && m_def.sqlSqlite.trimmed().isEmpty()
            && m_def.sqlPostgres.trimmed().isEmpty())
            fail(QStringLiteral("a definição não tem a seção [consulta]"));
        if (m_def.columns.isEmpty())
            fail(QStringLiteral("a definição não tem nenhuma [coluna]"));
        for (const ReportColumn& c : std::as_const(m_def.columns))
            if (c.field.isEmpty())
                fail(QStringLiteral("uma [coluna] sem \"campo\""));
        for (const ReportGroup& g : std::as_const(m_def.groups))
            if (g.field.isEmpty())
                fail(QStringLiteral("um [grupo] sem \"campo\""));
    }

private:
    enum class Section { None, Report, Group, Column };

    void section(const QString& name)
    {
        m_sql = nullptr;
        if (name == u"relatorio" || name == u"relatório") {
            m_section = Section::Report;
        } else if (name == u"grupo") {
            m_section = Section::Group;
            m_def.groups.append(ReportGroup());
        } else if (name == u"coluna") {
            m_section = Section::Column;
            m_def.columns.append(ReportColumn());
        } else if (name == u"consulta") {
            m_sql = &m_def.sqlGeneral;
        } else if (name == u"consulta sqlite") {
            m_sql = &m_def.sqlSqlite;
        } else if (name == u"consulta postgresql") {
            m_sql = &m_def.sqlPostgres;
        } else {
            fail(QStringLiteral("seção desconhecida [%1]").arg(name));
        }
    }

    void entry(const QString& key, const QString& value)
    {
        switch (m_section) {
        case Section::Report:
            if (key == u"titulo" || key == u"título")
                m_def.title = value;
            else if (key == u"modelo")
                m_def.layoutTitle = value;
            else if (key == u"orientacao" || key == u"orientação")
                m_def.landscape = choice(value, {"retrato", "paisagem"}) == 1;
            else if (key == u"filtro")
                m_def.filters << value;
            else if (key == u"total")
                m_def.totalCaption = value;
            else
                unknown(key);
            return;
        case Section::Group: {
            ReportGroup& g = m_def.groups.last();
            if (key == u"campo")
                g.field = value.toUpper();
            else if (key == u"cabecalho" || key == u"cabeçalho")
                g.header = value;
            else if (key == u"total")
                g.footer = value;
            else
                unknown(key);
            return;
        }
        case Section::Column: {
            ReportColumn& c = m_def.columns.last();
            if (key == u"campo") {
                c.field = value.toUpper();
            } else if (key == u"titulo" || key == u"título") {
                c.title = value;
            } else if (key == u"largura") {
                bool ok = false;
                c.width = value.toInt(&ok);
                if (!ok || c.width <= 0)
                    fail(QStringLiteral("largura deve ser um número inteiro positivo"));
            } else if (key == u"alinhamento") {
                static const Qt::Alignment aligns[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter};
                c.alignment = aligns[choice(value, {"esquerda", "direita", "centro"})];
            } else if (key == u"formato") {
                c.format = value;
            } else if (key == u"soma") {
                c.sum = choice(value, {"nao", "sim"}) == 1;
            } else {
                unknown(key);
            }
            return;
        }
        case Section::None:
            fail(QStringLiteral("\"%1\" fora de uma seção").arg(key));
        }
    }

    int choice(const QString& value, std::initializer_list<const char*> options)
    {
        int i = 0;
        for (const char* option : options) {
            if (value.compare(QLatin1String(option), Qt::CaseInsensitive) == 0)
                return i;
            ++i;
        }
        if (value.compare(u"não", Qt::CaseInsensitive) == 0)
            return 0;
        QStringList names;
        for (const char* option : options)
            names << QString::fromLatin1(option);
        fail(QStringLiteral("valor \"%1\" inválido (use %2)").arg(value, names.join(QStringLiteral(", "))));
    }

    [[noreturn]] void unknown(const QString& key) { fail(QStringLiteral("chave desconhecida \"%1\"").arg(key)); }

    [[noreturn]] void fail(const QString& what) const
    {
        throw Error(QStringLiteral("Definição de relatório %1, linha %2: %3.").arg(m_origin).arg(m_number).arg(what));
    }

    ReportDefinition& m_def;
    QString m_origin;
    Section m_section = Section::None;
    QString* m_sql = nullptr;
    int m_number = 0;
};

} // namespace

ReportDefinition ReportDefinition::parse(const QString& text, const QString& origin)
{
    ReportDefinition definition;
    Parser parser(definition, origin);
    const QStringList lines = text.split(u'\n');
    for (int i = 0; i < lines.size(); ++i)
        parser.line(QString(lines[i]).remove(u'\r'), i + 1);
    parser.finish();
    return definition;
}

ReportDefinition ReportDefinition::load(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Não foi possível ler a definição de relatório %1: %2").arg(fileName, file.errorString()));
    return parse(QString::fromUtf8(file.readAll()), QFileInfo(fileName).fileName());
}

QString ReportDefinition::sqlFor(bool postgres) const
{
    const QString& own = postgres ? sqlPostgres : sqlSqlite;
    return own.trimmed().isEmpty() ? sqlGeneral : own;
}

QStringList ReportDefinition::parameters() const
{
    QStringList result;
    for (const QString* sql : {&sqlGeneral, &sqlSqlite, &sqlPostgres}) {
        QStringList names;
        positionalSql(*sql, &names);
        for (const QString& name : std::as_const(names))
            if (!result.contains(name, Qt::CaseInsensitive))
                result << name;
    }
    return result;
}

QString fillPlaceholders(const QString& text, const std::function<QVariant(const QString&)>& lookup, bool* empty)
{
    static const QRegularExpression placeholder(QStringLiteral("\\{([A-Za-z0-9_]+)(\\|([^}]*))?\\}"));
    bool allEmpty = true;
    QString result;
    qsizetype last = 0;
    auto it = placeholder.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        result += QStringView(text).mid(last, m.capturedStart() - last);
        QString value = lookup(m.captured(1)).toString();
        if (m.hasCaptured(3)) {
            for (const QString& pair : m.captured(3).split(u';')) {
                const qsizetype eq = pair.indexOf(u'=');
                if (eq > 0 && pair.left(eq).trimmed() == value.trimmed()) {
                    value = pair.mid(eq + 1).trimmed();
                    break;
                }
            }
        }
        if (!value.trimmed().isEmpty())
            allEmpty = false;
        result += value;
        last = m.capturedEnd();
    }
    result += QStringView(text).mid(last);
    if (empty)
        *empty = allEmpty && last > 0;
    return result;
}

} // namespace framework
