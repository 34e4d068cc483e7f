#pragma once
// COleDataSource: data a window offers for dragging, in the formats of the
// clipboard (platform/qt/clipboard.h), each a global block the source owns
// once cached. DoDragDrop drags it out of the window that has the focus
// (the one the user pressed the mouse in) until the user drops it or gives
// up.
//
//   COleDataSource source;
//   source.CacheGlobalData(CF_DIB, hPackedDib);
//   source.CacheGlobalData(CF_HDROP, hDropFiles);
//   if (source.DoDragDrop(DROPEFFECT_COPY) == DROPEFFECT_COPY) ...

#include <vector>

#include "platform/afx/cmd_target.h"
#include "platform/base/geometry.h"
#include "platform/qt/drag_source.h"

using CLIPFORMAT = WORD;

class COleDataSource : public CCmdTarget {
 public:
  COleDataSource() = default;
  // Frees the blocks still cached.
  ~COleDataSource() override;
  COleDataSource(const COleDataSource&) = delete;
  COleDataSource& operator=(const COleDataSource&) = delete;

  // The source owns hGlobal from now on, also when it replaces the block of
  // a format cached before.
  void CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal);
  // Frees every block cached.
  void Empty();
  // What the target did, among dwEffects; DROPEFFECT_NONE when nothing took
  // the data. The drag has started when this is called (the caller has seen
  // the mouse move far enough), so lpRectStartDrag is not waited on.
  DROPEFFECT DoDragDrop(DWORD dwEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK,
                        LPCRECT lpRectStartDrag = nullptr);

 private:
  struct Cached {
    CLIPFORMAT format;
    HGLOBAL block;
  };
  std::vector<Cached> m_cache;
};
