#include "boxes/ListsMenu.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMenu>
#include <QRandomGenerator>

#include "view/MessageSink.h"

namespace TreeUi {

using TreeCommands::ReadyList;

namespace {

const QString Error = QStringLiteral("Error");

}  // namespace

ListsMenu::ListsMenu(QWidget* window, QLineEdit* box, QMenu* padMenu, MessageSink& messages,
                     std::function<void()> getTree)
    : QObject(window),
      window_(window),
      messages_(messages),
      getTree_(std::move(getTree)),
      box_(box),
      menu_(new QMenu(QStringLiteral("Lists"), window)),
      lastCount_(QString::number(TreeCommands::DefaultReadyCount)) {
  setObjectName(QStringLiteral("ListsMenu"));
  menu_->setObjectName(QStringLiteral("ListsMenu"));
  const struct {
    const char* Name;
    QString Caption;
    ReadyList Kind;
  } items[] = {
      {"RandomList", QStringLiteral("Random Values…"), ReadyList::Random},
      {"AscendingList", QStringLiteral("Ascending 1..N…"), ReadyList::Ascending},
      {"DescendingList", QStringLiteral("Descending N..1…"), ReadyList::Descending},
      {"ZigZagList", QStringLiteral("Zig-Zag 1, N, 2, N−1…"), ReadyList::ZigZag},
      {"ManyEqualList", QStringLiteral("Many Equal Values…"), ReadyList::ManyEqual},
  };
  for (const auto& item : items) {
    QAction* action = menu_->addAction(item.Caption);
    action->setObjectName(QString::fromLatin1(item.Name));
    const ReadyList kind = item.Kind;
    connect(action, &QAction::triggered, this, [this, kind] { Ask(kind); });
  }
  padMenu->addSeparator();
  padMenu->addMenu(menu_);
  // A list typed over a random one no longer comes from the seed; another
  // feature's tooltip (a refusal's) is left alone.
  connect(box_, &QLineEdit::textEdited, this, [this] {
    if (box_->toolTip() == seedTip_) box_->setToolTip(QString());
  });
}

void ListsMenu::Ask(ReadyList kind) {
  QDialog dialog(window_);
  dialog.setObjectName(QStringLiteral("ListDialog"));
  dialog.setWindowTitle(QStringLiteral("Ready-Made List"));
  auto* form = new QFormLayout(&dialog);
  auto* count = new QLineEdit(lastCount_, &dialog);
  count->setObjectName(QStringLiteral("ListCount"));
  form->addRow(QStringLiteral("Number of values (N):"), count);
  QLineEdit* seed = nullptr;
  if (kind == ReadyList::Random) {
    seed = new QLineEdit(QString::number(QRandomGenerator::global()->generate()), &dialog);
    seed->setObjectName(QStringLiteral("ListSeed"));
    form->addRow(QStringLiteral("Seed:"), seed);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  form->addRow(buttons);
  count->selectAll();
  if (dialog.exec() != QDialog::Accepted) return;
  Fill(kind, count->text(), seed != nullptr ? seed->text() : QString());
}

bool ListsMenu::Fill(ReadyList kind, const QString& countText, const QString& seedText) {
  const auto count = TreeCommands::ReadCount(countText.toStdString(), kind);
  if (const auto* why = std::get_if<std::string>(&count)) {
    messages_.ShowMessage(QString::fromStdString(*why), Error, MessageIcon::Error);
    return false;
  }
  std::uint32_t seed = 0;
  if (kind == ReadyList::Random) {
    const auto read = TreeCommands::ReadSeed(seedText.toStdString());
    if (!read) {
      messages_.ShowMessage(
          QStringLiteral("Please enter a whole number from 0 to 4294967295 as the seed."), Error,
          MessageIcon::Error);
      return false;
    }
    seed = *read;
  }
  const int n = std::get<int>(count);
  lastCount_ = QString::number(n);
  const auto values = TreeCommands::MakeReadyList(kind, n, seed);
  box_->setText(QString::fromStdString(TreeCommands::ListText(values)));
  seedTip_ = kind == ReadyList::Random
                 ? QStringLiteral("Random list of %1 values, seed %2").arg(n).arg(seed)
                 : QString();
  box_->setToolTip(seedTip_);
  getTree_();
  return true;
}

}  // namespace TreeUi
