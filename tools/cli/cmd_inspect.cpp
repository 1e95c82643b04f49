#include "Commands.h"

#include <QTextStream>

int cli::runInspect(const QStringList &)
{
    QTextStream(stderr) << "not available yet\n";
    return 2;
}
