#pragma once
// CObject and run-time class information. Every class declared with
// DECLARE_DYNAMIC or DECLARE_DYNCREATE has one static CRuntimeClass that names
// it, points at its base class and, for DYNCREATE, can make an instance. The
// IMPLEMENT_ macros register the class when its module is loaded, so that
// CRuntimeClass::FromName finds classes of any loaded module.

#include "platform/base/win_types.h"

class CObject;

struct CRuntimeClass {
  LPCSTR m_lpszClassName;
  int m_nObjectSize;
  UINT m_wSchema;                         // 0xFFFF: not serialisable
  CObject* (*m_pfnCreateObject)();        // null unless DYNCREATE
  CRuntimeClass* (*m_pfnGetBaseClass)();  // null for CObject

  // A new object of this class, or null when it cannot be created by name.
  CObject* CreateObject() const;
  BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;

  // The registered class with this name, or null.
  static CRuntimeClass* FromName(LPCSTR lpszClassName);
  static CObject* CreateObject(LPCSTR lpszClassName);
};

// Adds a class to the list FromName searches; the IMPLEMENT_ macros make one.
struct AFX_CLASSINIT {
  explicit AFX_CLASSINIT(CRuntimeClass* pNewClass);
};

class CObject {
 public:
  virtual ~CObject();
  virtual CRuntimeClass* GetRuntimeClass() const;
  BOOL IsKindOf(const CRuntimeClass* pClass) const;

  static CRuntimeClass classCObject;
  static CRuntimeClass* GetThisClass();

 protected:
  CObject() = default;

 public:
  // Framework objects have identity: a window or a command target is never
  // copied by value.
  CObject(const CObject&) = delete;
  CObject& operator=(const CObject&) = delete;
};

#define RUNTIME_CLASS(class_name) (class_name::GetThisClass())

#define DECLARE_DYNAMIC(class_name)       \
 public:                                  \
  static CRuntimeClass class##class_name; \
  static CRuntimeClass* GetThisClass();   \
  CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
  DECLARE_DYNAMIC(class_name)         \
  static CObject* CreateObject();

#define KP_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, pfnNew)                                              \
  CRuntimeClass class_name::class##class_name = {#class_name, static_cast<int>(sizeof(class_name)), 0xFFFF, pfnNew, \
                                                 &base_class_name::GetThisClass};                                   \
  static const AFX_CLASSINIT _init_##class_name(&class_name::class##class_name);                                    \
  CRuntimeClass* class_name::GetThisClass() { return &class_name::class##class_name; }                              \
  CRuntimeClass* class_name::GetRuntimeClass() const { return &class_name::class##class_name; }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) KP_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)         \
  CObject* class_name::CreateObject() { return new class_name; } \
  KP_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, &class_name::CreateObject)
