#include "platform/resources_init.h"

#include <QtGlobal>

void kor_init_resources()
{
    Q_INIT_RESOURCE(resources);
}
