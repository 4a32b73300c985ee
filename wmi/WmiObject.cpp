#include "WmiObject.h"

#include "TextConvert.h"
#include "providers/SystemClassSource.h"

namespace vorn::wmi {

// Property names are matched as the system matches them, ignoring case.
void WmiObject::set(const QString& name, const VARIANT& value) {
    for (WmiProperty& property : m_properties) {
        if (Cm_SameTextIgnoringCase(property.name, name)) {
            property.value = value;
            return;
        }
    }
    m_properties.append({name, value});
}

std::optional<VARIANT> WmiObject::get(const QString& name) const {
    if (name.size() == 7 && name.compare(QLatin1String("__CLASS"), Qt::CaseInsensitive) == 0)
        return VARIANT::ofBstr(m_className);
    for (const WmiProperty& property : m_properties) {
        if (Cm_SameTextIgnoringCase(property.name, name))
            return property.value;
    }
    return std::nullopt;
}

namespace {

std::shared_ptr<const ClassSource>& installedSource() {
    static std::shared_ptr<const ClassSource> source;
    return source;
}

} // namespace

void installClassSource(std::shared_ptr<const ClassSource> source) {
    installedSource() = std::move(source);
}

std::shared_ptr<const ClassSource> currentClassSource() {
    if (!installedSource())
        installedSource() = std::make_shared<SystemClassSource>(SystemRoots::live());
    return installedSource();
}

} // namespace vorn::wmi
