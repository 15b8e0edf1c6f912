#include "app/application.h"

#include <QApplication>

namespace corvane {

int runCorvane(int argc, char **argv)
{
    QApplication app(argc, argv);
    return 0;
}

} // namespace corvane
