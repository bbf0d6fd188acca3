// The guide reader module: XMLTV guides fetched with QtNetwork, inflated with zlib.
#include "platform/ModuleEntries.h"
#include "platform/xmltv/XmltvGuideReader.h"

ZELVO_MODULE_ENTRY zelvo::GuideReader* zelvoMakeGuideReader(
    const zelvo::GuideReaderSettings& settings) {
  return zelvo::makePart<zelvo::XmltvGuideReader>(settings);
}
