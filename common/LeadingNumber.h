#pragma once

#include "VornComExport.h"

#include <QStringView>

#include <cstddef>
#include <string_view>

// The decimal number a text starts with, read by one set of rules for every
// reader of the suite (switches, system query texts, settings, templates,
// description files, simulated machines):
//   - white space before it is skipped where the form allows: the C locale's
//     six (space, tab, line feed, vertical tab, form feed, carriage return),
//     nothing else, so a byte-order mark or a no-break space ends the text;
//   - then one '+' or '-' where the form allows a sign;
//   - then the ASCII digits 0 to 9, up to the first other character. Digits
//     of other scripts are not digits here.
// A number outside the caller's range is an error of its own, never 0 and
// never a wrapped value; what it means is the caller's choice.
namespace vorn {

struct LeadingNumberForm {
    bool skipSpace = true;
    bool sign = true;
};

struct LeadingNumber {
    enum Status { Number, NoDigits, OutOfRange };
    Status status = NoDigits;
    // The number when status is Number, else 0.
    long long value = 0;
    // The number, or for OutOfRange the end of the range on the side it
    // passed, or 0 for NoDigits: how the C runtime of the original platform
    // reads numbers, for the readers that keep that reading.
    long long saturated = 0;
    // Characters taken, through the last digit; 0 when there are none.
    std::size_t end = 0;
};

// minimum must not exceed maximum.
VORNCOM_API LeadingNumber readLeadingNumber(std::string_view text, long long minimum,
                                            long long maximum, LeadingNumberForm form = {});
VORNCOM_API LeadingNumber readLeadingNumber(std::u16string_view text, long long minimum,
                                            long long maximum, LeadingNumberForm form = {});
VORNCOM_API LeadingNumber readLeadingNumber(QStringView text, long long minimum, long long maximum,
                                            LeadingNumberForm form = {});

} // namespace vorn
