#include "view/sound_cues.h"

#include "platform/host.h"

namespace {
const char* const kNoSoundNotice = "Cannot play sound.\nThis game works much better with a sound card.";
}  // namespace

void PlaySoundSync(CViewHost& host, UINT nSoundId) { host.PlaySound(nSoundId, Playing::kToItsEnd); }

void PlaySoundAsync(CViewHost& host, SoundNotice& notice, UINT nSoundId) {
  if (host.PlaySound(nSoundId, Playing::kStart)) return;
  if (notice.shown) return;
  host.Present(Presenting::kBeforeHolding);
  ++notice.open;
  host.ShowMessageBox(kNoSoundNotice, AfxGetAppName(), MB_OK | MB_ICONEXCLAMATION);
  --notice.open;
  // Only once the player has closed it: a failure while it is still open
  // brings a second notice.
  notice.shown = true;
}
