#include "tests/support/test_host.h"

#include <cstdlib>

#include "platform/view_base.h"

CTestHost::CTestHost(int clientWidth, int clientHeight) { m_surface.Resize(clientWidth, clientHeight); }

RECT CTestHost::ClientRect() const { return MakeRect(0, 0, m_surface.Width(), m_surface.Height()); }

void CTestHost::Present(Presenting when) {
  const RECT dirty = m_surface.TakeDirtyRect();
  if (dirty.IsEmpty()) return;
  m_presents.push_back(dirty);
  if (when == Presenting::kBeforeHolding) Write("present now");
}

void CTestHost::SetMainWindowTitle(const std::string& title) {
  m_title = title;
  Write("title");
}

bool CTestHost::StartTimer(UINT id, UINT milliseconds) {
  ++m_timerStarts;
  if (m_timerFailures > 0) {
    --m_timerFailures;
    Write("timer fail " + std::to_string(id));
    return false;
  }
  m_timers[id] = milliseconds;
  Write("timer start " + std::to_string(id) + " " + std::to_string(milliseconds));
  return true;
}

void CTestHost::StopTimer(UINT id) {
  m_timers.erase(id);
  Write("timer stop " + std::to_string(id));
}

int CTestHost::ShowMessageBox(const std::string& text, const std::string& caption, UINT style) {
  const MessageBoxCall call{text, caption, style};
  m_boxes.push_back(call);
  Write("box " + caption + ": " + text);
  if (m_whileBoxOpen) m_whileBoxOpen(call);
  Write("box closed");
  return 1;  // IDOK
}

std::time_t CTestHost::CurrentTime() { return m_now; }

void CTestHost::SeedRandom() {
  std::srand(m_seed);
  Write("seed " + std::to_string(m_seed));
}

int CTestHost::NextRandom() {
  if (m_sequence.empty()) return std::rand();
  if (m_sequenceAt >= m_sequence.size()) m_sequenceAt = 0;
  return m_sequence[m_sequenceAt++];
}

void CTestHost::SetRandomSequence(std::vector<int> values) {
  m_sequence = std::move(values);
  m_sequenceAt = 0;
}

bool CTestHost::PlaySound(UINT id, Playing how) {
  const bool wait = how == Playing::kToItsEnd;
  if (m_onSound) m_onSound(id, wait);
  m_sounds.push_back(SoundCall{id, wait, m_soundDevice});
  Write(std::string(wait ? "sound sync " : "sound async ") + std::to_string(id) + (m_soundDevice ? "" : " failed"));
  if (!m_soundDevice) return false;
  if (wait) {
    const auto it = m_soundSeconds.find(id);
    if (it != m_soundSeconds.end()) m_now += it->second;
  }
  return true;
}

void CTestHost::Pause(int milliseconds) { m_pausedMs += milliseconds; }

void CTestHost::ExitProcess(int status) {
  Write("exit " + std::to_string(status));
  throw TestProcessExit(status);
}

void CTestHost::SetClientSize(int width, int height) {
  m_surface.Resize(width, height, m_surface.DevicePixelRatio());
}

void CTestHost::SetDevicePixelRatio(double ratio) { m_surface.Resize(m_surface.Width(), m_surface.Height(), ratio); }

bool CTestHost::FireTimer(UINT id) {
  if (!TimerRunning(id) || m_view == nullptr) return false;
  m_view->OnTimer(id);
  return true;
}

bool CTestHost::TimerRunning(UINT id) const { return m_timers.count(id) != 0; }

UINT CTestHost::TimerPeriod(UINT id) const {
  const auto it = m_timers.find(id);
  return it == m_timers.end() ? 0 : it->second;
}

COLORREF CTestHost::Pixel(int x, int y) const {
  const QRgb rgb = m_surface.Image().pixel(x, y);
  return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

void CTestHost::ClearRecords() {
  m_boxes.clear();
  m_sounds.clear();
  m_presents.clear();
  m_log.clear();
  m_pausedMs = 0;
}
