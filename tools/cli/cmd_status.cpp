#include "Commands.h"

#include <QTextStream>

int cli::runStatus(const QStringList &)
{
    QTextStream(stderr) << "not available yet\n";
    return 2;
}
