// One prompt of libVLC as a dialog of the program: a log-in, a question or a progress bar, with
// the engine's title, text and buttons. It reports the user's answer once and knows no libVLC.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QLineEdit;
class QCheckBox;
class QProgressBar;
class QLabel;

namespace zelvo::vlc {

struct PromptAnswer {
  enum class Kind { Dismiss, Login, Action };
  Kind kind = Kind::Dismiss;
  QString user;
  QString password;
  bool store = false;
  int action = 0;  // 1 or 2: the first or second of the engine's actions
};

class VlcPrompt : public QDialog {
  Q_OBJECT
 public:
  using AnswerHandler = std::function<void(const PromptAnswer&)>;

  static VlcPrompt* login(QWidget* parent, const QString& title, const QString& text,
                          const QString& defaultUser, bool askStore, AnswerHandler answer);
  // An empty action text leaves that action out.
  static VlcPrompt* question(QWidget* parent, const QString& title, const QString& text,
                             const QString& cancelText, const QString& action1,
                             const QString& action2, AnswerHandler answer);
  // An empty cancel text makes a prompt the user cannot cancel from a button.
  static VlcPrompt* progress(QWidget* parent, const QString& title, const QString& text,
                             bool indeterminate, float position, const QString& cancelText,
                             AnswerHandler answer);

  // A prompt that goes without an answer (its window went with the main window) dismisses.
  ~VlcPrompt() override;

  void updateProgress(float position, const QString& text);
  // Closes the prompt without answering: the engine has withdrawn it.
  void withdraw();

 private:
  VlcPrompt(QWidget* parent, const QString& title, AnswerHandler answer);
  void answerOnce(const PromptAnswer& answer);
  // Close requests, Escape and the cancel button all come here.
  void done(int result) override;

  AnswerHandler answer_;
  bool answered_ = false;
  QLabel* text_ = nullptr;
  QLineEdit* user_ = nullptr;
  QLineEdit* password_ = nullptr;
  QCheckBox* store_ = nullptr;
  QProgressBar* progress_ = nullptr;
};

}  // namespace zelvo::vlc
