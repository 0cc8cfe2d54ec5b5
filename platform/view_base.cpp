#include "platform/view_base.h"

#include "platform/host.h"
#include "platform/surface.h"

void CView::Paint() {
  CClientDC dc(this);
  OnDraw(&dc);
}

void CView::GetClientRect(RECT* rect) const { *rect = m_host.ClientRect(); }

UINT CView::SetTimer(UINT id, UINT milliseconds, void*) { return m_host.StartTimer(id, milliseconds) ? id : 0; }

BOOL CView::KillTimer(UINT id) {
  m_host.StopTimer(id);
  return TRUE;
}

int CView::MessageBox(const std::string& text, const std::string& caption, UINT type) {
  m_host.Present(Presenting::kBeforeHolding);
  return m_host.ShowMessageBox(text, caption, type);
}

int CView::AfxMessageBox(const std::string& text, UINT type) {
  if ((type & MB_ICONMASK) == 0) type |= MB_ICONEXCLAMATION;
  return MessageBox(text, AfxGetAppName(), type);
}

void CView::SetMainWindowText(const std::string& title) { m_host.SetMainWindowTitle(title); }

CTime CView::GetCurrentTime() { return CTime(m_host.CurrentTime()); }

CClientDC::CClientDC(CView* view) : m_host(view->Host()) { AttachSurface(&m_host.Surface()); }

CClientDC::~CClientDC() {
  Detach();
  m_host.Present(Presenting::kWhenFree);
}

