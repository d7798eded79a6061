#include "ListsMenu.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMenu>
#include <QRandomGenerator>

#include "frmTreeTest.h"

namespace TreeUi {

using TreeCommands::ReadyList;

namespace {

const QString Error = QStringLiteral("Error");

}  // namespace

ListsMenu::ListsMenu(frmTreeTest& window)
    : QObject(&window),
      window_(window),
      box_(window.findChild<QLineEdit*>(QStringLiteral("TxtGetTree"))),
      menu_(new QMenu(QStringLiteral("Lists"), &window)),
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
  window.PadMenu()->addSeparator();
  window.PadMenu()->addMenu(menu_);
  // A list typed over a random one no longer comes from the seed.
  connect(box_, &QLineEdit::textEdited, box_, [box = box_] { box->setToolTip(QString()); });
}

void ListsMenu::Ask(ReadyList kind) {
  QDialog dialog(&window_);
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
    window_.Messages()->ShowMessage(QString::fromStdString(*why), Error, MessageIcon::Error);
    return false;
  }
  std::uint32_t seed = 0;
  if (kind == ReadyList::Random) {
    const auto read = TreeCommands::ReadSeed(seedText.toStdString());
    if (!read) {
      window_.Messages()->ShowMessage(
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
  box_->setToolTip(kind == ReadyList::Random
                       ? QStringLiteral("Random list of %1 values, seed %2").arg(n).arg(seed)
                       : QString());
  window_.CmdGetTree_Click();
  return true;
}

}  // namespace TreeUi
