#include "platform/sound/deferred_sound_output.h"

bool CDeferredSoundOutput::Play(const QByteArray& wave, bool wait) {
  if (!m_bTriedToOpen) {
    m_bTriedToOpen = true;
    m_output.Open();
  }
  return m_output.IsOpen() && m_output.Play(wave, wait);
}
