#pragma once
// The fixture of the journeys: each test gets its own registry with
// Tavlet.ocx registered by the real regsvr, OLE initialised and dialogs
// able to host controls.

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/afx/ole_control_site.h"
#include "platform/afx/ole_init.h"
#include "platform/com/com_ptr.h"
#include "platform/com/com_runtime.h"
#include "platform/com/memory_stream.h"
#include "platform/com/ole_object.h"
#include "platform/com/persist.h"
#include "platform/gdi/handle_table.h"
#include "platform/testing/hosted_control.h"
#include "platform/testing/run_program.h"
#include "platform/testing/temp_registry.h"
#include "platform/testing/ui_driver.h"
#include "platform/user/window_functions.h"
#include "tests/control/tavlet_host.h"

namespace tavlet_host {

using kp::testing::ControlInterface;
using kp::testing::SavedStream;

class TavletTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kp::testing::UseFreshRegistry();
    ASSERT_TRUE(AfxOleInit());
    AfxEnableControlContainer();
    ASSERT_EQ(kp::testing::RunProgram({REGSVR_PROGRAM, TAVLET_MODULE}).status, 0);
  }

  // Runs the host dialog with `steps` inside its modal loop, then checks
  // that the controls left no GDI object behind.
  static void WithHost(const std::function<void(CHostDlg&)>& steps) {
    const int objects = kp::gdi::LiveObjectCount();
    {
      CHostDlg dlg;
      INT_PTR result = kp::testing::RunModalWith(dlg, [&] {
        kp::testing::ProcessEvents();
        dlg.m_changes.clear();
        steps(dlg);
        if (::IsWindow(dlg.m_hWnd)) dlg.EndDialog(IDOK);
      });
      EXPECT_EQ(result, IDOK);
    }
    EXPECT_EQ(kp::gdi::LiveObjectCount(), objects) << "GDI objects outlived the controls";
  }
};

}  // namespace tavlet_host
