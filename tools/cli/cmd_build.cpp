#include "Commands.h"

#include <QTextStream>

int cli::runBuild(const QStringList &)
{
    QTextStream(stderr) << "not available yet\n";
    return 2;
}
