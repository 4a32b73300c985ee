#include "CheckerCommands.h"

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
    return command ? QString::fromUtf16(command->text) : QString();
}

} // namespace vorn::checker
