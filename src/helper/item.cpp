#include "item.h"

#include "clockmanager.h"

Item::Item()
    : m_endTime(ClockManager::instance()->currentDateTime())
    , m_actualBidTime(m_endTime) {}
