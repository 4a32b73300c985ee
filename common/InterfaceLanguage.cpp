#include "InterfaceLanguage.h"

#include <cstdlib>
#include <optional>

namespace {

// "ja", "ja_JP", "ja_JP.UTF-8" and "ja@x" name Japanese; "jam" does not.
bool NamesLanguage(const QByteArray& locale, const char* code) {
    const QByteArray prefix(code);
    if (!locale.startsWith(prefix))
        return false;
    if (locale.size() == prefix.size())
        return true;
    const char next = locale.at(prefix.size());
    return next == '_' || next == '.' || next == '@';
}

bool IsPlainCLocale(const QByteArray& locale) {
    return locale.isEmpty() || locale == "C" || locale == "POSIX" || locale.startsWith("C.") ||
           locale.startsWith("C@");
}

std::optional<InterfaceLanguage> Forced(const QByteArray& value) {
    if (value == "ja")
        return InterfaceLanguage::Japanese;
    if (value == "en")
        return InterfaceLanguage::English;
    return std::nullopt;
}

} // namespace

InterfaceLanguage Cm_ChooseLanguage(const EnvironmentLookup& lookup) {
    if (const auto forced = Forced(lookup("VORN_LANG").trimmed()))
        return *forced;

    QByteArray locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = lookup(name).trimmed();
        if (!locale.isEmpty())
            break;
    }
    // gettext ignores LANGUAGE under the C locale; so do we.
    if (IsPlainCLocale(locale))
        return InterfaceLanguage::Japanese;

    // The first entry we have a catalogue for wins; entries of other
    // languages (de:fr:...) are passed over as gettext passes them over.
    for (const QByteArray& entry : lookup("LANGUAGE").split(':')) {
        if (NamesLanguage(entry, "ja"))
            return InterfaceLanguage::Japanese;
        if (NamesLanguage(entry, "en"))
            return InterfaceLanguage::English;
    }
    return NamesLanguage(locale, "ja") ? InterfaceLanguage::Japanese : InterfaceLanguage::English;
}

InterfaceLanguage Cm_ChooseLanguageFromProcess() {
    return Cm_ChooseLanguage([](const char* name) { return QByteArray(std::getenv(name)); });
}

QString Cm_LanguageCode(InterfaceLanguage language) {
    return language == InterfaceLanguage::Japanese ? QStringLiteral("ja") : QStringLiteral("en");
}
