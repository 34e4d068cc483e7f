#pragma once
// A container for the bitmap drop control that knows it only by its
// published identities (interfaces/tavlet_ids.h), the way the editor does:
// a dialog whose template hosts four controls, each created by class id
// from one of the creation records the editor's templates carry, bound to
// the editor's own wrapper (CTavlet), with an event-sink map that records
// every BmpChange by control id.

#include <string>
#include <vector>

#include "editor/ui/tavlet.h"
#include "interfaces/tavlet_ids.h"
#include "platform/afx/data_exchange.h"
#include "platform/afx/dialog.h"

namespace tavlet_host {

enum : int {
  IDD_HOST = 400,
  IDD_EMPTY = 401,
  IDC_OTHER = 1070,      // a push button before the controls in tab order
  IDC_SLOT = 1005,       // a texture slot's record: 1323 x 1376, 0x70
  IDC_PREVIEW = 1011,    // the preview's record: 4815 x 4604, 0x00
  IDC_LANDSCAPE = 1007,  // the landscape slot's record: 10398 x 5159, 0x70
  IDC_FINDER = 1051,     // the Image Finder's record: 7911 x 7435, 0x01
};

inline constexpr int kControlIds[] = {IDC_SLOT, IDC_PREVIEW, IDC_LANDSCAPE, IDC_FINDER};

// The 17-byte control stream of a control's creation record.
std::vector<BYTE> RecordStream(int controlId);

// The editor's wrapper, with the members of the control's interface that
// only its tests call, each one InvokeHelper call as CTavlet's are.
class CHostedTavlet : public CTavlet {
 public:
  BOOL RecreateBitmapFromFile(LPCTSTR pathname);
  BOOL GetInitiallyDroppable(DISPID dispid = tavlet::DispidInitiallyDroppable);
  void SetInitiallyDroppable(BOOL value);
};

class CHostDlg : public CDialog {
 public:
  explicit CHostDlg(UINT id = IDD_HOST) : CDialog(id) {}

  CHostedTavlet m_slot, m_preview, m_landscape, m_finder;
  // The id of the control of every BmpChange, in order.
  std::vector<int> m_changes;

  CHostedTavlet& Control(int id);
  // How many BmpChange events `id` raised.
  int ChangesOf(int id) const;

  void DoDataExchange(CDataExchange* pDX) override;

 protected:
  void OnBmpChangeSlot() { m_changes.push_back(IDC_SLOT); }
  void OnBmpChangePreview() { m_changes.push_back(IDC_PREVIEW); }
  void OnBmpChangeLandscape() { m_changes.push_back(IDC_LANDSCAPE); }
  void OnBmpChangeFinder() { m_changes.push_back(IDC_FINDER); }
  DECLARE_EVENTSINK_MAP()
};

// Writes bytes to a new file in the test's temporary folder; its path.
std::string WriteTemporaryFile(const std::string& name, const std::vector<BYTE>& bytes);

// A bitmap's pixel as 0x00RRGGBB, y from the top, read through a memory DC.
DWORD PixelOf(HBITMAP bitmap, int x, int y);

}  // namespace tavlet_host
