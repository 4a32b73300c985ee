#include "PassOptions.h"

#include "LeadingNumber.h"

#include <climits>

namespace vorn::diskpass {

PassSwitch MatchPassSwitch(const QString& argument) {
    static const struct {
        const char* name;
        PassSwitch which;
    } switches[] = {
        {"-init", PassSwitch::Init},     {"-vuda", PassSwitch::Mini},
        {"-enable", PassSwitch::Enable}, {"-disable", PassSwitch::Disable},
        {"-ata", PassSwitch::Ata},       {"-scsi", PassSwitch::Scsi},
    };
    const QString lower = argument.toLower();
    for (const auto& entry : switches) {
        if (lower == QLatin1String(entry.name))
            return entry.which;
    }
    return PassSwitch::None;
}

PassSwitch ApplyPassSwitch(const QStringList& arguments, int index, PassOptions* options) {
    const PassSwitch which = MatchPassSwitch(arguments.value(index));
    switch (which) {
    case PassSwitch::Init:
        if (index + 1 < arguments.size()) {
            // The mode is the low byte of the number, as the switch always
            // took it; a word that is no number, or a number beyond int,
            // gives 0.
            const vorn::LeadingNumber number =
                vorn::readLeadingNumber(arguments[index + 1], INT_MIN, INT_MAX);
            options->m_nOptInit =
                number.status == vorn::LeadingNumber::Number ? static_cast<BYTE>(number.value) : 0;
        }
        break;
    case PassSwitch::Mini:
        options->m_bOptMini = true;
        break;
    case PassSwitch::Enable:
        options->m_bOptEnable = true;
        break;
    case PassSwitch::Disable:
        options->m_bOptDisable = true;
        break;
    case PassSwitch::Ata:
        options->m_bOptAta = true;
        options->m_bOptScsi = false;
        break;
    case PassSwitch::Scsi:
        options->m_bOptScsi = true;
        options->m_bOptAta = false;
        break;
    case PassSwitch::None:
        break;
    }
    return which;
}

PassOptions ParsePassSwitches(const QStringList& arguments) {
    PassOptions options;
    for (int i = 1; i < arguments.size(); ++i)
        ApplyPassSwitch(arguments, i, &options);
    return options;
}

} // namespace vorn::diskpass
