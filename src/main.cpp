#include "app/application.h"
#include "core/servercopycommand.h"

int main(int argc, char **argv)
{
    // The copy to the server runs without a window, and without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (corvane::isServerCopyCommand(arguments))
        return corvane::runServerCopyCommand(argc, argv);
    return corvane::runCorvane(argc, argv);
}
