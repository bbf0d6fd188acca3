// libVLC's prompts as dialogs. Every prompt id libVLC hands out is answered exactly once (log-in,
// action or dismiss), from the UI thread, never from inside one of libVLC's callbacks.
#include "platform/vlc/VlcDialogs.h"

#include <vlc/vlc.h>

#include <QString>
#include <QWidget>

#include "platform/qt/EngineEvents.h"
#include "platform/vlc/VlcPrompt.h"

namespace zelvo::vlc {

namespace {
QString textOf(const char* text) { return text ? QString::fromUtf8(text) : QString(); }
}  // namespace

// Called on libVLC's threads: they copy what they need and post; nothing calls into libVLC.
struct VlcDialogCallbacks {
  using Ticket = VlcDialogs::Ticket;
  static VlcDialogs* of(void* self) { return static_cast<VlcDialogs*>(self); }

  static VlcPrompt::AnswerHandler answerTo(VlcDialogs* dialogs, libvlc_dialog_id* id, Ticket ticket,
                                           bool isLogin = false) {
    return [=](const PromptAnswer& a) { dialogs->answer(id, ticket, isLogin, a); };
  }

  static void login(void* self, libvlc_dialog_id* id, const char* title, const char* text,
                    const char* defaultUser, bool askStore) {
    try {
      VlcDialogs* dialogs = of(self);
      dialogs->expect(id, true,
                      [=, title = textOf(title), text = textOf(text), user = textOf(defaultUser)](
                          QWidget* parent, Ticket ticket) {
                        return VlcPrompt::login(parent, title, text, user, askStore,
                                                answerTo(dialogs, id, ticket, true));
                      });
    } catch (...) {
    }
  }

  static void question(void* self, libvlc_dialog_id* id, const char* title, const char* text,
                       libvlc_dialog_question_type, const char* cancel, const char* action1,
                       const char* action2) {
    try {
      VlcDialogs* dialogs = of(self);
      dialogs->expect(
          id, false,
          [=, title = textOf(title), text = textOf(text), cancel = textOf(cancel),
           action1 = textOf(action1), action2 = textOf(action2)](QWidget* parent, Ticket ticket) {
            return VlcPrompt::question(parent, title, text, cancel, action1, action2,
                                       answerTo(dialogs, id, ticket));
          });
    } catch (...) {
    }
  }

  static void progress(void* self, libvlc_dialog_id* id, const char* title, const char* text,
                       bool indeterminate, float position, const char* cancel) {
    try {
      VlcDialogs* dialogs = of(self);
      dialogs->expect(id, false,
                      [=, title = textOf(title), text = textOf(text), cancel = textOf(cancel)](
                          QWidget* parent, Ticket ticket) {
                        return VlcPrompt::progress(parent, title, text, indeterminate, position,
                                                   cancel, answerTo(dialogs, id, ticket));
                      });
    } catch (...) {
    }
  }

  static void cancel(void* self, libvlc_dialog_id* id) {
    try {
      VlcDialogs* dialogs = of(self);
      const Ticket ticket = dialogs->ticketOf(id);
      if (!ticket) return;  // answered already; libVLC needs nothing more
      postGuarded(dialogs, [dialogs, id, ticket] { dialogs->withdraw(id, ticket); });
    } catch (...) {
    }
  }

  static void update(void* self, libvlc_dialog_id* id, float position, const char* text) {
    try {
      VlcDialogs* dialogs = of(self);
      const Ticket ticket = dialogs->ticketOf(id);
      if (!ticket) return;
      postGuarded(dialogs, [dialogs, id, ticket, position, text = textOf(text)] {
        dialogs->update(id, ticket, position, text);
      });
    } catch (...) {
    }
  }
};

namespace {
const libvlc_dialog_cbs kCallbacks = {
    nullptr,  // errors stay in libVLC's log, where the player reads why a stream failed
    &VlcDialogCallbacks::login,
    &VlcDialogCallbacks::question,
    &VlcDialogCallbacks::progress,
    &VlcDialogCallbacks::cancel,
    &VlcDialogCallbacks::update,
};
}  // namespace

VlcDialogs::VlcDialogs(libvlc_instance_t* instance, std::function<QWidget*()> parentWindow)
    : instance_(instance), parentWindow_(std::move(parentWindow)) {
  libvlc_dialog_set_callbacks(instance_, &kCallbacks, this);
}

VlcDialogs::~VlcDialogs() {
  // Unregistering withdraws every prompt still open in libVLC; the withdrawals it posts here
  // are never delivered, so the answers owed are given now.
  libvlc_dialog_set_callbacks(instance_, nullptr, nullptr);
  std::map<libvlc_dialog_id*, Ticket> owed;
  {
    std::lock_guard lock(mutex_);
    owed.swap(owed_);
  }
  for (const auto& entry : owed) libvlc_dialog_dismiss(entry.first);
  for (auto& [ticket, prompt] : shown_) {
    if (prompt) {
      prompt->withdraw();
      delete prompt.data();
    }
  }
}

void VlcDialogs::expect(libvlc_dialog_id* id, bool isLogin, Maker make) {
  Ticket ticket = 0;
  {
    std::lock_guard lock(mutex_);
    ticket = ++lastTicket_;
    owed_[id] = ticket;
  }
  QMetaObject::invokeMethod(
      this,
      [this, id, ticket, isLogin, make = std::move(make)] { show(id, ticket, isLogin, make); },
      Qt::QueuedConnection);
}

VlcDialogs::Ticket VlcDialogs::ticketOf(libvlc_dialog_id* id) {
  std::lock_guard lock(mutex_);
  auto owed = owed_.find(id);
  return owed == owed_.end() ? 0 : owed->second;
}

void VlcDialogs::show(libvlc_dialog_id* id, Ticket ticket, bool isLogin, const Maker& make) {
  if (ticketOf(id) != ticket) return;  // withdrawn before it could be shown
  if (isLogin && loginDeclined_) {
    if (settle(id, ticket)) libvlc_dialog_dismiss(id);
    return;
  }
  QWidget* parent = parentWindow_ ? parentWindow_() : nullptr;
  VlcPrompt* prompt = make(parent, ticket);
  shown_[ticket] = prompt;
  prompt->show();
  prompt->raise();
  prompt->activateWindow();
}

void VlcDialogs::answer(libvlc_dialog_id* id, Ticket ticket, bool isLogin,
                        const PromptAnswer& answer) {
  shown_.erase(ticket);
  if (!settle(id, ticket)) return;
  if (isLogin && answer.kind == PromptAnswer::Kind::Dismiss) loginDeclined_ = true;
  switch (answer.kind) {
    case PromptAnswer::Kind::Login:
      libvlc_dialog_post_login(id, answer.user.toUtf8().constData(),
                               answer.password.toUtf8().constData(), answer.store);
      return;
    case PromptAnswer::Kind::Action:
      libvlc_dialog_post_action(id, answer.action);
      return;
    case PromptAnswer::Kind::Dismiss:
      libvlc_dialog_dismiss(id);
      return;
  }
}

void VlcDialogs::withdraw(libvlc_dialog_id* id, Ticket ticket) {
  if (!settle(id, ticket)) return;
  auto shown = shown_.find(ticket);
  if (shown != shown_.end()) {
    QPointer<VlcPrompt> prompt = shown->second;
    shown_.erase(shown);
    if (prompt) prompt->withdraw();
  }
  libvlc_dialog_dismiss(id);
}

void VlcDialogs::update(libvlc_dialog_id*, Ticket ticket, float position, const QString& text) {
  auto shown = shown_.find(ticket);
  if (shown != shown_.end() && shown->second) shown->second->updateProgress(position, text);
}

bool VlcDialogs::settle(libvlc_dialog_id* id, Ticket ticket) {
  std::lock_guard lock(mutex_);
  auto owed = owed_.find(id);
  if (owed == owed_.end() || owed->second != ticket) return false;
  owed_.erase(owed);
  return true;
}

}  // namespace zelvo::vlc
