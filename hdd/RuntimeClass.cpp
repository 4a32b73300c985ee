#include "RuntimeClass.h"

#include <cstring>
#include <vector>

namespace {
// Function-local so that records defined in other modules' static
// initialisers find the table constructed, whatever the order.
std::vector<const CRuntimeClass*>& registry() {
    static std::vector<const CRuntimeClass*> records;
    return records;
}
} // namespace

CRuntimeClass::CRuntimeClass(const char* className, const CRuntimeClass* (*getBaseClass)(),
                             CObject* (*createObject)())
    : m_lpszClassName(className), m_pfnGetBaseClass(getBaseClass), m_pfnCreateObject(createObject) {
    registry().push_back(this);
}

const CRuntimeClass* CRuntimeClass::GetBaseClass() const {
    return m_pfnGetBaseClass ? m_pfnGetBaseClass() : nullptr;
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
    for (const CRuntimeClass* record = this; record; record = record->GetBaseClass()) {
        if (record == base)
            return true;
    }
    return false;
}

CObject* CRuntimeClass::CreateObject() const {
    return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

const CRuntimeClass* CRuntimeClass::FromName(const char* className) {
    if (!className)
        return nullptr;
    for (const CRuntimeClass* record : registry()) {
        if (std::strcmp(record->m_lpszClassName, className) == 0)
            return record;
    }
    return nullptr;
}

CObject* CRuntimeClass::CreateObject(const char* className) {
    const CRuntimeClass* record = FromName(className);
    return record ? record->CreateObject() : nullptr;
}

const CRuntimeClass CObject::classCObject("CObject", nullptr, nullptr);

CObject::~CObject() = default;

const CRuntimeClass* CObject::GetRuntimeClass() const {
    return &classCObject;
}

const CRuntimeClass* CObject::_GetBaseClass() {
    return nullptr;
}

bool CObject::IsKindOf(const CRuntimeClass* runtimeClass) const {
    return GetRuntimeClass()->IsDerivedFrom(runtimeClass);
}
