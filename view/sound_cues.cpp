#include "view/sound_cues.h"

#include "platform/host.h"
#include "platform/resources.h"

namespace {
const char* const kSoundType = "sound";
const char* const kNoSoundNotice = "Cannot play sound.\nThis game works much better with a sound card.";
}  // namespace

void PlaySoundSync(CViewHost& host, UINT nSoundId) {
  const QByteArray wave = FindResourceBytes(nSoundId, kSoundType);
  if (wave.isNull()) return;
  host.PlayWave(nSoundId, wave, true);
}

void PlaySoundAsync(CViewHost& host, UINT nSoundId) {
  const QByteArray wave = FindResourceBytes(nSoundId, kSoundType);
  if (!wave.isNull() && host.PlayWave(nSoundId, wave, false)) return;
  if (host.m_bSoundNoticeShown) return;
  host.Present(true);
  ++host.m_nSoundNoticesOpen;
  host.ShowMessageBox(kNoSoundNotice, AfxGetAppName(), MB_OK | MB_ICONEXCLAMATION);
  --host.m_nSoundNoticesOpen;
  // Only once the player has closed it: a failure while it is still open
  // brings a second notice.
  host.m_bSoundNoticeShown = true;
}
