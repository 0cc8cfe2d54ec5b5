#include "app/about_dlg.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

#include "platform/resources.h"
#include "view/title.h"

namespace {

const char* const kAboutText = "Quadrilex Version J614 \nPress F1 for more Instructions";
constexpr unsigned kAppIcon = 128;

// Dialog units: a quarter of the average character width across, an eighth of
// the character height down, so the box keeps its proportions in any font.
struct DialogUnits {
  explicit DialogUnits(const QFont& font) : metrics(font) {}
  int X(int units) const { return units * metrics.averageCharWidth() / 4; }
  int Y(int units) const { return units * metrics.height() / 8; }
  QRect Rect(int x, int y, int w, int h) const { return QRect(X(x), Y(y), X(w), Y(h)); }
  QFontMetrics metrics;
};

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About Quadrilexd"));
  setModal(true);
  const DialogUnits du(font());
  setFixedSize(du.X(205), du.Y(58));

  auto* icon = new QLabel(this);
  icon->setGeometry(du.Rect(11, 17, 20, 20));
  const QIcon appIcon = LoadIconResource(kAppIcon);
  icon->setPixmap(appIcon.pixmap(32, 32));
  icon->setObjectName(QStringLiteral("aboutIcon"));

  auto* text = new QLabel(QString::fromLatin1(kAboutText), this);
  text->setTextFormat(Qt::PlainText);
  text->setGeometry(du.Rect(40, 12, 101, 20));
  text->setObjectName(QStringLiteral("aboutText"));

  auto* notice = new QLabel(QString::fromLatin1(kCopyrightNotice), this);
  notice->setTextFormat(Qt::PlainText);
  notice->setGeometry(du.Rect(40, 36, 119, 8));
  notice->setObjectName(QStringLiteral("aboutNotice"));

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setGeometry(du.Rect(160, 11, 32, 14));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
