#include "PassOptions.h"

#include "LeadingNumber.h"

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

int PassSwitchNumber(const QString& text) {
    return LeadingNumber(reinterpret_cast<const char16_t*>(text.utf16()));
}

PassSwitch ApplyPassSwitch(const QStringList& arguments, int index, PassOptions* options) {
    const PassSwitch which = MatchPassSwitch(arguments.value(index));
    switch (which) {
    case PassSwitch::Init:
        if (index + 1 < arguments.size())
            options->m_nOptInit = static_cast<BYTE>(PassSwitchNumber(arguments[index + 1]));
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
