#include "CheckerCommands.h"

#include "Translation.h"

namespace vorn::checker {

const CheckerCommand* FindCheckerCommand(int id) {
    for (const CheckerCommand& command : kCheckerCommands) {
        if (command.id == id)
            return &command;
    }
    return nullptr;
}

QString CheckerCommandString(int id) {
    const CheckerCommand* command = FindCheckerCommand(id);
    return command ? Cm_Tr("CheckerCommand", command->text) : QString();
}

} // namespace vorn::checker
