#include "store/statement.h"

#include "platform/failure.h"
#include "store/connection.h"
#include "store/engine.h"

namespace corvane {

Statement::Statement(Connection &connection, const QString &sql) : Statement(connection.engine(), sql) {}

Statement::Statement(Engine &engine, const QString &sql) : m_statement(engine.prepare(sql)) {}

Statement::~Statement() = default;

void Statement::bind(int index, const std::optional<QString> &value)
{
    m_statement->bind(index, value);
}

void Statement::bind(int index, qint64 value)
{
    m_statement->bind(index, value);
}

void Statement::bind(const char *name, const std::optional<QString> &value)
{
    bind(indexOf(name), value);
}

void Statement::bind(const char *name, qint64 value)
{
    bind(indexOf(name), value);
}

bool Statement::hasParameter(const char *name) const
{
    return m_statement->parameterIndex(name) != 0;
}

bool Statement::step()
{
    return m_statement->step();
}

void Statement::run()
{
    while (step()) {
    }
}

void Statement::reset()
{
    m_statement->reset();
}

int Statement::changes() const
{
    return m_statement->changes();
}

int Statement::columnCount() const
{
    return m_statement->columnCount();
}

std::optional<QString> Statement::text(int column) const
{
    return m_statement->text(column);
}

qint64 Statement::integer(int column) const
{
    return m_statement->integer(column);
}

int Statement::indexOf(const char *name) const
{
    const int index = m_statement->parameterIndex(name);
    if (index == 0)
        throw Failure(QStringLiteral("No parameter %1 in the statement").arg(QString::fromUtf8(name)));
    return index;
}

} // namespace corvane
