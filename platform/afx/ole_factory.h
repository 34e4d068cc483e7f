#pragma once
// COleObjectFactory: the class factory of one creatable class.
//
// A factory is a static object of the module that holds the class. It joins
// its module's factory list when constructed and leaves it (revoking its
// registration) when destroyed. The module is captured where the factory
// is defined (the default argument is evaluated in the caller's module), so
// each control module and the program keep lists of their own;
// AfxDllGetClassObject, UpdateRegistryAll and RegisterAll, called from a
// module's own code, see only that module's factories.
//
// Every CreateInstance makes a new object of the run-time class; the object
// keeps its module locked (ole_lock.h) until it is destroyed.
//
//   class CMyCtrl : public COleControl {
//     DECLARE_DYNCREATE(CMyCtrl)
//     DECLARE_OLECREATE_EX(CMyCtrl)      // factory with its own UpdateRegistry
//     ...
//   };
//   IMPLEMENT_OLECREATE_EX(CMyCtrl, "MY.MyCtrl.1", 0x1234..., ...)
//   BOOL CMyCtrl::CMyCtrlFactory::UpdateRegistry(BOOL bRegister) { ... }

#include <string>

#include "platform/afx/interface_part.h"
#include "platform/base/module.h"
#include "platform/com/class_factory.h"

class COleObjectFactory : public CCmdTarget {
  DECLARE_DYNAMIC(COleObjectFactory)
 public:
  COleObjectFactory(REFCLSID clsid, CRuntimeClass* pRuntimeClass, BOOL bMultiInstance, LPCTSTR lpszProgID,
                    HINSTANCE hModule = AfxGetInstanceHandle());
  ~COleObjectFactory() override;

  REFCLSID GetClassID() const { return m_clsid; }
  LPCTSTR GetProgID() const { return m_strProgID.empty() ? nullptr : m_strProgID.c_str(); }
  HINSTANCE GetModule() const { return m_hModule; }
  BOOL IsMultiInstance() const { return m_bMultiInstance; }

  // The factory of `clsid` in the module's list, or null.
  static COleObjectFactory* FindFactory(REFCLSID clsid, HINSTANCE hModule = AfxGetInstanceHandle());

  // Offers the class to clients as a running local server
  // (CoRegisterClassObject, CLSCTX_LOCAL_SERVER): single use when the
  // multiple-instance flag is set (each further client starts a new
  // program), multiple use otherwise.
  BOOL Register();
  void Revoke();
  BOOL IsRegistered() const { return m_dwRegister != 0; }

  // Writes (TRUE) or removes (FALSE) the class's registry entries. The
  // default writes the local-server entries of a program's automation class
  // (AfxOleRegisterServerClass) and removes them with AfxOleUnregisterClass;
  // control modules override it per class (DECLARE_OLECREATE_EX).
  virtual BOOL UpdateRegistry(BOOL bRegister);

  // The same for every factory of the module: RegisterAll registers each
  // (FALSE when any failed), RevokeAll revokes each, UpdateRegistryAll stops
  // at the first that fails.
  static BOOL RegisterAll(HINSTANCE hModule = AfxGetInstanceHandle());
  static void RevokeAll(HINSTANCE hModule = AfxGetInstanceHandle());
  static BOOL UpdateRegistryAll(BOOL bRegister = TRUE, HINSTANCE hModule = AfxGetInstanceHandle());

 protected:
  // Makes the new object; the default creates the run-time class and
  // answers null when that is not a CCmdTarget.
  virtual CCmdTarget* OnCreateObject();
  // Factories are static: the last Release of their interface frees nothing.
  void OnFinalRelease() override;

  class XClassFactory : public CInterfacePart<IClassFactory> {
   public:
    using CInterfacePart::CInterfacePart;
    HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) override;
    HRESULT LockServer(BOOL fLock) override;
  } m_xClassFactory{this};
  friend class XClassFactory;

  DECLARE_INTERFACE_MAP()

  CLSID m_clsid;
  CRuntimeClass* m_pRuntimeClass;
  BOOL m_bMultiInstance;
  std::string m_strProgID;
  HINSTANCE m_hModule;
  DWORD m_dwRegister = 0;  // the class-object registration while registered
};

// The kind whose registry update each class overrides; the same class here.
using COleObjectFactoryEx = COleObjectFactory;

// A factory for a class, with the class's id in `guid`:
//   DECLARE_OLECREATE(CMyObject) in the class, IMPLEMENT_OLECREATE(CMyObject,
//   "My.Object", l, w1, w2, b1, ..., b8) in one source file.
#define DECLARE_OLECREATE(class_name) \
 public:                              \
  static COleObjectFactory factory;   \
  static const GUID guid;

#define IMPLEMENT_OLECREATE(class_name, external_name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8) \
  const GUID class_name::guid = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}};                    \
  COleObjectFactory class_name::factory(class_name::guid, RUNTIME_CLASS(class_name), FALSE, external_name);

// The extended form: the class declares its own factory class
// `<class>Factory` whose UpdateRegistry(BOOL) the class implements, and a
// GetClassID that answers `guid`.
#define DECLARE_OLECREATE_EX(class_name)                                                                       \
 public:                                                                                                       \
  class class_name##Factory : public COleObjectFactoryEx {                                                     \
   public:                                                                                                     \
    class_name##Factory(REFCLSID clsid, CRuntimeClass* pRuntimeClass, BOOL bMultiInstance, LPCTSTR lpszProgID, \
                        HINSTANCE hModule = AfxGetInstanceHandle())                                            \
        : COleObjectFactoryEx(clsid, pRuntimeClass, bMultiInstance, lpszProgID, hModule) {}                    \
    BOOL UpdateRegistry(BOOL bRegister) override;                                                              \
  };                                                                                                           \
  static class_name##Factory factory;                                                                          \
  static const GUID guid;                                                                                      \
  HRESULT GetClassID(LPCLSID pclsid) override;

#define IMPLEMENT_OLECREATE_EX(class_name, external_name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8)      \
  const GUID class_name::guid = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}};                            \
  class_name::class_name##Factory class_name::factory(class_name::guid, RUNTIME_CLASS(class_name), FALSE, \
                                                      external_name);                                     \
  HRESULT class_name::GetClassID(LPCLSID pclsid) {                                                        \
    if (pclsid == nullptr) return E_POINTER;                                                              \
    *pclsid = guid;                                                                                       \
    return S_OK;                                                                                          \
  }
