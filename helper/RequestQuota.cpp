#include "RequestQuota.h"

namespace vorn::diskhelper {

namespace {

template <class Map, class Key> int countOf(const Map& counts, const Key& key) {
    const auto it = counts.find(key);
    return it == counts.end() ? 0 : it->second;
}

// Drops a key whose count reaches 0, so that callers that came and went
// leave nothing behind.
template <class Map, class Key> void release(Map& counts, const Key& key) {
    const auto it = counts.find(key);
    if (it != counts.end() && --it->second <= 0)
        counts.erase(it);
}

} // namespace

bool RequestQuota::take(const QString& busName, unsigned uid) {
    if (m_total >= m_limits.total || countOf(m_byUser, uid) >= m_limits.perUser ||
        countOf(m_byConnection, busName) >= m_limits.perConnection)
        return false;
    ++m_total;
    ++m_byUser[uid];
    ++m_byConnection[busName];
    return true;
}

void RequestQuota::give(const QString& busName, unsigned uid) {
    if (countOf(m_byConnection, busName) == 0 || countOf(m_byUser, uid) == 0)
        return;
    --m_total;
    release(m_byUser, uid);
    release(m_byConnection, busName);
}

} // namespace vorn::diskhelper
