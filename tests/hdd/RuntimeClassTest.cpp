#include "CHdd.h"
#include "CHddSmartDisp.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A program's own disk class, registered the way the programs register it.
class CTestDisk : public CHdd {
    VORN_DECLARE_DYNCREATE(CTestDisk)

public:
    int m_nExtra = 7;
};

VORN_IMPLEMENT_DYNCREATE(CTestDisk, CHdd)

TEST(RuntimeClass, NamesAndBases) {
    const CRuntimeClass* hdd = VORN_RUNTIME_CLASS(CHdd);
    EXPECT_STREQ(hdd->m_lpszClassName, "CHdd");
    EXPECT_EQ(hdd->GetBaseClass(), VORN_RUNTIME_CLASS(CObject));
    EXPECT_STREQ(VORN_RUNTIME_CLASS(CHddSmartDisp)->m_lpszClassName, "CHddSmartDisp");
    EXPECT_EQ(VORN_RUNTIME_CLASS(CHddSmartDisp)->GetBaseClass(), VORN_RUNTIME_CLASS(CObject));
    EXPECT_EQ(VORN_RUNTIME_CLASS(CTestDisk)->GetBaseClass(), hdd);
    EXPECT_EQ(VORN_RUNTIME_CLASS(CObject)->GetBaseClass(), nullptr);
}

TEST(RuntimeClass, CreatesByNameThroughTheVirtualRecord) {
    const std::unique_ptr<CObject> disk(CRuntimeClass::CreateObject("CTestDisk"));
    ASSERT_NE(disk, nullptr);
    EXPECT_EQ(disk->GetRuntimeClass(), VORN_RUNTIME_CLASS(CTestDisk));
    EXPECT_TRUE(disk->IsKindOf(VORN_RUNTIME_CLASS(CHdd)));
    EXPECT_FALSE(disk->IsKindOf(VORN_RUNTIME_CLASS(CHddSmartDisp)));
    auto* asDisk = dynamic_cast<CTestDisk*>(disk.get());
    ASSERT_NE(asDisk, nullptr);
    EXPECT_EQ(asDisk->m_nExtra, 7);
    EXPECT_EQ(asDisk->m_hHdd, INVALID_HANDLE_VALUE); // constructed as a CHdd

    const std::unique_ptr<CObject> record(VORN_RUNTIME_CLASS(CHddSmartDisp)->CreateObject());
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(static_cast<CHddSmartDisp*>(record.get())->m_nCurrent, -1);

    const std::unique_ptr<CObject> hdd(CHdd::CreateObject());
    EXPECT_STREQ(hdd->GetRuntimeClass()->m_lpszClassName, "CHdd");
}

TEST(RuntimeClass, UnknownOrAbstractNamesCreateNothing) {
    EXPECT_EQ(CRuntimeClass::FromName("CDiskThatDoesNotExist"), nullptr);
    EXPECT_EQ(CRuntimeClass::CreateObject("CDiskThatDoesNotExist"), nullptr);
    EXPECT_EQ(CRuntimeClass::CreateObject(nullptr), nullptr);
    // The root class has a record but no factory.
    EXPECT_EQ(CRuntimeClass::FromName("CObject"), VORN_RUNTIME_CLASS(CObject));
    EXPECT_EQ(CRuntimeClass::CreateObject("CObject"), nullptr);
}

} // namespace
