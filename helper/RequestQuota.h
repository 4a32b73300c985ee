#pragma once

#include <QString>

#include <map>

namespace vorn::diskhelper {

// How many requests may wait at once: in all, per user and per bus
// connection. A request can wait minutes at polkit (an agent that never
// answers holds it until the call times out), so without a share per caller
// one user could park enough requests to leave every other user with
// nothing but "busy".
class RequestQuota {
public:
    struct Limits {
        int total = 16;
        int perUser = 4;
        int perConnection = 2;
    };

    RequestQuota() = default;
    explicit RequestQuota(Limits limits) : m_limits(limits) {}

    // Counts one more waiting request of the caller and says true, or says
    // false and counts nothing when any of the three limits is reached.
    bool take(const QString& busName, unsigned uid);
    // The request taken for this caller is answered.
    void give(const QString& busName, unsigned uid);

    int pending() const { return m_total; }

private:
    Limits m_limits;
    int m_total = 0;
    std::map<unsigned, int> m_byUser;
    std::map<QString, int> m_byConnection;
};

} // namespace vorn::diskhelper
