#pragma once

#include <QString>
#include <exception>
#include <stdexcept>

namespace framework {

// The silent abort: cancels the running user action without a message. Only the
// framework guard at Qt entry points catches it.
class Abort : public std::exception {
public:
    const char* what() const noexcept override { return "Abort"; }
};

// A failure with a text meant for the user (in Portuguese). The guard shows it.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

} // namespace framework
