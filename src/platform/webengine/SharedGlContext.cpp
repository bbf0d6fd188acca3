#include "platform/webengine/SharedGlContext.h"

#include <QCoreApplication>
#include <QOpenGLContext>
#include <QSurfaceFormat>

// QtGui's setter for the context it would otherwise make at start-up.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace zelvo {

void makeSharedGlContext() {
  if (QOpenGLContext::globalShareContext()) return;
  // Never deleted: QtWebEngine holds on to it until the process ends.
  auto* context = new QOpenGLContext;
  context->setFormat(QSurfaceFormat::defaultFormat());
  context->create();
  qt_gl_set_global_share_context(context);
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

}  // namespace zelvo
