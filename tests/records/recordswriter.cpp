// Saves customers into the database named on the command line until it is
// killed, alternating two windows' datasets. After each save has returned it
// prints the customer code.
#include "records/dataset.h"
#include "store/stores.h"

#include <QCoreApplication>

#include <unistd.h>

using namespace corvane;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    Stores stores;
    stores.connection.setDatabasePath(QString::fromLocal8Bit(argv[1]));
    Dataset entries[] = {Dataset(stores.customers.allCustomers()), Dataset(stores.customers.allCustomers())};
    for (Dataset &entry : entries)
        entry.open();
    for (int i = 0;; ++i) {
        const QString code = QStringLiteral("saved-%1").arg(i);
        Dataset &entry = entries[i % 2];
        entry.append();
        entry.setFieldText(QStringLiteral("customercode"), code);
        entry.setFieldText(QStringLiteral("customername"), QStringLiteral("客户'%1").arg(i));
        entry.post();
        const QByteArray line = code.toUtf8() + '\n';
        if (::write(STDOUT_FILENO, line.constData(), std::size_t(line.size())) < 0)
            return 1;
    }
}
