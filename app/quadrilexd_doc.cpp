#include "app/quadrilexd_doc.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <cerrno>

namespace {

// Whatever the file is, the game never waits on it: a named pipe with no one
// at the other end, or a device, would otherwise hold the one thread (and
// with it the window, while the clock runs on) inside open() for as long as
// no one comes. The descriptor is never inherited and never makes a terminal
// the game's own.
constexpr int kOpenFlags = O_NONBLOCK | O_CLOEXEC | O_NOCTTY;

// Why a path that names something other than a plain file is refused, in
// the player's words.
QString NotAPlainFile(mode_t mode) {
  QString kind = QStringLiteral("not a plain file");
  if (S_ISDIR(mode)) kind = QStringLiteral("a folder");
  if (S_ISFIFO(mode)) kind = QStringLiteral("a named pipe (FIFO)");
  if (S_ISCHR(mode) || S_ISBLK(mode)) kind = QStringLiteral("a device");
  if (S_ISSOCK(mode)) kind = QStringLiteral("a socket");
  return QStringLiteral("It is %1, not a plain file: the game opens and saves plain files only.").arg(kind);
}

// The reason a call on path failed with the error code given: what path
// names, when that is not a plain file (a pipe's "No such device or address"
// says nothing to a player), or else the system's own words.
QString ReasonFor(const QByteArray& path, int errorCode) {
  struct stat status {};
  if (::stat(path.constData(), &status) == 0 && !S_ISREG(status.st_mode)) return NotAPlainFile(status.st_mode);
  return qt_error_string(errorCode);
}

// Looks at what path names without opening it (opening a device can start
// whatever the device does). True when it is not there or is a plain file;
// otherwise false with the reason.
bool AbsentOrAPlainFile(const QByteArray& path, QString* error) {
  struct stat status {};
  if (::stat(path.constData(), &status) != 0 || S_ISREG(status.st_mode)) return true;
  if (error) *error = NotAPlainFile(status.st_mode);
  return false;
}

// True when the open descriptor is a plain file; otherwise false with the
// reason. (Something else may have taken the name between the look and the
// open.)
bool IsAPlainFile(int fd, QString* error) {
  struct stat status {};
  if (::fstat(fd, &status) != 0) {
    if (error) *error = qt_error_string(errno);
    return false;
  }
  if (S_ISREG(status.st_mode)) return true;
  if (error) *error = NotAPlainFile(status.st_mode);
  return false;
}

}  // namespace

bool CQuadrilexdDoc::OnNewDocument() {
  m_strPathName.clear();
  return true;
}

bool CQuadrilexdDoc::OpenFrom(const QString& path, QString* error) {
  const QByteArray name = QFile::encodeName(path);
  if (!AbsentOrAPlainFile(name, error)) return false;
  const int fd = ::open(name.constData(), O_RDONLY | kOpenFlags);
  if (fd < 0) {
    if (error) *error = ReasonFor(name, errno);
    return false;
  }
  // The document holds nothing: the file is opened, and nothing is read from it.
  const bool plain = IsAPlainFile(fd, error);
  ::close(fd);
  if (!plain) return false;
  OnNewDocument();
  m_strPathName = path;
  return true;
}

bool CQuadrilexdDoc::SaveTo(const QString& path, QString* error) const {
  const QByteArray name = QFile::encodeName(path);
  if (!AbsentOrAPlainFile(name, error)) return false;
  // Not truncated on opening: only once it is known to be a plain file.
  const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | kOpenFlags, 0666);
  if (fd < 0) {
    if (error) *error = ReasonFor(name, errno);
    return false;
  }
  if (!IsAPlainFile(fd, error)) {
    ::close(fd);
    return false;
  }
  // The document holds nothing, so the file is emptied and nothing is written.
  const bool emptied = ::ftruncate(fd, 0) == 0;
  if (!emptied && error) *error = qt_error_string(errno);
  if (::close(fd) != 0 && emptied) {
    if (error) *error = qt_error_string(errno);
    return false;
  }
  return emptied;
}

bool CQuadrilexdDoc::HoldsData(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) return false;
  return !info.isFile() || info.size() > 0;
}
