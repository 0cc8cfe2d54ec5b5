#include "app/about_dlg.h"

#include <algorithm>

#include <QFontMetrics>
#include <QStringList>
#include <QLabel>
#include <QPushButton>

#include "platform/resources.h"
#include "view/title.h"

namespace {

const std::string kAboutText = std::string("Quadrilex Version ") + kVersionLabel + " \nPress F1 for more Instructions";

// Dialog units: a quarter of the base width across, an eighth of the
// character height down, so the box keeps its proportions in any font. The
// base width is the mean advance of "A" to "Z" and "a" to "z", rounded: the
// measure the box's numbers were made for. (A font's own average character
// width is narrower, and cuts the texts short.)
struct DialogUnits {
  explicit DialogUnits(const QFont& font)
      : metrics(font),
        baseWidth((metrics.horizontalAdvance(
                       QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) +
                   26) /
                  52) {}
  int X(int units) const { return units * baseWidth / 4; }
  int Y(int units) const { return units * metrics.height() / 8; }
  QRect Rect(int x, int y, int w, int h) const { return QRect(X(x), Y(y), X(w), Y(h)); }
  QFontMetrics metrics;
  int baseWidth;
};

// The box, grown where needed to hold every line of its text whole: the
// default fonts of a desktop can be wider for their height than the one the
// dialog was drawn up in.
QRect GrownToText(const QRect& box, const QFontMetrics& metrics, const QString& text) {
  const QStringList lines = text.split(QLatin1Char('\n'));
  int widest = 0;
  for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
  return QRect(box.topLeft(), QSize(std::max(box.width(), widest),
                                    std::max(box.height(), static_cast<int>(lines.size()) * metrics.height())));
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About Quadrilexd"));
  setModal(true);
  const DialogUnits du(font());

  auto* icon = new QLabel(this);
  icon->setGeometry(du.Rect(11, 17, 20, 20));
  const QIcon appIcon = LoadIconResource(kAppIconId);
  // On a dense screen the icon drawn at that many device pixels, not the 32
  // by 32 one enlarged.
  icon->setPixmap(appIcon.pixmap(QSize(32, 32), devicePixelRatioF()));
  icon->setObjectName(QStringLiteral("aboutIcon"));

  const QString aboutText = QString::fromStdString(kAboutText);
  auto* text = new QLabel(aboutText, this);
  text->setTextFormat(Qt::PlainText);
  text->setGeometry(GrownToText(du.Rect(40, 12, 101, 20), du.metrics, aboutText));
  text->setObjectName(QStringLiteral("aboutText"));

  const QString noticeText = QString::fromLatin1(kCopyrightNotice);
  auto* notice = new QLabel(noticeText, this);
  notice->setTextFormat(Qt::PlainText);
  notice->setGeometry(GrownToText(du.Rect(40, 36, 119, 8), du.metrics, noticeText));
  notice->setObjectName(QStringLiteral("aboutNotice"));

  // The button keeps its place unless the text beside it grew into the space
  // between them; the box keeps its size unless a grown text needs more, with
  // the button's margin at the right.
  QRect okRect = du.Rect(160, 11, 32, 14);
  const int okGap = du.X(160 - (40 + 101));
  okRect.moveLeft(std::max(okRect.left(), text->geometry().right() + 1 + okGap));
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setGeometry(okRect);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  const int rightMargin = du.X(205 - (160 + 32));
  const int width = std::max({du.X(205), okRect.right() + 1 + rightMargin, notice->geometry().right() + 1 + rightMargin});
  setFixedSize(width, du.Y(58));
}
