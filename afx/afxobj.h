// CObject and run-time class information. Portable: no Windows calls.
#pragma once

#include <cstddef>

class CObject;
class CArchive;

struct CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    unsigned int m_wSchema;              // 0xFFFF: not serializable
    CObject* (*m_pfnCreateObject)();     // null: not dynamically creatable
    CRuntimeClass* m_pBaseClass;
    CRuntimeClass* m_pNextClass;         // registry of all classes, for FromName

    CObject* CreateObject() const;
    bool IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
    static CRuntimeClass* FromName(const char* lpszClassName);
};

// Links a class into the registry during static initialisation.
struct AFX_CLASSINIT {
    explicit AFX_CLASSINIT(CRuntimeClass* pNewClass);
};

class CObject {
public:
    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject() = default;

    bool IsKindOf(const CRuntimeClass* pClass) const;
    virtual bool IsSerializable() const;
    virtual void Serialize(CArchive& ar);

    static CRuntimeClass classCObject;
    static CRuntimeClass* GetThisClass() { return &classCObject; }

protected:
    CObject() = default;

public:
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)                 \
public:                                             \
    static CRuntimeClass class##class_name;         \
    static CRuntimeClass* GetThisClass() { return &class##class_name; } \
    CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name)               \
    DECLARE_DYNAMIC(class_name)                     \
    static CObject* CreateObject();

#define DECLARE_SERIAL(class_name) DECLARE_DYNCREATE(class_name)

#define _AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, pfnNew) \
    CRuntimeClass class_name::class##class_name = {                                \
        #class_name, (int)sizeof(class_name), wSchema, pfnNew,                     \
        RUNTIME_CLASS(base_class_name), nullptr};                                  \
    static AFX_CLASSINIT _init_##class_name(&class_name::class##class_name);      \
    CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    _AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                         \
    CObject* class_name::CreateObject() { return new class_name; }               \
    _AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, class_name::CreateObject)

#define IMPLEMENT_SERIAL(class_name, base_class_name, wSchema)                   \
    CObject* class_name::CreateObject() { return new class_name; }               \
    _AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, class_name::CreateObject)

// Checked downcast: null when the object is not of that class.
#define DYNAMIC_DOWNCAST(class_name, object) \
    ((object) != nullptr && (object)->IsKindOf(RUNTIME_CLASS(class_name)) ? static_cast<class_name*>(object) : nullptr)
#define STATIC_DOWNCAST(class_name, object) (static_cast<class_name*>(object))

// Run-time class of a class template over a base class, one record per
// instance, named after the template:
//     template <class Base> class CStyledFrame : public Base { DECLARE_TEMPLATE_DYNAMIC(CStyledFrame) ... };
//     IMPLEMENT_TEMPLATE_DYNAMIC(CStyledFrame, Base)
//     class CStyledDialog : public CStyledFrame<CDialog> { DECLARE_DYNAMIC(CStyledDialog) ... };
//     IMPLEMENT_DYNAMIC_OVER_TEMPLATE(CStyledDialog, CStyledFrame<CDialog>)
// RUNTIME_CLASS_T(CStyledFrame, CDialog) names the record of one instance.
// The records are made on first use, so no order of static initialisation matters.
#define DECLARE_TEMPLATE_DYNAMIC(class_name)        \
public:                                             \
    static CRuntimeClass* GetThisClass();           \
    CRuntimeClass* GetRuntimeClass() const override;

#define IMPLEMENT_TEMPLATE_DYNAMIC(class_name, T)                                                      \
    template <class T>                                                                                 \
    CRuntimeClass* class_name<T>::GetThisClass() {                                                     \
        static CRuntimeClass s_class = {#class_name, (int)sizeof(class_name<T>), 0xFFFF, nullptr,      \
                                        T::GetThisClass(), nullptr};                                   \
        return &s_class;                                                                               \
    }                                                                                                  \
    template <class T>                                                                                 \
    CRuntimeClass* class_name<T>::GetRuntimeClass() const { return GetThisClass(); }

#define RUNTIME_CLASS_T(class_name, T) (class_name<T>::GetThisClass())

// A class derived from an instance of such a template (its base's record is
// reached through GetThisClass, so the base needs no name of its own).
#define _AFX_IMPLEMENT_RUNTIMECLASS_T(class_name, base_class_name, wSchema, pfnNew)             \
    CRuntimeClass class_name::class##class_name = {#class_name, (int)sizeof(class_name), wSchema, \
                                                   pfnNew, nullptr, nullptr};                     \
    static struct _init_base_##class_name {                                                       \
        _init_base_##class_name() {                                                               \
            class_name::class##class_name.m_pBaseClass = base_class_name::GetThisClass();         \
        }                                                                                         \
    } _init_base_instance_##class_name;                                                           \
    static AFX_CLASSINIT _init_##class_name(&class_name::class##class_name);                      \
    CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC_OVER_TEMPLATE(class_name, base_class_name) \
    _AFX_IMPLEMENT_RUNTIMECLASS_T(class_name, base_class_name, 0xFFFF, nullptr)
#define IMPLEMENT_DYNCREATE_OVER_TEMPLATE(class_name, base_class_name)           \
    CObject* class_name::CreateObject() { return new class_name; }               \
    _AFX_IMPLEMENT_RUNTIMECLASS_T(class_name, base_class_name, 0xFFFF, class_name::CreateObject)
