#pragma once

#include "WinTypes.h"

#include <QString>
#include <QStringList>

namespace vorn::diskpass {

// The checker's start-up switches. Both the window and the command-line tool
// read them with the same rules: any letter case, whole-word match, the
// later of "-Ata" and "-Scsi" wins.
struct PassOptions {
    BYTE m_nOptInit = 0; // COM initialisation mode handed to the system queries
    bool m_bOptMini = false;
    bool m_bOptEnable = false;
    bool m_bOptDisable = false;
    bool m_bOptAta = false;
    bool m_bOptScsi = false;
};

enum class PassSwitch { None, Init, Mini, Enable, Disable, Ata, Scsi };

// Which switch an argument is, compared whole and without regard to case.
PassSwitch MatchPassSwitch(const QString& argument);

// Applies arguments[index] to options. "-init" reads the next argument as a
// decimal number (text that is no number gives 0) but does not consume it:
// the caller examines it in its turn, where a number matches no switch.
// Returns what the argument was.
PassSwitch ApplyPassSwitch(const QStringList& arguments, int index, PassOptions* options);

// The window's parse: every argument after the program's own path; those
// that match no switch are ignored.
PassOptions ParsePassSwitches(const QStringList& arguments);

} // namespace vorn::diskpass
