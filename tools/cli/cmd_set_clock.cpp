#include "Commands.h"

#include <QTextStream>

int cli::runSetClock(const QStringList &)
{
    QTextStream(stderr) << "not available yet\n";
    return 2;
}
