// The base of the game's view: the services a framework view offers its
// subclass (client rectangle, timers, message boxes, device contexts, the main
// window's title, the clock) and the handlers the window calls.
#pragma once

#include <string>

#include "platform/afx.h"
#include "platform/gdi.h"
#include "platform/time.h"

class CViewHost;
class QPrinter;

// Enables or disables a command: a menu item and its accelerator.
class CCmdUI {
 public:
  void Enable(BOOL on = TRUE) { m_enabled = on != FALSE; }
  bool Enabled() const { return m_enabled; }

 private:
  bool m_enabled = true;
};

// What a print job tells the view, and what the view tells it.
struct CPrintInfo {
  void SetMaxPage(UINT page) { m_nMaxPage = page; }
  UINT GetMaxPage() const { return m_nMaxPage; }

  UINT m_nMaxPage = 0xFFFF;
  UINT m_nNumPreviewPages = 0;
  UINT m_nCurPage = 1;
  BOOL m_bPreview = FALSE;
  BOOL m_bDirect = FALSE;  // the default printer, without the Print dialog
  RECT m_rectDraw;         // the page's drawing rectangle in device units
  QPrinter* m_pPrinter = nullptr;
};

class CView {
 public:
  explicit CView(CViewHost& host) : m_host(host) {}
  virtual ~CView() = default;
  CView(const CView&) = delete;
  CView& operator=(const CView&) = delete;

  // Handlers the window calls.
  virtual void OnDraw(CDC* pDC) = 0;
  virtual void OnLButtonDown(UINT nFlags, CPoint point) = 0;
  virtual void OnTimer(UINT nIDEvent) = 0;
  virtual void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) = 0;
  virtual void OnUpdateFilePrint(CCmdUI* pCmdUI) = 0;
  virtual BOOL OnPreparePrinting(CPrintInfo* pInfo) = 0;
  virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) = 0;
  virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo) = 0;
  virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) = 0;

  // A paint of the whole view from its stored state, on a device context for
  // the surface; what it drew is presented afterwards.
  void Paint();

  // The framework's print commands: Print (with the Print dialog), printing
  // straight to the default printer, and Print Preview.
  void OnFilePrint();
  void OnFilePrintDirect();
  void OnFilePrintPreview();

  CViewHost& Host() { return m_host; }

 protected:
  void GetClientRect(RECT* rect) const;
  UINT SetTimer(UINT id, UINT milliseconds, void* unused);
  BOOL KillTimer(UINT id);
  int MessageBox(const std::string& text, const std::string& caption, UINT type);
  // A message box with the application's name as caption; without an icon in
  // type, the exclamation icon.
  int AfxMessageBox(const std::string& text, UINT type);
  void SetMainWindowText(const std::string& title);
  CTime GetCurrentTime();
  // Asks for the printer: the Print dialog, or for a preview and for direct
  // printing the default printer. FALSE when the player cancels.
  BOOL DoPreparePrinting(CPrintInfo* pInfo);

  CViewHost& m_host;
};

// A device context on the view's client area: it draws on the view's surface,
// and what it drew is shown on the screen when it goes out of scope.
class CClientDC : public CDC {
 public:
  explicit CClientDC(CView* view);
  ~CClientDC() override;

 private:
  CViewHost& m_host;
};
