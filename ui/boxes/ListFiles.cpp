#include "boxes/ListFiles.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMimeDatabase>
#include <QSaveFile>
#include <QSettings>
#include <QUrl>
#include <memory>

#include "boxes/BoxEditing.h"
#include "view/MessageSink.h"

namespace TreeUi {

namespace {

constexpr int RecentCount = 5;
const QString RecentKey = QStringLiteral("lists/recent");
const QString Filters = QStringLiteral("Lists (*.txt *.csv *.lst);;All files (*)");
// Far beyond the longest list a box takes (32,767 values in some 200 KB),
// and small enough that a wrong file cannot exhaust memory.
constexpr qint64 LargestList = 16 * 1024 * 1024;

QString& SettingsFile() {
  static QString file;
  return file;
}

// As the view's preferences: a host that names no organisation (a test, a
// benchmark) keeps its recent files in memory only.
std::unique_ptr<QSettings> OpenSettings() {
  if (!SettingsFile().isEmpty())
    return std::make_unique<QSettings>(SettingsFile(), QSettings::IniFormat);
  if (QCoreApplication::organizationName().isEmpty()) return nullptr;
  return std::make_unique<QSettings>();
}

}  // namespace

ListFiles::ListFiles(QWidget* window, QLineEdit* box, BoxEditing& editing, MessageSink& messages,
                     std::function<void()> getTree, const QList<QWidget*>& dropTargets)
    : QObject(window),
      window_(window),
      box_(box),
      editing_(editing),
      messages_(messages),
      getTree_(std::move(getTree)),
      open_(new QAction(QStringLiteral("Open List\u2026"), this)),
      save_(new QAction(QStringLiteral("Save List\u2026"), this)),
      recent_(new QMenu(QStringLiteral("Recent Lists"), window)) {
  setObjectName(QStringLiteral("ListFiles"));
  open_->setObjectName(QStringLiteral("OpenList"));
  save_->setObjectName(QStringLiteral("SaveList"));
  recent_->setObjectName(QStringLiteral("RecentLists"));
  connect(open_, &QAction::triggered, this, &ListFiles::AskOpen);
  connect(save_, &QAction::triggered, this, &ListFiles::AskSave);
  if (const auto settings = OpenSettings())
    recentPaths_ = settings->value(RecentKey).toStringList().mid(0, RecentCount);
  FillRecentMenu();

  window->setAcceptDrops(true);
  window->installEventFilter(this);
  // Over a box, a file is opened too rather than its name pasted.
  for (QWidget* target : dropTargets) target->installEventFilter(this);
}

void ListFiles::UseSettingsFile(const QString& path) {
  SettingsFile() = path;
}

bool ListFiles::Open(const QString& path) {
  // While a command runs the boxes are disabled and keep their text.
  if (!box_->isEnabled()) return false;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    if (!file.exists()) Forget(path);
    Fail(QStringLiteral("The list could not be opened from %1: %2")
             .arg(QDir::toNativeSeparators(path), file.errorString()));
    return false;
  }
  if (file.size() > LargestList) {
    Fail(QStringLiteral("%1 is too large to be a list.").arg(QDir::toNativeSeparators(path)));
    return false;
  }
  QByteArray bytes = file.readAll();
  if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);  // a byte-order mark
  Remember(path);
  // One edit replacing the whole text, so that the box's own Undo takes it back.
  box_->selectAll();
  if (bytes.isEmpty())
    box_->del();
  else
    editing_.Paste(QString::fromUtf8(bytes));
  getTree_();
  return true;
}

bool ListFiles::Save(const QString& path) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(box_->text().toUtf8()) < 0 || !file.commit()) {
    Fail(QStringLiteral("The list could not be saved to %1: %2")
             .arg(QDir::toNativeSeparators(path), file.errorString()));
    return false;
  }
  Remember(path);
  return true;
}

void ListFiles::AskOpen() {
  const QString start =
      recentPaths_.isEmpty() ? QDir::homePath() : QFileInfo(recentPaths_.first()).path();
  QFileDialog dialog(window_, QStringLiteral("Open List"), start, Filters);
  dialog.setObjectName(QStringLiteral("OpenListDialog"));
  // Qt's own dialog, the same on every desktop (and answerable by tests).
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
    Open(dialog.selectedFiles().first());
}

void ListFiles::AskSave() {
  const QString start =
      recentPaths_.isEmpty() ? QDir::homePath() : QFileInfo(recentPaths_.first()).path();
  QFileDialog dialog(window_, QStringLiteral("Save List"), start, Filters);
  dialog.setObjectName(QStringLiteral("SaveListDialog"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("txt"));
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
    Save(dialog.selectedFiles().first());
}

void ListFiles::Remember(const QString& path) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  recentPaths_.removeAll(absolute);
  recentPaths_.prepend(absolute);
  recentPaths_ = recentPaths_.mid(0, RecentCount);
  StoreRecent();
}

void ListFiles::Forget(const QString& path) {
  if (recentPaths_.removeAll(QFileInfo(path).absoluteFilePath()) > 0) StoreRecent();
}

void ListFiles::StoreRecent() {
  if (const auto settings = OpenSettings()) settings->setValue(RecentKey, recentPaths_);
  FillRecentMenu();
}

void ListFiles::FillRecentMenu() {
  // The action of a recent file is still being triggered while it opens that
  // file: the old actions leave the menu now and are deleted once the event
  // loop is done with them, not under the trigger's feet.
  for (QAction* old : recent_->actions()) {
    recent_->removeAction(old);
    old->setObjectName(QString());
    old->deleteLater();
  }
  for (int i = 0; i < recentPaths_.size(); ++i) {
    const QString path = recentPaths_[i];
    QString caption = QDir::toNativeSeparators(path);
    caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QAction* action = recent_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(caption));
    action->setObjectName(QStringLiteral("RecentList%1").arg(i + 1));
    connect(action, &QAction::triggered, this, [this, path] { Open(path); });
  }
  recent_->setEnabled(!recentPaths_.isEmpty());
}

void ListFiles::Fail(const QString& text) {
  messages_.ShowMessage(text, QStringLiteral("Error"), MessageIcon::Error);
}

QString ListFiles::DroppedTextFile(const QMimeData* mime) {
  if (mime == nullptr || !mime->hasUrls() || mime->urls().isEmpty()) return {};
  const QUrl url = mime->urls().first();
  if (!url.isLocalFile()) return {};
  const QString path = url.toLocalFile();
  const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
  return QFileInfo(path).isFile() && type.inherits(QStringLiteral("text/plain")) ? path : QString();
}

bool ListFiles::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDropEvent*>(event);
      if (DroppedTextFile(drag->mimeData()).isEmpty() || !box_->isEnabled()) break;
      drag->setDropAction(Qt::CopyAction);
      drag->accept();
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      const QString path = DroppedTextFile(drop->mimeData());
      if (path.isEmpty()) break;
      drop->setDropAction(Qt::CopyAction);
      drop->accept();
      Open(path);
      return true;
    }
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace TreeUi
