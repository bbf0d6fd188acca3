// A web page that can be left alone with hostile sites: it asks the user nothing, opens no
// window, grants no permission, and lives in a private profile that keeps nothing on disk.
#pragma once

#include <QString>
#include <QWebEnginePage>

class QWebEngineProfile;

namespace zelvo {

// A profile of the browser's own, off the record, with the settings of an unattended crawl:
// scripts run as in any browser, but pages cannot reach local files, open windows, start
// plug-ins or look ahead on the network by themselves.
QWebEngineProfile* newGuardedProfile(QObject* parent);

class GuardedWebPage : public QWebEnginePage {
  Q_OBJECT

 public:
  GuardedWebPage(QWebEngineProfile* profile, QObject* parent);

  // Local pages inside this folder (and only those) may load images, scripts and players from
  // the network, as pages opened in a desktop browser do. They still read no other local file.
  void allowRemoteContentForPagesIn(const QString& folder);

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
  QWebEnginePage* createWindow(WebWindowType type) override;
  QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                          const QStringList& acceptedMimeTypes) override;
  void javaScriptAlert(const QUrl& securityOrigin, const QString& message) override;
  bool javaScriptConfirm(const QUrl& securityOrigin, const QString& message) override;
  bool javaScriptPrompt(const QUrl& securityOrigin, const QString& message,
                        const QString& defaultValue, QString* result) override;
  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                int lineNumber, const QString& sourceId) override;

 private:
  bool mayLoadRemoteContent(const QUrl& url) const;

  QString remoteContentFolder_;  // empty for none
};

}  // namespace zelvo
