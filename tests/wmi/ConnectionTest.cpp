#include <WmiConnection.h>
#include <WmiObject.h>

#include <gtest/gtest.h>

using vorn::wmi::ClassSource;
using vorn::wmi::WmiObject;

namespace {

// Three made-up objects of one class and a small class list.
class FixedSource : public ClassSource {
public:
    QStringList classNames() const override {
        return {QStringLiteral("CIM_DiskDrive"), QStringLiteral("Win32_DiskDrive"),
                QStringLiteral("__SystemClass"), QStringLiteral("Win32_Processor")};
    }
    std::optional<std::vector<WmiObject>> instances(const QString& className) const override {
        if (className != QLatin1String("Win32_Thing"))
            return std::nullopt;
        std::vector<WmiObject> objects;
        for (int i = 0; i < 3; ++i) {
            WmiObject object(QStringLiteral("Win32_Thing"));
            object.set(QStringLiteral("Index"), VARIANT::ofUI4(static_cast<quint32>(i)));
            object.set(QStringLiteral("Missing"), VARIANT::null());
            object.set(QStringLiteral("Lines"),
                       VARIANT::ofStringArray({QStringLiteral("A"), QStringLiteral("B")}));
            objects.push_back(object);
        }
        return objects;
    }
};

class Connection : public ::testing::Test {
protected:
    void SetUp() override { vorn::wmi::installClassSource(std::make_shared<FixedSource>()); }
    void TearDown() override {
        Cm_GetWMI_Info_End();
        vorn::wmi::installClassSource(nullptr);
    }
};

} // namespace

TEST_F(Connection, StepsThroughEveryObjectThenStops) {
    ASSERT_TRUE(Cm_GetWMI_Info_Start(u"Thing", 0));
    QStringList indexes;
    while (Cm_GetWMI_Info_Loop())
        indexes << Wmi_PropertyText(QStringLiteral("index")); // names ignore case
    EXPECT_EQ(indexes, QStringList({"0", "1", "2"}));
    EXPECT_FALSE(Wmi_HasCurrentObject());
    EXPECT_EQ(Wmi_LastResult(), WMI_S_FALSE);
    EXPECT_FALSE(Cm_GetWMI_Info_Loop());
    Cm_GetWMI_Info_End();
    EXPECT_EQ(Wmi_LastResult(), WMI_S_OK);
}

TEST_F(Connection, ListKeepsTheThreeListsParallelAndSkipsEmptyValues) {
    ASSERT_TRUE(Cm_GetWMI_Info_Start(u"Thing", 0));
    QStringList names, values, types;
    ASSERT_TRUE(Cm_GetWMI_Info_List(&names, &values, &types, FALSE));
    EXPECT_EQ(names, QStringList({"Index", "Lines"}));
    EXPECT_EQ(values, QStringList({"0", "A\nB"}));
    EXPECT_EQ(types, QStringList({"ULONG", "Array of String"}));

    names.clear(), values.clear(), types.clear();
    ASSERT_TRUE(Cm_GetWMI_Info_List(&names, &values, &types, TRUE));
    EXPECT_EQ(names, QStringList({"Index", "Missing", "Lines"}));
    EXPECT_EQ(values, QStringList({"1", "", "A\nB"}));
    EXPECT_EQ(types.value(1), QStringLiteral("Null"));

    ASSERT_TRUE(Cm_GetWMI_Info_List(&names, &values, &types, TRUE));
    EXPECT_FALSE(Cm_GetWMI_Info_List(&names, &values, &types, TRUE));
    EXPECT_EQ(names.size(), 6);
}

TEST_F(Connection, UnreadablePropertiesGiveEmptyText) {
    EXPECT_EQ(Wmi_PropertyText(QStringLiteral("Index")), QString()); // no connection
    ASSERT_TRUE(Cm_GetWMI_Info_Start(u"Thing", 0));
    EXPECT_EQ(Wmi_PropertyText(QStringLiteral("Index")), QString()); // no object yet
    ASSERT_TRUE(Cm_GetWMI_Info_Loop());
    char16_t type[32] = {u'x'};
    EXPECT_EQ(Wmi_PropertyText(QStringLiteral("NoSuchProperty"), type), QString());
    EXPECT_EQ(Wmi_LastResult(), WMI_E_NOT_FOUND);
    EXPECT_EQ(type[0], u'x');
    EXPECT_EQ(Wmi_PropertyText(QStringLiteral("__CLASS")), QStringLiteral("Win32_Thing"));
}

TEST_F(Connection, StartRefusesUnknownAndOverlongClasses) {
    EXPECT_FALSE(Cm_GetWMI_Info_Start(u"NoSuchClass", 0));
    EXPECT_EQ(Wmi_LastResult(), WMI_E_INVALID_CLASS);
    EXPECT_FALSE(Cm_GetWMI_Info_Loop());
    // "SELECT * FROM Win32_" and 44 characters no longer fit 64 with the terminator.
    const QString longName(44, QLatin1Char('x'));
    EXPECT_FALSE(Cm_GetWMI_Info_Start(reinterpret_cast<const char16_t*>(longName.utf16()), 0));
    EXPECT_EQ(Wmi_LastResult(), WMI_E_INVALID_QUERY);
    EXPECT_FALSE(Cm_GetWMI_Info_Start(nullptr, 0));
}

TEST_F(Connection, RecordsTheApartmentFlagOfEachStart) {
    ASSERT_TRUE(Cm_GetWMI_Info_Start(u"Thing", 2));
    EXPECT_EQ(Wmi_Apartment(), 2);
    ASSERT_TRUE(Cm_GetWMI_Info_Class_Start(0));
    EXPECT_EQ(Wmi_Apartment(), 0);
}

TEST_F(Connection, ClassListFiltersToWin32UnlessAllAreWanted) {
    ASSERT_TRUE(Cm_GetWMI_Info_Class_Start(0));
    QStringList classes;
    int steps = 0;
    while (Cm_GetWMI_Info_Class_List(&classes, FALSE))
        ++steps;
    EXPECT_EQ(steps, 4);
    EXPECT_EQ(classes, QStringList({"Win32_DiskDrive", "Win32_Processor"}));

    ASSERT_TRUE(Cm_GetWMI_Info_Class_Start(0));
    classes.clear();
    while (Cm_GetWMI_Info_Class_List(&classes, TRUE)) {
    }
    EXPECT_EQ(classes.size(), 4);
    EXPECT_TRUE(classes.contains(QStringLiteral("CIM_DiskDrive")));
}

TEST_F(Connection, ANewStartDropsWhatAnEarlierOneLeftBehind) {
    ASSERT_TRUE(Cm_GetWMI_Info_Start(u"Thing", 0));
    ASSERT_TRUE(Cm_GetWMI_Info_Loop());
    ASSERT_TRUE(Cm_GetWMI_Info_Start(u"Thing", 0));
    EXPECT_FALSE(Wmi_HasCurrentObject());
    ASSERT_TRUE(Cm_GetWMI_Info_Loop());
    EXPECT_EQ(Wmi_PropertyText(QStringLiteral("Index")), QStringLiteral("0"));
}
