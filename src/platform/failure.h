#pragma once

#include <QString>
#include <exception>

namespace corvane {

// A failure that ends the event handler it happens in. The handler boundary
// (see guard.h) shows its message in the generic error box.
class Failure : public std::exception
{
public:
    explicit Failure(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

} // namespace corvane
