// The dialogs that stand for libVLC's prompts. Every way out (a button, Escape, a close request
// from the window system or the pop-up watch) gives exactly one answer, then the dialog goes.
#include "platform/vlc/VlcPrompt.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace zelvo::vlc {

namespace {
constexpr int kProgressSteps = 1000;

int progressValue(float position) {
  return static_cast<int>(std::clamp(position, 0.0f, 1.0f) * kProgressSteps);
}
}  // namespace

VlcPrompt::VlcPrompt(QWidget* parent, const QString& title, AnswerHandler answer)
    : QDialog(parent), answer_(std::move(answer)) {
  setWindowTitle(title);
  auto* layout = new QVBoxLayout(this);
  text_ = new QLabel(this);
  text_->setTextFormat(Qt::PlainText);
  text_->setWordWrap(true);
  layout->addWidget(text_);
}

VlcPrompt* VlcPrompt::login(QWidget* parent, const QString& title, const QString& text,
                            const QString& defaultUser, bool askStore, AnswerHandler answer) {
  auto* prompt = new VlcPrompt(parent, title, std::move(answer));
  prompt->text_->setText(text);
  auto* fields = new QFormLayout;
  prompt->user_ = new QLineEdit(defaultUser, prompt);
  prompt->password_ = new QLineEdit(prompt);
  prompt->password_->setEchoMode(QLineEdit::Password);
  fields->addRow(tr("User name"), prompt->user_);
  fields->addRow(tr("Password"), prompt->password_);
  static_cast<QVBoxLayout*>(prompt->layout())->addLayout(fields);
  if (askStore) {
    prompt->store_ = new QCheckBox(tr("Remember"), prompt);
    prompt->layout()->addWidget(prompt->store_);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, prompt);
  connect(buttons, &QDialogButtonBox::accepted, prompt, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, prompt, &QDialog::reject);
  prompt->layout()->addWidget(buttons);
  (defaultUser.isEmpty() ? prompt->user_ : prompt->password_)->setFocus();
  return prompt;
}

VlcPrompt* VlcPrompt::question(QWidget* parent, const QString& title, const QString& text,
                               const QString& cancelText, const QString& action1,
                               const QString& action2, AnswerHandler answer) {
  auto* prompt = new VlcPrompt(parent, title, std::move(answer));
  prompt->text_->setText(text);
  auto* buttons = new QDialogButtonBox(prompt);
  const QString actions[] = {action1, action2};
  for (int i = 0; i < 2; ++i) {
    if (actions[i].isEmpty()) continue;
    QPushButton* button = buttons->addButton(actions[i], QDialogButtonBox::AcceptRole);
    const int action = i + 1;
    connect(button, &QPushButton::clicked, prompt, [prompt, action] {
      PromptAnswer chosen;
      chosen.kind = PromptAnswer::Kind::Action;
      chosen.action = action;
      prompt->answerOnce(chosen);
      prompt->accept();
    });
  }
  QPushButton* cancel = buttons->addButton(cancelText.isEmpty() ? tr("Cancel") : cancelText,
                                           QDialogButtonBox::RejectRole);
  connect(cancel, &QPushButton::clicked, prompt, &QDialog::reject);
  prompt->layout()->addWidget(buttons);
  return prompt;
}

VlcPrompt* VlcPrompt::progress(QWidget* parent, const QString& title, const QString& text,
                               bool indeterminate, float position, const QString& cancelText,
                               AnswerHandler answer) {
  auto* prompt = new VlcPrompt(parent, title, std::move(answer));
  prompt->text_->setText(text);
  prompt->progress_ = new QProgressBar(prompt);
  // A range of 0 to 0 is Qt's busy indicator.
  prompt->progress_->setRange(0, indeterminate ? 0 : kProgressSteps);
  if (!indeterminate) prompt->progress_->setValue(progressValue(position));
  prompt->layout()->addWidget(prompt->progress_);
  if (!cancelText.isEmpty()) {
    auto* buttons = new QDialogButtonBox(prompt);
    QPushButton* cancel = buttons->addButton(cancelText, QDialogButtonBox::RejectRole);
    connect(cancel, &QPushButton::clicked, prompt, &QDialog::reject);
    prompt->layout()->addWidget(buttons);
  }
  return prompt;
}

VlcPrompt::~VlcPrompt() {
  try {
    answerOnce(PromptAnswer{});
  } catch (...) {
  }
}

void VlcPrompt::updateProgress(float position, const QString& text) {
  if (!progress_) return;
  if (progress_->maximum() > 0) progress_->setValue(progressValue(position));
  if (!text.isNull()) text_->setText(text);
}

void VlcPrompt::withdraw() {
  answered_ = true;
  reject();
}

void VlcPrompt::answerOnce(const PromptAnswer& answer) {
  if (answered_) return;
  answered_ = true;
  if (answer_) answer_(answer);
}

void VlcPrompt::done(int result) {
  PromptAnswer answer;
  if (result == QDialog::Accepted && user_ && !user_->text().isEmpty()) {
    answer.kind = PromptAnswer::Kind::Login;
    answer.user = user_->text();
    answer.password = password_->text();
    answer.store = store_ && store_->isChecked();
  }
  answerOnce(answer);
  QPointer<VlcPrompt> self(this);
  QDialog::done(result);
  if (self) deleteLater();
}

}  // namespace zelvo::vlc
