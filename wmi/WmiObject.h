#pragma once

#include "VornWmiExport.h"
#include "WmiVariant.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace vorn::wmi {

struct WmiProperty {
    QString name;
    VARIANT value;
};

// One instance of a class: its properties in the order the provider set
// them. Names compare without regard to case, as the query service does.
class VORNWMI_API WmiObject {
public:
    explicit WmiObject(const QString& className) : m_className(className) {}

    const QString& className() const { return m_className; }
    const QList<WmiProperty>& properties() const { return m_properties; }

    // Replaces the value of an existing property or appends a new one.
    void set(const QString& name, const VARIANT& value);
    void setText(const QString& name, const QString& text) { set(name, VARIANT::ofBstr(text)); }

    // The value, or nothing when the object has no such property. The system
    // property "__CLASS" is answered from the class name.
    std::optional<VARIANT> get(const QString& name) const;

private:
    QString m_className;
    QList<WmiProperty> m_properties;
};

// Where the classes and their instances come from. The query connection asks
// the installed source; tests install their own.
class VORNWMI_API ClassSource {
public:
    virtual ~ClassSource() = default;
    // Every class the source knows, with its full name ("Win32_DiskDrive").
    virtual QStringList classNames() const = 0;
    // The instances of a class in enumeration order, or nothing when the
    // class is unknown.
    virtual std::optional<std::vector<WmiObject>> instances(const QString& className) const = 0;
};

// Null installs the running system's source again.
VORNWMI_API void installClassSource(std::shared_ptr<const ClassSource> source);
VORNWMI_API std::shared_ptr<const ClassSource> currentClassSource();

} // namespace vorn::wmi
