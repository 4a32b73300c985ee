#pragma once

#include "DriveKnowledge.h"
#include "OwnedPtrIterator.h"
#include "RuntimeClass.h"
#include "VornHddExport.h"
#include "WinTypes.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

// One displayable S.M.A.R.T. attribute: its name and importance from the
// attribute table, the values of the latest read, and two remembered values
// (the baseline and the last change mark) from which wear is computed.
// -1 in a value member means "not set". Members are public: the programs
// read them all and set m_nInit and m_nChange from their baseline files.
class VORNHDD_API CHddSmartDisp : public CObject {
    VORN_DECLARE_DYNCREATE(CHddSmartDisp)

public:
    CHddSmartDisp() = default;
    ~CHddSmartDisp() override;

    // Share of the margin between baseline and threshold used up, in per
    // cent: 0 at the baseline, 100 at the threshold, above 100 below it,
    // negative above the baseline. 0 when current or threshold is not set.
    // A baseline sitting on the threshold leaves no margin to share: 0 while
    // the value holds at or above the threshold, 100 once it falls below.
    double CalcDepleted() const;

    // The current value is at or below a non-zero threshold.
    bool BelowThreshold() const;
    // The raw value as the drive's format prints it; the decimal of the six
    // raw bytes where the format is not known.
    QString RawText() const;

    BYTE m_byId = 0;
    BYTE m_byImportance = 0;
    QString m_strName;    // in the interface language of the read
    QString m_strNameKey; // the same in every language (AttributeLabel::key)
    int m_nInit = -1;
    int m_nChange = -1;
    int m_nCurrent = -1;
    int m_nWorst = -1;
    int m_nThreshold = -1;
    std::uint32_t m_nRaw = 0;            // raw bytes 0-3
    std::uint64_t m_nRaw48 = 0;          // raw bytes 0-5
    WORD m_wFlags = 0;                   // bit 0: pre-failure
    vorn::hdd::AttributeBytes m_Entry{}; // the entry as the drive sent it
    // The drive database gives this attribute's raw layout.
    bool m_bRawFormatKnown = false;
    vorn::hdd::RawFormat m_RawFormat = vorn::hdd::RawFormat::Raw48;
    // The value follows a temperature on this drive (AttributeNamesForDrive.h).
    bool m_bTemperature = false;
};

// The display records of one disk, in the order of the latest attribute
// sector. The list owns its records; the pointers it hands out stay valid
// until the record's attribute disappears from a re-read or the list is
// cleared, and are never deleted by the caller.
class VORNHDD_API CHddSmartDispList {
    using Storage = std::vector<std::unique_ptr<CHddSmartDisp>>;

public:
    using const_iterator = OwnedPtrIterator<CHddSmartDisp>;

    CHddSmartDispList() = default;
    CHddSmartDispList(CHddSmartDispList&&) = default;
    CHddSmartDispList& operator=(CHddSmartDispList&&) = default;
    ~CHddSmartDispList();

    int GetCount() const { return static_cast<int>(m_records.size()); }
    bool IsEmpty() const { return m_records.empty(); }
    // Record at position index, or null outside the list.
    CHddSmartDisp* GetAt(int index) const;
    const_iterator begin() const { return const_iterator(m_records.begin()); }
    const_iterator end() const { return const_iterator(m_records.end()); }

private:
    friend class CHddSmart;

    void AddTail(std::unique_ptr<CHddSmartDisp> record);
    // Removes the record and hands its ownership back; null when it is not
    // in this list.
    std::unique_ptr<CHddSmartDisp> Take(const CHddSmartDisp* record);
    void RemoveAll();

    Storage m_records;
};
