#pragma once

#include "VornHddExport.h"

// Run-time class information and creation by name for the disk objects that
// the programs create (CHdd, CHddSmartDisp, a program's CDisk).
//
// A class record of our own rather than Qt's meta-object system: creating
// by name needs a name-to-class table either way (Qt keeps none for plain
// meta-objects), and QMetaObject::newInstance would force every disk object
// to be a QObject and run moc over data classes that only need three facts:
// their name, their base and a factory.

class CObject;

struct VORNHDD_API CRuntimeClass {
    const char* m_lpszClassName;
    const CRuntimeClass* (*m_pfnGetBaseClass)(); // null for CObject
    CObject* (*m_pfnCreateObject)();             // null when not creatable

    // Registers the record under its name; records are static objects that
    // live for the whole process, so the table only points at them.
    CRuntimeClass(const char* className, const CRuntimeClass* (*getBaseClass)(),
                  CObject* (*createObject)());

    const CRuntimeClass* GetBaseClass() const;
    bool IsDerivedFrom(const CRuntimeClass* base) const;
    // A new default-constructed object, owned by the caller; null when the
    // class cannot be created.
    CObject* CreateObject() const;

    // The record registered under className, or null.
    static const CRuntimeClass* FromName(const char* className);
    // FromName(className)->CreateObject(), or null.
    static CObject* CreateObject(const char* className);
};

class VORNHDD_API CObject {
public:
    CObject() = default;
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
    virtual ~CObject();

    virtual const CRuntimeClass* GetRuntimeClass() const;
    bool IsKindOf(const CRuntimeClass* runtimeClass) const;

    static const CRuntimeClass classCObject;
    static const CRuntimeClass* _GetBaseClass();
};

#define VORN_RUNTIME_CLASS(name) (&name::class##name)

// In the class body: the record, its base lookup, the factory and the
// virtual accessor.
#define VORN_DECLARE_DYNCREATE(name)                                                               \
public:                                                                                            \
    static const CRuntimeClass class##name;                                                        \
    static const CRuntimeClass* _GetBaseClass();                                                   \
    static CObject* CreateObject();                                                                \
    const CRuntimeClass* GetRuntimeClass() const override;

// In one source file of the module that defines the class.
#define VORN_IMPLEMENT_DYNCREATE(name, base)                                                       \
    const CRuntimeClass* name::_GetBaseClass() {                                                   \
        return VORN_RUNTIME_CLASS(base);                                                           \
    }                                                                                              \
    CObject* name::CreateObject() {                                                                \
        return new name;                                                                           \
    }                                                                                              \
    const CRuntimeClass name::class##name(#name, &name::_GetBaseClass, &name::CreateObject);       \
    const CRuntimeClass* name::GetRuntimeClass() const {                                           \
        return VORN_RUNTIME_CLASS(name);                                                           \
    }
