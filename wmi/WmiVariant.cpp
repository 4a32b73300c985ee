#include "WmiVariant.h"

#include <QDate>
#include <QLocale>
#include <QTime>

#include <cmath>
#include <cstdio>

VARIANT VARIANT::null() {
    VARIANT v;
    v.vt = VT_NULL;
    return v;
}

VARIANT VARIANT::ofInteger(VARTYPE type, std::int64_t value) {
    VARIANT v;
    v.vt = type;
    v.integer = value;
    return v;
}

VARIANT VARIANT::ofI2(std::int16_t value) {
    return ofInteger(VT_I2, value);
}
VARIANT VARIANT::ofUI2(std::uint16_t value) {
    return ofInteger(VT_UI2, value);
}
VARIANT VARIANT::ofI4(std::int32_t value) {
    return ofInteger(VT_I4, value);
}
VARIANT VARIANT::ofUI4(std::uint32_t value) {
    return ofInteger(VT_UI4, value);
}
VARIANT VARIANT::ofUI1(std::uint8_t value) {
    return ofInteger(VT_UI1, value);
}
VARIANT VARIANT::ofI8(std::int64_t value) {
    return ofInteger(VT_I8, value);
}
VARIANT VARIANT::ofUI8(std::uint64_t value) {
    return ofInteger(VT_UI8, static_cast<std::int64_t>(value));
}
VARIANT VARIANT::ofBool(bool value) {
    return ofInteger(VT_BOOL, value ? -1 : 0);
}

VARIANT VARIANT::ofR8(double value) {
    VARIANT v;
    v.vt = VT_R8;
    v.real = value;
    return v;
}

VARIANT VARIANT::ofBstr(const QString& value) {
    VARIANT v;
    v.vt = VT_BSTR;
    v.text = value;
    return v;
}

VARIANT VARIANT::ofStringArray(const QStringList& values) {
    VARIANT v;
    v.vt = VT_ARRAY | VT_BSTR;
    v.strings = values;
    return v;
}

VARIANT VARIANT::ofDate(double oleDate) {
    VARIANT v;
    v.vt = VT_DATE;
    v.real = oleDate;
    return v;
}

namespace {

// The system locale's date and time, leaving out the part that is zero the
// way the automation date conversion does.
QString oleDateText(double oleDate) {
    if (!std::isfinite(oleDate))
        return QString();
    double days = std::trunc(oleDate);
    double fraction = std::fabs(oleDate - days);
    long long seconds = std::llround(fraction * 86400.0);
    if (seconds >= 86400) {
        days += oleDate < 0 ? -1 : 1;
        seconds = 0;
    }
    const QLocale locale = QLocale::system();
    const QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(days));
    const QTime time = QTime(0, 0).addSecs(static_cast<int>(seconds));
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    timeFormat = timeFormat.trimmed();

    QStringList parts;
    if (days != 0)
        parts << locale.toString(date, QLocale::ShortFormat);
    if (seconds != 0 || days == 0)
        parts << locale.toString(time, timeFormat);
    return parts.join(QLatin1Char(' '));
}

// The C library's "%.f", which rounds exact halves to even.
QString realText(double value) {
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.f", value);
    return QString::fromLatin1(buffer);
}

} // namespace

QString Wmi_VariantText(const VARIANT& value) {
    switch (value.vt) {
    case VT_I2:
    case VT_UI2:
        return QString::number(static_cast<std::int16_t>(value.integer));
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_HRESULT:
        return QString::number(static_cast<std::int32_t>(value.integer));
    case VT_R4:
    case VT_R8:
        return realText(value.real);
    case VT_DATE:
        return oleDateText(value.real);
    case VT_BSTR:
    case VT_LPWSTR:
        return value.text;
    case VT_BOOL:
        return QString::number(value.integer != 0 ? 1 : 0);
    case VT_I1:
    case VT_UI1:
        return QString::number(static_cast<std::uint8_t>(value.integer));
    case VT_I8:
    case VT_UI8:
    case VT_FILETIME:
        return QString::number(static_cast<qlonglong>(value.integer));
    case VT_LPSTR:
        return QString::fromLocal8Bit(value.ansi);
    case VT_ARRAY | VT_BSTR:
        return value.strings.join(QLatin1Char('\n'));
    default:
        return QString();
    }
}

namespace {

const char* const kTypeNames[73] = {
    "Void",
    "Null",
    "Integer",
    "Long",
    "Single",
    "Double",
    "Currency",
    "Date",
    "String",
    "Object",
    "SCODE",
    "Boolean",
    "Variant",
    "pIUnknown",
    "Unicode",
    "",
    "BYTE",
    "char",
    "USHORT",
    "ULONG",
    "int64",
    "uint64",
    "int",
    "UINT",
    "VOID",
    "HRESULT",
    "PTR",
    "SAFEARRAY",
    "CARRAY",
    "USERDEFINED",
    "LPTSTR",
    "LPWSTR",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "FILETIME",
    "BLOB",
    "STREAM",
    "STORAGE",
    "STREAMED_OBJECT",
    "STORED_OBJECT",
    "BLOB_OBJECT",
    "CF",
    "CLSID",
};

QString unknownTypeName(VARTYPE type) {
    return QStringLiteral("<Unknown %1>")
        .arg(QString::number(type, 16).toUpper().rightJustified(8, QLatin1Char('0')));
}

} // namespace

QString Wmi_TypeName(VARTYPE type) {
    if (type <= 72)
        return QString::fromLatin1(kTypeNames[type]);
    static const struct {
        VARTYPE flag;
        const char* pattern;
    } flagged[] = {
        {VT_VECTOR, "VECTOR of %1"},
        {VT_ARRAY, "Array of %1"},
        {VT_BYREF, "%1 BYREF "},
        {VT_RESERVED, "RESERVED (%1)"},
    };
    for (const auto& rule : flagged) {
        if (!(type & rule.flag))
            continue;
        const VARTYPE base = static_cast<VARTYPE>(type & ~rule.flag);
        // A base that is itself flagged or out of the table names the
        // whole type, so the reader sees every bit that was set.
        if (base > 72)
            return unknownTypeName(type);
        return QString::fromLatin1(rule.pattern).arg(QLatin1String(kTypeNames[base]));
    }
    return unknownTypeName(type);
}
