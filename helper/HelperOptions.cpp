#include "HelperOptions.h"

namespace vorn::diskhelper {

std::optional<HelperOptions> parseHelperOptions(const QStringList& arguments, QString* error) {
    HelperOptions options;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& option = arguments[i];
        if (i + 1 >= arguments.size()) {
            *error = QStringLiteral("%1 needs a value").arg(option);
            return std::nullopt;
        }
        const QString value = arguments[++i];
        if (option == QLatin1String("--address")) {
            options.busAddress = value;
        } else if (option == QLatin1String("--sim")) {
            options.simMachine = value;
        } else if (option == QLatin1String("--trace")) {
            options.traceFile = value;
        } else if (option == QLatin1String("--idle-ms")) {
            bool ok = false;
            options.idleMs = value.toInt(&ok);
            if (!ok || options.idleMs <= 0) {
                *error = QStringLiteral("--idle-ms takes a positive number");
                return std::nullopt;
            }
        } else {
            *error = QStringLiteral("unknown option %1").arg(option);
            return std::nullopt;
        }
    }
    if (!options.traceFile.isEmpty() && options.simMachine.isEmpty()) {
        *error = QStringLiteral("--trace needs --sim");
        return std::nullopt;
    }
    return options;
}

} // namespace vorn::diskhelper
