#pragma once

#include <QList>
#include <QString>

#include <functional>

#include <memory>
#include <optional>

namespace corvane {

class Connection;
class PagedQuery;
class Statement;

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

// What adding a batch of customers came to.
struct AddedCustomers
{
    // Positions in the batch of the customers left out because a customer
    // with their code was there already (or came earlier in the batch).
    QList<qsizetype> codesPresent;
    // Nothing was written: the caller stopped it half way.
    bool cancelled = false;
};

// Table customer.
class CustomerStore
{
public:
    explicit CustomerStore(Connection &connection);

    // The customer with this number, std::nullopt for a new number: the
    // first whose number is written exactly so, else the one with the lowest
    // code whose number has one of the keys callerKeys(tel, areaCode) gives,
    // among the customers keyed and the newest UnkeyedLooked waiting for it
    // (of those noted one by one, and of a book's range).
    static constexpr qsizetype UnkeyedLooked = 1000;
    std::optional<Customer> customerByTel(const QString &tel, const QString &areaCode = {});
    // Every customer in the order they were added, to page through and edit.
    std::unique_ptr<PagedQuery> allCustomers();
    // The customers whose code is `code`, exactly as given.
    std::unique_ptr<PagedQuery> customersWithCode(const QString &code);

    // Every customer in the order they were added.
    void forEachCustomer(const std::function<void(const Customer &)> &visit);
    // Adds the customers whose code is new, all in one transaction, with
    // their keys. `proceed`
    // hears how many have been gone through, every ProgressStep customers;
    // when it answers false, nothing is written. A null field is written
    // NULL, an empty one as an empty text.
    static constexpr qsizetype ProgressStep = 500;
    AddedCustomers addCustomers(const QList<Customer> &customers,
                                const std::function<bool(qsizetype done)> &proceed);

private:
    // The customer whose fields the row holds from column `first` on.
    static Customer customerOf(const Statement &select, int first = 0);

    Connection &m_connection;
};

} // namespace corvane
