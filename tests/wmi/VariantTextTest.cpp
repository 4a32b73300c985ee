#include <WmiVariant.h>

#include <QDate>
#include <QLocale>
#include <gtest/gtest.h>

TEST(VariantText, FollowsTheRuleOfEachType) {
    VARIANT lpstr;
    lpstr.vt = VT_LPSTR;
    lpstr.ansi = "ansi text";
    VARIANT lpwstr;
    lpwstr.vt = VT_LPWSTR;
    lpwstr.text = QStringLiteral("wide");
    VARIANT single;
    single.vt = VT_R4;
    single.real = 2.5;
    VARIANT currency = VARIANT::ofInteger(VT_CY, 12345);

    const struct {
        const char* what;
        VARIANT value;
        const char* text;
    } cases[] = {
        {"empty", VARIANT(), ""},
        {"null", VARIANT::null(), ""},
        {"UI4 above INT_MAX reads as signed", VARIANT::ofUI4(3000000000u), "-1294967296"},
        {"UI2 above SHRT_MAX reads as signed", VARIANT::ofUI2(40000), "-25536"},
        {"I2", VARIANT::ofI2(-7), "-7"},
        {"I4", VARIANT::ofI4(123456), "123456"},
        {"INT", VARIANT::ofInteger(VT_INT, -1), "-1"},
        {"UINT", VARIANT::ofInteger(VT_UINT, 0xFFFFFFFFll), "-1"},
        {"HRESULT", VARIANT::ofInteger(VT_HRESULT, 0x80041002ll), "-2147217406"},
        {"UI1 is unsigned", VARIANT::ofUI1(200), "200"},
        {"I1 is shown unsigned too", VARIANT::ofInteger(VT_I1, -1), "255"},
        {"I8", VARIANT::ofI8(-5000000000ll), "-5000000000"},
        {"UI8 beyond INT64_MAX", VARIANT::ofUI8(18446744073709551615ull), "-1"},
        {"FILETIME", VARIANT::ofInteger(VT_FILETIME, 133000000000000000ll), "133000000000000000"},
        {"R8 without decimals", VARIANT::ofR8(2599.998), "2600"},
        {"R4 halves round to even", single, "2"},
        {"BOOL true is 1, not -1", VARIANT::ofBool(true), "1"},
        {"BOOL false", VARIANT::ofBool(false), "0"},
        {"BSTR", VARIANT::ofBstr(QStringLiteral("Disk drive")), "Disk drive"},
        {"LPWSTR", lpwstr, "wide"},
        {"LPSTR", lpstr, "ansi text"},
        {"string array joins with line feeds",
         VARIANT::ofStringArray({QStringLiteral("A"), QStringLiteral("B")}), "A\nB"},
        {"empty string array", VARIANT::ofStringArray({}), ""},
        {"unlisted type", currency, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Wmi_VariantText(c.value), QString::fromUtf8(c.text)) << c.what;
}

TEST(VariantText, DateLeavesOutTheZeroPart) {
    const QLocale locale = QLocale::system();
    const QString date = locale.toString(QDate(2024, 3, 5), QLocale::ShortFormat);
    // 45356 is 2024-03-05 counted from 1899-12-30.
    EXPECT_EQ(Wmi_VariantText(VARIANT::ofDate(45356.0)), date);
    const QString withTime = Wmi_VariantText(VARIANT::ofDate(45356.5));
    EXPECT_TRUE(withTime.startsWith(date + QLatin1Char(' '))) << withTime.toStdString();
    EXPECT_TRUE(withTime.contains(QLatin1String("12"))) << withTime.toStdString();
    EXPECT_FALSE(Wmi_VariantText(VARIANT::ofDate(0.25)).contains(QLatin1String("1899")));
}

TEST(TypeName, NamesTableEntriesAndFlags) {
    const struct {
        VARTYPE type;
        const char* name;
    } cases[] = {
        {0, "Void"},
        {3, "Long"},
        {8, "String"},
        {11, "Boolean"},
        {15, ""},
        {19, "ULONG"},
        {31, "LPWSTR"},
        {40, ""},
        {64, "FILETIME"},
        {72, "CLSID"},
        {73, "<Unknown 00000049>"},
        {0x0FFF, "<Unknown 00000FFF>"},
        {0x2008, "Array of String"},
        {0x4003, "Long BYREF "},
        {0x1011, "VECTOR of char"},
        {0x800B, "RESERVED (Boolean)"},
        // VECTOR is tried before Array, so the rest of the type is its base.
        {0x3008, "<Unknown 00003008>"},
        {0x2049, "<Unknown 00002049>"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Wmi_TypeName(c.type), QString::fromLatin1(c.name)) << std::hex << c.type;
}
