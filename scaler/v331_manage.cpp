#include "scaler/v331_manage.h"

#include "core/para_change.h"

v331_manage *v331_manage::p_v331_manage = nullptr;
QMutex &v331_manage::para_mutex = ParaChange::mutex;
std::atomic<uint8_t> &v331_manage::para_changed = ParaChange::changed;

v331_manage *v331_manage::pInstance()
{
    if (!p_v331_manage)
        p_v331_manage = new v331_manage;
    return p_v331_manage;
}

void v331_manage::destroy_instance()
{
    delete p_v331_manage;
    p_v331_manage = nullptr;
}

v331_manage::v331_manage() = default;
