#include "CHddSmartDisp.h"

#include "SmartDecoder.h"

VORN_IMPLEMENT_DYNCREATE(CHddSmartDisp, CObject)

CHddSmartDisp::~CHddSmartDisp() = default;

double CHddSmartDisp::CalcDepleted() const {
    if (m_nCurrent == -1 || m_nThreshold == -1)
        return 0.0;
    // The members are public and a caller may store any int in them; the
    // differences are taken in 64 bits so that extreme values cannot
    // overflow. For every pair whose difference fits in 32 bits the result
    // is the same.
    const long long margin = static_cast<long long>(m_nInit) - m_nThreshold;
    const long long left = static_cast<long long>(m_nCurrent) - m_nThreshold;
    // Without a margin the quotient is infinite or undefined; keep every
    // text, bar and query on finite numbers instead.
    if (margin == 0)
        return left < 0 ? 100.0 : 0.0;
    return 100.0 - static_cast<double>(left) / static_cast<double>(margin) * 100.0;
}

bool CHddSmartDisp::BelowThreshold() const {
    return m_nThreshold > 0 && m_nCurrent >= 0 &&
           vorn::smart::atOrBelowThreshold(m_nCurrent, m_nThreshold);
}

QString CHddSmartDisp::RawText() const {
    if (!m_bRawFormatKnown)
        return QString::number(m_nRaw48);
    return vorn::hdd::decodeRaw(m_RawFormat, m_Entry).text;
}

CHddSmartDispList::~CHddSmartDispList() = default;

CHddSmartDisp* CHddSmartDispList::GetAt(int index) const {
    if (index < 0 || index >= GetCount())
        return nullptr;
    return m_records[static_cast<std::size_t>(index)].get();
}

void CHddSmartDispList::AddTail(std::unique_ptr<CHddSmartDisp> record) {
    if (record)
        m_records.push_back(std::move(record));
}

std::unique_ptr<CHddSmartDisp> CHddSmartDispList::Take(const CHddSmartDisp* record) {
    for (auto it = m_records.begin(); it != m_records.end(); ++it) {
        if (it->get() == record) {
            std::unique_ptr<CHddSmartDisp> taken = std::move(*it);
            m_records.erase(it);
            return taken;
        }
    }
    return nullptr;
}

void CHddSmartDispList::RemoveAll() {
    m_records.clear();
}
