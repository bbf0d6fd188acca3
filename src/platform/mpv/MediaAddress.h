// What the mpv player needs to know about an address before handing it over: whether it can be
// tried at all, whether it goes over the network, and the first entry of an ASX playlist.
#pragma once

#include <QByteArray>
#include <QUrl>
#include <optional>
#include <string>

namespace zelvo::mpv {

// False for an address that no player could open: empty, control characters, a network
// scheme without a host, or text that does not parse as an address.
bool isWellFormedAddress(const std::string& address);

// True when opening the address means contacting a server.
bool isNetworkAddress(const std::string& address);

// True when the address names an ASX playlist (by its file name, query ignored).
bool isAsxAddress(const std::string& address);

// The address of the first <Ref href="..."> of an ASX document, resolved against base.
// Tags and attribute names are matched without regard to case; entities in the href are decoded.
std::optional<std::string> firstAsxEntry(const QByteArray& document, const QUrl& base);

// The address as a QUrl: local paths become file URLs.
QUrl toUrl(const std::string& address);

}  // namespace zelvo::mpv
