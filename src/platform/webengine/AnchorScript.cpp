// The anchor script. It runs in the application's isolated world, where String, the DOM
// prototypes and document's own properties are the engine's, whatever the page's scripts did.
#include "platform/webengine/AnchorScript.h"

#include <QVariantList>

namespace zelvo {

QString anchorScript() {
  return QStringLiteral(
      "(function () {"
      "  var anchors = document.getElementsByTagName('a');"
      "  var texts = new Array(anchors.length);"
      "  for (var i = 0; i < anchors.length; ++i) texts[i] = String(anchors[i]);"
      "  return texts;"
      "})()");
}

std::vector<std::string> anchorTexts(const QVariant& answer) {
  std::vector<std::string> texts;
  if (answer.typeId() != QMetaType::QVariantList) return texts;
  const QVariantList list = answer.toList();
  texts.reserve(static_cast<size_t>(list.size()));
  for (const QVariant& item : list) texts.push_back(item.toString().toStdString());
  return texts;
}

}  // namespace zelvo
