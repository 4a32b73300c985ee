#include "WmiConnection.h"

#include "WmiObject.h"
#include "WmiText.h"

#include <optional>
#include <vector>

using vorn::wmi::WmiObject;

namespace {

// Everything one connection holds. A Start replaces whatever an earlier
// connection left behind, so a forgotten End never leaks into a new query.
struct Connection {
    HRESULT lastResult = WMI_S_OK;
    BYTE apartment = 0;
    bool open = false; // the enumeration exists
    std::vector<WmiObject> objects;
    std::size_t next = 0;
    std::optional<WmiObject> current;
    ULONG returned = 0;
    VARIANT value;
};

Connection& connection() {
    static Connection state;
    return state;
}

// Stands in for the COM start-up and the connection to the namespace:
// nothing there can fail on this platform, but the apartment flag is kept.
void openSession(BYTE apartment) {
    Connection& c = connection();
    c = Connection();
    c.apartment = apartment;
}

bool step() {
    Connection& c = connection();
    c.current.reset();
    c.returned = 0;
    if (!c.open) {
        c.lastResult = WMI_E_NO_ENUMERATION;
        return false;
    }
    if (c.next >= c.objects.size()) {
        c.lastResult = WMI_S_FALSE;
        return false;
    }
    c.current = c.objects[c.next++];
    c.returned = 1;
    c.lastResult = WMI_S_OK;
    return true;
}

} // namespace

BOOL Cm_GetWMI_Info_Start(const char16_t* className, BYTE apartment) {
    openSession(apartment);
    Connection& c = connection();
    const QString name = Cm_FromWide(className);
    // The query text "SELECT * FROM Win32_%s" must fit 64 characters.
    constexpr int kLongestClassName = 64 - 1 - 20;
    if (name.isEmpty() || name.size() > kLongestClassName) {
        c.lastResult = WMI_E_INVALID_QUERY;
        return FALSE;
    }
    auto instances = vorn::wmi::currentClassSource()->instances(QStringLiteral("Win32_") + name);
    if (!instances) {
        c.lastResult = WMI_E_INVALID_CLASS;
        return FALSE;
    }
    c.objects = std::move(*instances);
    c.open = true;
    c.lastResult = WMI_S_OK;
    return TRUE;
}

BOOL Cm_GetWMI_Info_Class_Start(BYTE apartment) {
    openSession(apartment);
    Connection& c = connection();
    for (const QString& name : vorn::wmi::currentClassSource()->classNames())
        c.objects.emplace_back(name);
    c.open = true;
    c.lastResult = WMI_S_OK;
    return TRUE;
}

BOOL Cm_GetWMI_Info_Loop() {
    return step() ? TRUE : FALSE;
}

QString Wmi_PropertyText(const QString& name, char16_t* typeName) {
    Connection& c = connection();
    c.value.clear();
    std::optional<VARIANT> value = c.current ? c.current->get(name) : std::nullopt;
    if (!value) {
        c.lastResult = WMI_E_NOT_FOUND;
        return QString();
    }
    c.lastResult = WMI_S_OK;
    c.value = *value;
    if (typeName)
        vorn::wmi::copyToField(Wmi_TypeName(c.value.vt), typeName, 32);
    return Wmi_VariantText(c.value);
}

BOOL Cm_GetWMI_Info_List(QStringList* names, QStringList* values, QStringList* types, BOOL bAll) {
    if (!step())
        return FALSE;
    Connection& c = connection();
    const QList<vorn::wmi::WmiProperty> properties = c.current->properties();
    for (const vorn::wmi::WmiProperty& property : properties) {
        char16_t typeName[32] = {};
        const QString text = Wmi_PropertyText(property.name, typeName);
        if (text.isEmpty() && !bAll)
            continue;
        // The lists stay parallel only when all three are given.
        if (!names || !values || !types)
            continue;
        names->append(property.name);
        values->append(text);
        types->append(QString::fromUtf16(typeName));
    }
    c.value.clear();
    return TRUE;
}

BOOL Cm_GetWMI_Info_Class_List(QStringList* classes, BOOL bAll) {
    if (!step())
        return FALSE;
    const QString name = Wmi_PropertyText(QStringLiteral("__CLASS"));
    if (classes && !name.isEmpty() && (bAll || name.startsWith(QLatin1String("Win32_"))))
        classes->append(name);
    return TRUE;
}

void Cm_GetWMI_Info_End() {
    Connection& c = connection();
    const BYTE apartment = c.apartment;
    c = Connection();
    c.apartment = apartment;
}

HRESULT Wmi_LastResult() {
    return connection().lastResult;
}
BYTE Wmi_Apartment() {
    return connection().apartment;
}
bool Wmi_HasCurrentObject() {
    return connection().current.has_value();
}
