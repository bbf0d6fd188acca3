// A web page that can be left alone with hostile sites: every question a page or site could put
// to the user gets the cautious answer at once, and nothing of it is shown.
#include "platform/webengine/GuardedWebPage.h"

#include <QAuthenticator>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QWebEngineCertificateError>
#include <QWebEngineClientCertificateSelection>
#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineProfile>
#include <QWebEngineQuotaRequest>
#include <QWebEngineRegisterProtocolHandlerRequest>
#include <QWebEngineSettings>

namespace zelvo {

QWebEngineProfile* newGuardedProfile(QObject* parent) {
  auto* profile = new QWebEngineProfile(parent);  // no storage name: off the record
  profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
  profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
  profile->setSpellCheckEnabled(false);

  QWebEngineSettings* settings = profile->settings();
  using S = QWebEngineSettings;
  settings->setAttribute(S::JavascriptEnabled, true);
  settings->setAttribute(S::JavascriptCanOpenWindows, false);
  settings->setAttribute(S::JavascriptCanAccessClipboard, false);
  settings->setAttribute(S::JavascriptCanPaste, false);
  settings->setAttribute(S::AllowWindowActivationFromJavaScript, false);
  settings->setAttribute(S::LocalContentCanAccessFileUrls, false);
  settings->setAttribute(S::LocalContentCanAccessRemoteUrls, false);
  settings->setAttribute(S::AllowRunningInsecureContent, false);
  settings->setAttribute(S::AllowGeolocationOnInsecureOrigins, false);
  settings->setAttribute(S::PluginsEnabled, false);
  // Without the viewer a PDF is a download, and downloads are refused.
  settings->setAttribute(S::PdfViewerEnabled, false);
  settings->setAttribute(S::FullScreenSupportEnabled, false);
  settings->setAttribute(S::ScreenCaptureEnabled, false);
  settings->setAttribute(S::WebRTCPublicInterfacesOnly, true);
  settings->setAttribute(S::PlaybackRequiresUserGesture, true);
  settings->setAttribute(S::HyperlinkAuditingEnabled, false);
  settings->setAttribute(S::DnsPrefetchEnabled, false);
  settings->setAttribute(S::AutoLoadIconsForPage, false);
  settings->setAttribute(S::TouchIconsEnabled, false);
  // The crawl loads pages while the user types elsewhere in the window.
  settings->setAttribute(S::FocusOnNavigationEnabled, false);
  // Links to mms:, mailto: and the like would otherwise be handed to other programs.
  settings->setUnknownUrlSchemePolicy(S::DisallowUnknownUrlSchemes);
  return profile;
}

GuardedWebPage::GuardedWebPage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent) {
  connect(this, &QWebEnginePage::featurePermissionRequested, this,
          [this](const QUrl& origin, Feature feature) {
            setFeaturePermission(origin, feature, PermissionDeniedByUser);
          });
  connect(this, &QWebEnginePage::authenticationRequired, this,
          [](const QUrl&, QAuthenticator* authenticator) { *authenticator = QAuthenticator(); });
  connect(this, &QWebEnginePage::proxyAuthenticationRequired, this,
          [](const QUrl&, QAuthenticator* authenticator, const QString&) {
            *authenticator = QAuthenticator();
          });
  connect(this, &QWebEnginePage::certificateError, this,
          [](QWebEngineCertificateError error) { error.rejectCertificate(); });
  connect(this, &QWebEnginePage::selectClientCertificate, this,
          [](QWebEngineClientCertificateSelection selection) { selection.selectNone(); });
  connect(this, &QWebEnginePage::fullScreenRequested, this,
          [](QWebEngineFullScreenRequest request) { request.reject(); });
  connect(this, &QWebEnginePage::fileSystemAccessRequested, this,
          [](QWebEngineFileSystemAccessRequest request) { request.reject(); });
  connect(this, &QWebEnginePage::registerProtocolHandlerRequested, this,
          [](QWebEngineRegisterProtocolHandlerRequest request) { request.reject(); });
  QT_WARNING_PUSH
  QT_WARNING_DISABLE_DEPRECATED
  connect(this, &QWebEnginePage::quotaRequested, this,
          [](QWebEngineQuotaRequest request) { request.reject(); });
  QT_WARNING_POP
}

void GuardedWebPage::allowRemoteContentForPagesIn(const QString& folder) {
  remoteContentFolder_ = folder;
}

// Links and symbolic links count by where they lead: a page reached through "../" or a link out
// of the folder is not one of its pages.
bool GuardedWebPage::mayLoadRemoteContent(const QUrl& url) const {
  if (remoteContentFolder_.isEmpty() || !url.isLocalFile()) return false;
  const QString folder = QFileInfo(remoteContentFolder_).canonicalFilePath();
  const QString page = QFileInfo(url.toLocalFile()).canonicalFilePath();
  return !folder.isEmpty() && !page.isEmpty() && page.startsWith(folder + QDir::separator());
}

// The page's own settings override the profile's for the document the navigation brings; the
// engine applies them before that document commits.
bool GuardedWebPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) {
  if (isMainFrame) {
    const bool remote = mayLoadRemoteContent(url);
    if (settings()->testAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls) != remote)
      settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, remote);
  }
  return true;
}

QWebEnginePage* GuardedWebPage::createWindow(WebWindowType) { return nullptr; }

QStringList GuardedWebPage::chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) {
  return {};
}

void GuardedWebPage::javaScriptAlert(const QUrl&, const QString&) {}

bool GuardedWebPage::javaScriptConfirm(const QUrl&, const QString& message) {
  // The engine asks "leave this page?" through the same call; saying no would hold the browser
  // on the page and the crawl with it. Any other question is answered Cancel.
  static const QString leavePage = QCoreApplication::translate(
      "QWebEnginePage",
      "Are you sure you want to leave this page? Changes that you made may not be saved.");
  return message == leavePage;
}

bool GuardedWebPage::javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) {
  return false;
}

void GuardedWebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                              const QString&) {}

}  // namespace zelvo
