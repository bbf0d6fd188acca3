// libVLC's prompts (log-in, question, progress) as dialogs of the program. libVLC asks from its
// own threads; the callbacks only post, and the answers go back from the UI thread.
#pragma once

#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>

class QString;
class QWidget;

struct libvlc_instance_t;
struct libvlc_dialog_id;

namespace zelvo::vlc {

class VlcPrompt;
struct PromptAnswer;

class VlcDialogs : public QObject {
  Q_OBJECT
 public:
  // parentWindow gives the window the prompts belong to when they appear.
  VlcDialogs(libvlc_instance_t* instance, std::function<QWidget*()> parentWindow);
  // Withdraws the open prompts and answers every prompt libVLC is still owed an answer for.
  // The engine's players must be stopped before.
  ~VlcDialogs() override;
  VlcDialogs(const VlcDialogs&) = delete;
  VlcDialogs& operator=(const VlcDialogs&) = delete;

  // A new address: log-in prompts are shown again. Once the user declines one for an address,
  // libVLC's further log-in prompts for it (it asks again from its other HTTP module) are
  // declined without showing them.
  void newAddress() { loginDeclined_ = false; }

 private:
  // libVLC's callbacks, in the .cpp beside their table.
  friend struct VlcDialogCallbacks;

  // libVLC may reuse the address of an id it has freed, so each prompt also gets a ticket of
  // its own, and news about an id is only believed with the ticket it had when the news came.
  using Ticket = uint64_t;
  using Maker = std::function<VlcPrompt*(QWidget* parent, Ticket ticket)>;

  // Records a prompt libVLC waits on (any thread), then shows it on the UI thread.
  void expect(libvlc_dialog_id* id, bool isLogin, Maker make);
  // The ticket of a prompt still owed an answer, or 0 (any thread).
  Ticket ticketOf(libvlc_dialog_id* id);
  void show(libvlc_dialog_id* id, Ticket ticket, bool isLogin, const Maker& make);
  void answer(libvlc_dialog_id* id, Ticket ticket, bool isLogin, const PromptAnswer& answer);
  void withdraw(libvlc_dialog_id* id, Ticket ticket);
  void update(libvlc_dialog_id* id, Ticket ticket, float position, const QString& text);
  // Takes the prompt off the list of those owed an answer; false when it was not on it.
  bool settle(libvlc_dialog_id* id, Ticket ticket);

  libvlc_instance_t* instance_;
  std::function<QWidget*()> parentWindow_;
  std::mutex mutex_;
  std::map<libvlc_dialog_id*, Ticket> owed_;  // guarded by mutex_
  Ticket lastTicket_ = 0;                     // guarded by mutex_
  std::map<Ticket, QPointer<VlcPrompt>> shown_;
  bool loginDeclined_ = false;
};

}  // namespace zelvo::vlc
