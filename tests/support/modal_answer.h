// Answers the next modal dialog that opens while a test waits in an event loop
// (a dialog's own exec() or QTest::qWait). The answer is withdrawn when the
// object goes out of scope, so a dialog that never came cannot reach a later test.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <utility>

class ModalAnswer {
 public:
  explicit ModalAnswer(std::function<void(QWidget*)> action) : m_action(std::move(action)) {
    m_poll.setInterval(10);
    QObject::connect(&m_poll, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal || modal == m_answered) return;
      m_answered = modal;
      ++m_count;
      if (!m_repeat) m_poll.stop();
      m_action(modal);
    });
    m_poll.start();
  }
  ModalAnswer(const ModalAnswer&) = delete;
  ModalAnswer& operator=(const ModalAnswer&) = delete;
  ~ModalAnswer() { m_poll.stop(); }

  // Answers every dialog that opens, not only the first.
  void Repeat() { m_repeat = true; }
  int Count() const { return m_count; }

 private:
  std::function<void(QWidget*)> m_action;
  QTimer m_poll;
  QWidget* m_answered = nullptr;
  bool m_repeat = false;
  int m_count = 0;
};
