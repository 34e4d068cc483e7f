// Not a test: shows the About box or the Image Finder for a few seconds, so
// a person or a screenshot can look at them. The Image Finder opens on a
// shapes file, with header 17 and image 0 taken from the headers and
// loaded, as a user would do with its two buttons. Tavlet.ocx must be
// registered; screenshot_dialogs.sh does that and takes the pictures.
//
//   dialogs_preview about MILLISECONDS
//   dialogs_preview finder MILLISECONDS SHAPES_FILE

#include <cstdlib>
#include <sstream>
#include <string>

#include "editor/ui/about_dlg.h"
#include "editor/ui/art/editor_art.h"
#include "editor/ui/image_finder_dlg.h"
#include "platform/afx/ole_control_site.h"
#include "platform/afx/ole_init.h"
#include "platform/afx/win_app.h"
#include "platform/resources/resource_images.h"
#include "platform/resources/resource_table.h"

namespace {

const kp::resources::ResourceTable kResources = [] {
  kp::resources::ResourceTable table;
  AddAboutBoxResources(table);
  AddImageFinderResources(table);
  table.icons.push_back({128, {ProgramIconImage(32), ProgramIconImage(16)}});
  return table;
}();

}  // namespace

KP_MODULE_RESOURCES(kResources)

namespace {

constexpr UINT_PTR kCloseTimer = 99;

// Closes the box it serves after the time asked for.
template <typename Dialog>
class CTimedDlg : public Dialog {
 public:
  UINT m_showFor = 4000;

 protected:
  BOOL OnInitDialog() override {
    const BOOL result = Dialog::OnInitDialog();
    this->SetTimer(kCloseTimer, m_showFor);
    return result;
  }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_TIMER && wParam == kCloseTimer) {
      this->EndDialog(IDOK);
      return 0;
    }
    return Dialog::WindowProc(message, wParam, lParam);
  }
};

class CFinderPreview : public CTimedDlg<CImageFinderDlg> {
 protected:
  BOOL OnInitDialog() override {
    m_nHeader = 17;
    const BOOL result = CTimedDlg<CImageFinderDlg>::OnInitDialog();
    // The two button clicks, in the order a user makes them.
    PostMessage(WM_COMMAND, MAKEWPARAM(IDC_FINDER_GET_VALUES, BN_CLICKED), 0);
    PostMessage(WM_COMMAND, MAKEWPARAM(IDC_FINDER_LOAD, BN_CLICKED), 0);
    return result;
  }
};

class CPreviewApp : public CWinApp {
 public:
  BOOL InitInstance() override {
    if (!AfxOleInit()) return FALSE;
    AfxEnableControlContainer();
    // The program loads its icon when it starts; the About box shows it.
    ::LoadIcon(AfxGetInstanceHandle(), MAKEINTRESOURCE(128));

    std::istringstream words(m_lpCmdLine ? m_lpCmdLine : "");
    std::string which, path;
    UINT showFor = 4000;
    words >> which >> showFor >> path;
    INT_PTR result = -1;
    if (which == "about") {
      CTimedDlg<CAboutDlg> dlg;
      dlg.m_showFor = showFor;
      result = dlg.DoModal();
    } else if (which == "finder") {
      CFinderPreview dlg;
      dlg.m_showFor = showFor;
      dlg.m_strShapesFile = path.c_str();
      result = dlg.DoModal();
    }
    // A dialog that could not be made means the control is not registered.
    if (result == -1) std::exit(1);
    return FALSE;
  }
};

CPreviewApp theApp;

}  // namespace
