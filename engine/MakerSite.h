#pragma once

#include <QString>

namespace norak {

// The maker's web address: the host of its home page, without a scheme. The product pages
// lie under it ("/NORAK/norak-<sport>.html").
inline constexpr char kMakerHost[] = "www.quelmar.example.org";

inline QString makerHomePage() {
    return QString::fromLatin1(kMakerHost);
}

}  // namespace norak
