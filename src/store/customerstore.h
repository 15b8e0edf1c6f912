#pragma once

#include <QString>

#include <memory>
#include <optional>

namespace corvane {

class Connection;
class PagedQuery;

// A customer as the main window shows it for an incoming call.
struct Customer
{
    QString customerCode;
    QString name;
    QString address;
    QString postcode;
    QString contact;
    QString tel;
    QString email;
    QString qq;
};

// Table customer.
class CustomerStore
{
public:
    explicit CustomerStore(Connection &connection);

    // The first customer with this number, std::nullopt for a new number.
    std::optional<Customer> customerByTel(const QString &tel);
    // Every customer in the order they were added, to page through and edit.
    std::unique_ptr<PagedQuery> allCustomers();
    // The customers whose code is `code`, exactly as given.
    std::unique_ptr<PagedQuery> customersWithCode(const QString &code);

private:
    Connection &m_connection;
};

} // namespace corvane
