#include "CheckerOptions.h"

#include "LeadingNumber.h"

CheckerSwitch MatchCheckerSwitch(const QString& argument) {
    static const struct {
        const char* name;
        CheckerSwitch which;
    } switches[] = {
        {"-init", CheckerSwitch::Init},     {"-vuda", CheckerSwitch::Mini},
        {"-enable", CheckerSwitch::Enable}, {"-disable", CheckerSwitch::Disable},
        {"-ata", CheckerSwitch::Ata},       {"-scsi", CheckerSwitch::Scsi},
    };
    const QString lower = argument.toLower();
    for (const auto& entry : switches) {
        if (lower == QLatin1String(entry.name))
            return entry.which;
    }
    return CheckerSwitch::None;
}

int CheckerSwitchNumber(const QString& text) {
    return LeadingNumber(reinterpret_cast<const char16_t*>(text.utf16()));
}

CheckerSwitch ApplyCheckerSwitch(const QStringList& arguments, int index, CheckerOptions* options) {
    const CheckerSwitch which = MatchCheckerSwitch(arguments.value(index));
    switch (which) {
    case CheckerSwitch::Init:
        if (index + 1 < arguments.size())
            options->m_nOptInit = static_cast<BYTE>(CheckerSwitchNumber(arguments[index + 1]));
        break;
    case CheckerSwitch::Mini:
        options->m_bOptMini = true;
        break;
    case CheckerSwitch::Enable:
        options->m_bOptEnable = true;
        break;
    case CheckerSwitch::Disable:
        options->m_bOptDisable = true;
        break;
    case CheckerSwitch::Ata:
        options->m_bOptAta = true;
        options->m_bOptScsi = false;
        break;
    case CheckerSwitch::Scsi:
        options->m_bOptScsi = true;
        options->m_bOptAta = false;
        break;
    case CheckerSwitch::None:
        break;
    }
    return which;
}

CheckerOptions ParseCheckerSwitches(const QStringList& arguments) {
    CheckerOptions options;
    for (int i = 1; i < arguments.size(); ++i)
        ApplyCheckerSwitch(arguments, i, &options);
    return options;
}
