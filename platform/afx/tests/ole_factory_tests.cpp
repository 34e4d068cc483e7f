#include <gtest/gtest.h>

#include "platform/afx/ole_dll.h"
#include "platform/afx/ole_factory.h"
#include "platform/afx/ole_lock.h"

namespace ole_factory_tests {

constexpr CLSID CLSID_NotHere = {0x1B2C3D4E, 0x0001, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x99}};
constexpr IID IID_INotAnswered = {0x1B2C3D4E, 0x0002, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x99}};

int g_alive = 0;

class CWidget : public CCmdTarget {
  DECLARE_DYNCREATE(CWidget)
  DECLARE_OLECREATE(CWidget)
 public:
  CWidget() {
    EnableAutomation();
    ++g_alive;
  }
  ~CWidget() override { --g_alive; }
};
IMPLEMENT_DYNCREATE(CWidget, CCmdTarget)
IMPLEMENT_OLECREATE(CWidget, "Test.Widget", 0x1B2C3D4E, 0x0003, 0x4000, 0x80, 0, 0, 0, 0, 0, 0, 0x99)

// Cannot be made by the factory: not creatable by name.
class CFixed : public CCmdTarget {
  DECLARE_DYNAMIC(CFixed)
};
IMPLEMENT_DYNAMIC(CFixed, CCmdTarget)
constexpr CLSID CLSID_Fixed = {0x1B2C3D4E, 0x0004, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x99}};
COleObjectFactory g_fixedFactory(CLSID_Fixed, RUNTIME_CLASS(CFixed), FALSE, nullptr);

IClassFactory* WidgetFactory() {
  void* p = nullptr;
  EXPECT_EQ(AfxDllGetClassObject(CWidget::guid, IID_IClassFactory, &p), S_OK);
  return static_cast<IClassFactory*>(p);
}

TEST(OleObjectFactory, FactoriesAreFoundInTheCallersModuleByClassId) {
  EXPECT_EQ(COleObjectFactory::FindFactory(CWidget::guid), &CWidget::factory);
  EXPECT_STREQ(CWidget::factory.GetProgID(), "Test.Widget");
  EXPECT_EQ(CWidget::factory.GetModule(), AfxGetInstanceHandle());
  void* p = &g_alive;
  EXPECT_EQ(AfxDllGetClassObject(CLSID_NotHere, IID_IClassFactory, &p), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(AfxDllGetClassObject(CWidget::guid, IID_INotAnswered, &p), E_NOINTERFACE);
  // Another module's list does not hold this program's factories.
  HINSTANCE platform = ModuleFromAddress(reinterpret_cast<const void*>(&AfxDllCanUnloadNow));
  ASSERT_NE(platform, AfxGetInstanceHandle());
  EXPECT_EQ(AfxDllGetClassObject(CWidget::guid, IID_IClassFactory, &p, platform), CLASS_E_CLASSNOTAVAILABLE);
}

TEST(OleObjectFactory, EachCreateInstanceMakesANewObjectThatLocksTheModuleUntilReleased) {
  IClassFactory* factory = WidgetFactory();
  ASSERT_NE(factory, nullptr);
  const LONG locksBefore = AfxOleGetLockCount();
  IDispatch* first = nullptr;
  IDispatch* second = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&first)), S_OK);
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&second)), S_OK);
  EXPECT_NE(first, second);
  EXPECT_EQ(g_alive, 2);
  EXPECT_EQ(AfxOleGetLockCount(), locksBefore + 2);
  EXPECT_EQ(AfxDllCanUnloadNow(), S_FALSE);
  EXPECT_EQ(first->Release(), 0u);
  EXPECT_EQ(second->Release(), 0u);
  EXPECT_EQ(g_alive, 0);
  EXPECT_EQ(AfxOleGetLockCount(), locksBefore);
  factory->Release();
}

TEST(OleObjectFactory, CanUnloadNowIsTruthfulAboutObjectsAndServerLocks) {
  IClassFactory* factory = WidgetFactory();
  ASSERT_NE(factory, nullptr);
  ASSERT_EQ(AfxDllCanUnloadNow(), S_OK);
  ASSERT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(AfxDllCanUnloadNow(), S_FALSE);
  ASSERT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(AfxDllCanUnloadNow(), S_OK);
  // An unlock without a lock cannot make the count negative.
  ASSERT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(AfxOleGetLockCount(), 0);
  factory->Release();
}

TEST(OleObjectFactory, FailedCreationsLeaveNothingAliveAndNothingLocked) {
  IClassFactory* factory = WidgetFactory();
  ASSERT_NE(factory, nullptr);
  void* p = &g_alive;
  EXPECT_EQ(factory->CreateInstance(reinterpret_cast<IUnknown*>(factory), IID_IUnknown, &p), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_INotAnswered, &p), E_NOINTERFACE);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(g_alive, 0);
  EXPECT_EQ(AfxDllCanUnloadNow(), S_OK);
  factory->Release();

  IClassFactory* fixed = nullptr;
  ASSERT_EQ(AfxDllGetClassObject(CLSID_Fixed, IID_IClassFactory, reinterpret_cast<void**>(&fixed)), S_OK);
  EXPECT_EQ(fixed->CreateInstance(nullptr, IID_IUnknown, &p), E_OUTOFMEMORY);
  fixed->Release();
}

}  // namespace ole_factory_tests
