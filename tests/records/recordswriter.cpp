// Saves customers into the database named on the command line until it is
// killed, alternating the entry form's way (dataset post) and a composed
// INSERT. After each save has returned it prints the customer code.
#include "records/connection.h"
#include "records/dataset.h"
#include "records/sqltext.h"

#include <QCoreApplication>

#include <unistd.h>

using namespace corvane;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    Connection connection;
    connection.setDatabasePath(QString::fromLocal8Bit(argv[1]));
    Dataset entry(connection, QStringLiteral("select * from customer"));
    entry.open();
    for (int i = 0;; ++i) {
        const QString code = QStringLiteral("saved-%1").arg(i);
        if (i % 2 == 0) {
            entry.append();
            entry.setFieldText(QStringLiteral("customercode"), code);
            entry.setFieldText(QStringLiteral("customername"), QStringLiteral("客户'%1").arg(i));
            entry.post();
        } else {
            Dataset insert(connection,
                           QStringLiteral("insert into customer(customercode,customername) values(") +
                               sqlText(code) + QLatin1Char(',') + sqlText(QStringLiteral("客户'%1").arg(i)) +
                               QLatin1Char(')'));
            insert.execute();
        }
        const QByteArray line = code.toUtf8() + '\n';
        if (::write(STDOUT_FILENO, line.constData(), std::size_t(line.size())) < 0)
            return 1;
    }
}
