#include "Resources.h"

#include <QtGlobal>

// The pictures are compiled into this static library; a program that links
// it must register them once before any is drawn.
static void initResourcesOutsideNamespace()
{
    Q_INIT_RESOURCE(resources);
}

void ui::initResources()
{
    initResourcesOutsideNamespace();
}
